// Reports which ways of asking a window for its icon give one.
#include "Commands.h"
#include "Utf8.h"
#include "WindowQuery.h"

#include <string>

namespace {
LONG_PTR AskIcon(HWND h, WPARAM kind)
{
    DWORD_PTR icon = 0;
    if (!SendMessageTimeoutW(h, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, 5000, &icon))
        return 0;
    return static_cast<LONG_PTR>(icon);
}

void Report(const char* name, LONG_PTR value)
{
    WriteLine(std::string(name) + "=" + (value ? "yes" : "no"));
}
} // namespace

int CmdIcon(const Args& a)
{
    HWND h = ParseHwnd(a[0]);
    if (!IsWindow(h))
        return 1;
    LONG_PTR values[] = {AskIcon(h, ICON_BIG), AskIcon(h, ICON_SMALL), AskIcon(h, ICON_SMALL2),
                         static_cast<LONG_PTR>(GetClassLongPtrW(h, GCLP_HICON)),
                         static_cast<LONG_PTR>(GetClassLongPtrW(h, GCLP_HICONSM))};
    Report("wm_geticon_big", values[0]);
    Report("wm_geticon_small", values[1]);
    Report("wm_geticon_small2", values[2]);
    Report("class_icon", values[3]);
    Report("class_icon_small", values[4]);
    for (LONG_PTR v : values) {
        if (v)
            return 0;
    }
    return 1;
}
