// Puts text on the clipboard, or empties it, the way an application's copy command does.
#include "Commands.h"
#include "Utf8.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
bool OpenWithRetry()
{
    // Another process (the clipboard manager of the X11 driver) may hold it open for a moment.
    for (int i = 0; i < 100; ++i) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}
} // namespace

int CmdClipboardSet(const Args& a)
{
    std::string bytes;
    HANDLE f = CreateFileW(a[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "cannot read %ls\n", a[0].c_str());
        return 2;
    }
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(f);
    const std::wstring text = FromUtf8(bytes);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!mem)
        return 1;
    std::memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    if (!OpenWithRetry()) {
        GlobalFree(mem);
        return 1;
    }
    EmptyClipboard();
    const bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    if (!ok)
        GlobalFree(mem);
    return ok ? 0 : 1;
}

int CmdClipboardEmpty(const Args&)
{
    if (!OpenWithRetry())
        return 1;
    const bool ok = EmptyClipboard() != FALSE;
    CloseClipboard();
    return ok ? 0 : 1;
}

int CmdClipboardFormats(const Args&)
{
    if (!OpenWithRetry())
        return 1;
    UINT format = 0;
    while ((format = EnumClipboardFormats(format)) != 0)
        fprintf(stdout, "%u\n", format);
    CloseClipboard();
    return 0;
}
