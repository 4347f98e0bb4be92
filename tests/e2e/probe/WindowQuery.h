// Queries on windows of other processes, all through messages or server-side state.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

HWND ParseHwnd(const std::wstring& s);
DWORD ParseMs(const std::wstring& s);
long long HwndValue(HWND h);
// Waits up to timeoutMs for a visible top-level window with exactly this caption.
HWND FindTopLevel(const std::wstring& caption, DWORD timeoutMs);
std::vector<HWND> Descendants(HWND parent);
HWND FindDescendantById(HWND parent, int id);
// WM_GETTEXT with a timeout, since the owner may be busy or hung.
bool ReadText(HWND hwnd, std::wstring& text);
std::wstring ClassName(HWND hwnd);
