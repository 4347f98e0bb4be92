#include "mainwindow/win32/Dpi.h"

namespace quorvel {

namespace {

template <typename F> F user32Function(const char* name)
{
    static HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

} // namespace

UINT systemDpi()
{
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static auto getDpiForSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem)
        return getDpiForSystem();
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT windowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi)
{
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT rc{0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&rc, style, FALSE, exStyle, dpi))
        ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace quorvel
