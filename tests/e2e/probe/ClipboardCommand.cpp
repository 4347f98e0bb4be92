// Puts text on the clipboard, or empties it, the way an application's copy command does, and reads it back.
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
    std::wstring text;
    if (!ReadUtf8File(a[0], text))
        return 2;
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

int CmdClipboardGet(const Args&)
{
    if (!OpenWithRetry())
        return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text) {
        WriteOut(ToUtf8(text));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? 0 : 1;
}
