// Commands that locate windows and read their text.
#include "Commands.h"
#include "Utf8.h"
#include "WindowQuery.h"

#include <cstdio>
#include <cwchar>

namespace {
void ReportDifference(const std::wstring& actual, const std::wstring& expected)
{
    size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    fprintf(stdout, "actual length %zu, expected length %zu, first difference at %zu\n", actual.size(), expected.size(),
            i);
    auto excerpt = [i](const std::wstring& s) {
        std::wstring shown;
        // Line breaks are spelled out so both excerpts stay on one line each.
        for (wchar_t c : s.substr(i < 20 ? 0 : i - 20, 60))
            shown += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
        return ToUtf8(shown);
    };
    WriteLine("actual:   ..." + excerpt(actual) + "...");
    WriteLine("expected: ..." + excerpt(expected) + "...");
}
} // namespace

int CmdFind(const Args& a)
{
    HWND h = FindTopLevel(a[0], ParseMs(a[1]));
    if (!h)
        return 1;
    WriteLine(std::to_string(HwndValue(h)));
    return 0;
}

int CmdChild(const Args& a)
{
    HWND h = FindDescendantById(ParseHwnd(a[0]), _wtoi(a[1].c_str()));
    if (!h)
        return 1;
    WriteLine(std::to_string(HwndValue(h)));
    return 0;
}

int CmdText(const Args& a)
{
    std::wstring text;
    if (!ReadText(ParseHwnd(a[0]), text))
        return 1;
    WriteOut(ToUtf8(text));
    return 0;
}

int CmdWaitText(const Args& a)
{
    std::wstring expected;
    if (!ReadUtf8File(a[1], expected))
        return 2;
    const HWND hwnd = ParseHwnd(a[0]);
    const DWORD timeout = ParseMs(a[2]);
    const DWORD start = GetTickCount();
    std::wstring actual;
    for (;;) {
        bool ok = ReadText(hwnd, actual);
        if (ok && actual == expected)
            return 0;
        if (GetTickCount() - start >= timeout) {
            if (!ok)
                WriteLine("window did not answer WM_GETTEXT");
            ReportDifference(actual, expected);
            return 1;
        }
        Sleep(20);
    }
}

int CmdScreenRect(const Args& a)
{
    RECT r;
    if (!GetWindowRect(ParseHwnd(a[0]), &r))
        return 1;
    char buf[96];
    snprintf(buf, sizeof buf, "%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    WriteLine(buf);
    return 0;
}

int CmdFocus(const Args& a)
{
    DWORD thread = GetWindowThreadProcessId(ParseHwnd(a[0]), nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!thread || !GetGUIThreadInfo(thread, &info))
        return 1;
    WriteLine(std::to_string(HwndValue(info.hwndFocus)));
    return 0;
}
