// Commands that send single messages with a deadline, for tests of a busy, hung or hostile peer.
#include "Commands.h"
#include "Utf8.h"
#include "WindowQuery.h"
#include "../../targets/ProcessFootprint.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {
// Accepts decimal or 0x-prefixed values, negative ones included.
long long ParseValue(const std::wstring& s)
{
    return wcstoll(s.c_str(), nullptr, 0);
}

void PrintElapsed(DWORD start)
{
    fprintf(stdout, "elapsed_ms=%lu\n", GetTickCount() - start);
}
} // namespace

int CmdSetText(const Args& a)
{
    std::wstring text;
    if (!ReadUtf8File(a[1], text))
        return 2;
    const DWORD start = GetTickCount();
    DWORD_PTR answer = 0;
    BOOL ok = SendMessageTimeoutW(ParseHwnd(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                  SMTO_ABORTIFHUNG, ParseMs(a[2]), &answer);
    PrintElapsed(start);
    return ok ? 0 : 1;
}

int CmdPing(const Args& a)
{
    wchar_t buf[64];
    DWORD_PTR answer = 0;
    const DWORD start = GetTickCount();
    BOOL ok = SendMessageTimeoutW(ParseHwnd(a[0]), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                                  ParseMs(a[1]), &answer);
    PrintElapsed(start);
    return ok ? 0 : 1;
}

int CmdSend(const Args& a)
{
    DWORD_PTR answer = 0;
    BOOL ok =
        SendMessageTimeoutW(ParseHwnd(a[0]), static_cast<UINT>(ParseValue(a[1])), static_cast<WPARAM>(ParseValue(a[2])),
                            static_cast<LPARAM>(ParseValue(a[3])), SMTO_ABORTIFHUNG, ParseMs(a[4]), &answer);
    if (!ok)
        return 1;
    // Answers are 32-bit on both builds for the messages the tests send.
    fprintf(stdout, "%ld\n", static_cast<long>(static_cast<int>(answer)));
    return 0;
}

// Posts a message, as the keyboard posts WM_KEYDOWN into a window's queue: it goes through the owner's
// message loop, its keyboard handling included.
int CmdPost(const Args& a)
{
    return PostMessageW(ParseHwnd(a[0]), static_cast<UINT>(ParseValue(a[1])), static_cast<WPARAM>(ParseValue(a[2])),
                        static_cast<LPARAM>(ParseValue(a[3])))
               ? 0
               : 1;
}

// Sends a text-fetching message (LB_GETTEXT, CB_GETLBTEXT) with a buffer of the given size followed by a
// guard area, and reports how far the system wrote: shows whether it honours a buffer it was never told.
int CmdGuardedText(const Args& a)
{
    constexpr size_t kGuard = 1 << 16;
    constexpr wchar_t kFill = 0xCDCD;
    const size_t chars = static_cast<size_t>(ParseValue(a[3]));
    std::vector<wchar_t> buffer(chars + kGuard, kFill);
    DWORD_PTR answer = 0;
    BOOL ok =
        SendMessageTimeoutW(ParseHwnd(a[0]), static_cast<UINT>(ParseValue(a[1])), static_cast<WPARAM>(ParseValue(a[2])),
                            reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 5000, &answer);
    if (!ok)
        return 1;
    size_t written = buffer.size();
    while (written > 0 && buffer[written - 1] == kFill)
        --written;
    size_t nul = 0;
    while (nul < written && buffer[nul] != 0)
        ++nul;
    fprintf(stdout, "answer=%ld written=%zu nul_at=%ld\n", static_cast<long>(static_cast<int>(answer)), written,
            nul < written ? static_cast<long>(nul) : -1L);
    WriteLine("text=" + ToUtf8(std::wstring(buffer.data(), nul < written ? nul : written)));
    return 0;
}

// The handles of the process that owns hwnd, by object type: "<type> <count>" a line.
int CmdHandles(const Args& a)
{
    for (const auto& [type, count] : target::HandleTypesOf(target::ProcessOf(ParseHwnd(a[0]))))
        printf("%s %ld\n", ToUtf8(type).c_str(), count);
    return 0;
}
