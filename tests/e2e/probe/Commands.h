// Probe commands; each takes the arguments after its name and returns the process exit code
// (0 success, 1 failed or timed out, 2 bad usage).
#pragma once
#include <string>
#include <vector>

using Args = std::vector<std::wstring>;

int CmdFind(const Args& a);
int CmdChild(const Args& a);
int CmdText(const Args& a);
int CmdWaitText(const Args& a);
int CmdScreenRect(const Args& a);
int CmdFocus(const Args& a);
int CmdRects(const Args& a);
int CmdIcon(const Args& a);
int CmdVersion(const Args& a);
int CmdGlyphs(const Args& a);
int CmdSetText(const Args& a);
int CmdPing(const Args& a);
int CmdSend(const Args& a);
int CmdPost(const Args& a);
int CmdGuardedText(const Args& a);
int CmdClipboardSet(const Args& a);
int CmdClipboardEmpty(const Args& a);
int CmdClipboardFormats(const Args& a);
int CmdClipboardGet(const Args& a);
int CmdListViewText(const Args& a);
int CmdHandles(const Args& a);
