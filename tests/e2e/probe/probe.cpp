// Console driver the end-to-end tests run under Wine to look at other processes' windows.
#include "Commands.h"
#include "Utf8.h"

#include <cstdio>
#include <cwchar>

namespace {
struct Command {
    const wchar_t* name;
    size_t argCount;
    int (*run)(const Args&);
    const char* usage;
};

const Command kCommands[] = {
    {L"find", 2, CmdFind, "find <caption> <timeout_ms>"},
    {L"child", 2, CmdChild, "child <parent_hwnd> <id>"},
    {L"text", 1, CmdText, "text <hwnd>"},
    {L"wait-text", 3, CmdWaitText, "wait-text <hwnd> <expected_utf8_file> <timeout_ms>"},
    {L"screenrect", 1, CmdScreenRect, "screenrect <hwnd>"},
    {L"focus", 1, CmdFocus, "focus <hwnd>  (focus window of the thread owning hwnd)"},
    {L"rects", 1, CmdRects, "rects <top_hwnd>"},
    {L"icon", 1, CmdIcon, "icon <top_hwnd>"},
    {L"version", 1, CmdVersion, "version <exe_path>"},
    {L"glyphs", 2, CmdGlyphs, "glyphs <face> <utf8_file>  (face given, characters without a glyph)"},
    {L"settext", 3, CmdSetText, "settext <hwnd> <utf8_file> <timeout_ms>"},
    {L"ping", 2, CmdPing, "ping <hwnd> <timeout_ms>  (WM_GETTEXT answered in time)"},
    {L"send", 5, CmdSend, "send <hwnd> <msg> <wparam> <lparam> <timeout_ms>"},
    {L"post", 4, CmdPost, "post <hwnd> <msg> <wparam> <lparam>  (through the owner's message loop)"},
    {L"guarded-text", 4, CmdGuardedText, "guarded-text <hwnd> <msg> <index> <buffer_chars>"},
    {L"clipboard-set", 1, CmdClipboardSet, "clipboard-set <utf8_file>"},
    {L"clipboard-empty", 0, CmdClipboardEmpty, "clipboard-empty"},
    {L"clipboard-formats", 0, CmdClipboardFormats, "clipboard-formats"},
    {L"clipboard-get", 0, CmdClipboardGet, "clipboard-get  (its Unicode text, as UTF-8)"},
    {L"listview-text", 3, CmdListViewText, "listview-text <hwnd> <item> <subitem>  (through the target's memory)"},
    {L"handles", 1, CmdHandles, "handles <hwnd>  (the owner's handles by object type)"},
};

int Usage()
{
    fprintf(stderr, "usage: e2eprobe <command> ...\n");
    for (auto& c : kCommands)
        fprintf(stderr, "  %s\n", c.usage);
    return 2;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    Args args(argv + 2, argv + argc);
    for (auto& c : kCommands) {
        if (wcscmp(argv[1], c.name) != 0)
            continue;
        if (args.size() != c.argCount) {
            fprintf(stderr, "usage: e2eprobe %s\n", c.usage);
            return 2;
        }
        return c.run(args);
    }
    return Usage();
}
