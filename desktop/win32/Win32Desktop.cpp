#include "desktop/win32/Win32Desktop.h"

#include <algorithm>
#include <vector>

namespace quorvel {

namespace {
HDC toHdc(GdiHandle h)
{
    return reinterpret_cast<HDC>(h);
}
HGDIOBJ toObj(GdiHandle h)
{
    return reinterpret_cast<HGDIOBJ>(h);
}
GdiHandle fromObj(const void* h)
{
    return reinterpret_cast<GdiHandle>(h);
}
const wchar_t* wide(const std::u16string& s)
{
    return reinterpret_cast<const wchar_t*>(s.c_str());
}
} // namespace

bool Win32Desktop::getCursorPos(Point& p)
{
    POINT pt{};
    if (!::GetCursorPos(&pt))
        return false;
    p = {pt.x, pt.y};
    return true;
}

WindowHandle Win32Desktop::windowFromPoint(Point p)
{
    return fromHwnd(::WindowFromPoint(POINT{p.x, p.y}));
}

std::int16_t Win32Desktop::getAsyncKeyState(int vk)
{
    return ::GetAsyncKeyState(vk);
}

std::int32_t Win32Desktop::getWindowLong(WindowHandle w, std::int32_t index)
{
    return ::GetWindowLongA(toHwnd(w), index);
}

void Win32Desktop::setWindowLong(WindowHandle w, std::int32_t index, std::int32_t value)
{
    ::SetWindowLongA(toHwnd(w), index, value);
}

bool Win32Desktop::getWindowRect(WindowHandle w, Rect& r)
{
    RECT rc;
    if (!::GetWindowRect(toHwnd(w), &rc))
        return false;
    r = {rc.left, rc.top, rc.right, rc.bottom};
    return true;
}

MessageResult Win32Desktop::sendMessage(WindowHandle w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    // The 16-bit variant: the 8-bit one loses every character outside the
    // ANSI code page, and under Wine garbles cross-process text entirely.
    // A message the system keeps from a process with higher rights (UIPI)
    // fails with ERROR_ACCESS_DENIED.
    DWORD_PTR answer = 0;
    ::SetLastError(ERROR_SUCCESS);
    if (!::SendMessageTimeoutW(toHwnd(w), msg, wParam, lParam, SMTO_ABORTIFHUNG, messageTimeoutMs, &answer))
        return {false, 0, ::GetLastError() == ERROR_ACCESS_DENIED};
    return {true, static_cast<std::intptr_t>(answer)};
}

Win32Desktop::~Win32Desktop()
{
    if (scratch_)
        ::VirtualFree(scratch_, 0, MEM_RELEASE);
}

MessageResult Win32Desktop::fetchText(WindowHandle w, unsigned msg, std::uintptr_t index, std::size_t capacity,
                                      std::u16string& text)
{
    text.clear();
    if (capacity == 0 || capacity > scratchBytes / sizeof(wchar_t) / 2)
        return {};
    if (!scratch_)
        scratch_ =
            static_cast<wchar_t*>(::VirtualAlloc(nullptr, scratchBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!scratch_)
        return {};
    std::fill(scratch_, scratch_ + capacity, L'\0');
    MessageResult result = sendMessage(w, msg, index, reinterpret_cast<std::intptr_t>(scratch_));
    if (result.delivered) {
        const wchar_t* end = std::find(scratch_, scratch_ + capacity, L'\0');
        text.assign(reinterpret_cast<const char16_t*>(scratch_), static_cast<std::size_t>(end - scratch_));
    }
    return result;
}

std::u16string Win32Desktop::getWindowText(WindowHandle w)
{
    const int length = ::GetWindowTextLengthW(toHwnd(w));
    if (length <= 0)
        return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = ::GetWindowTextW(toHwnd(w), buffer.data(), length + 1);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(copied));
}

void Win32Desktop::setWindowText(WindowHandle w, const std::u16string& text)
{
    ::SetWindowTextW(toHwnd(w), wide(text));
}

std::pair<std::size_t, std::size_t> Win32Desktop::getSelection(WindowHandle w)
{
    DWORD start = 0, end = 0;
    ::SendMessageW(toHwnd(w), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void Win32Desktop::setSelection(WindowHandle w, std::size_t start, std::size_t end)
{
    ::SendMessageW(toHwnd(w), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

bool Win32Desktop::replaceSelection(WindowHandle w, const std::u16string& text)
{
    // The field took it all when its length grew by the text's, less what
    // was selected, and it said nothing of running out of space.
    const auto [start, end] = getSelection(w);
    const std::size_t before = textLength(w);
    outOfSpace_ = false;
    ::SendMessageW(toHwnd(w), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(text)));
    const std::size_t selected = end > start ? end - start : start - end;
    return !outOfSpace_ && textLength(w) == before - selected + text.size();
}

std::size_t Win32Desktop::textLength(WindowHandle w)
{
    return static_cast<std::size_t>(std::max(::GetWindowTextLengthW(toHwnd(w)), 0));
}

int Win32Desktop::firstVisibleLine(WindowHandle w)
{
    return static_cast<int>(::SendMessageW(toHwnd(w), EM_GETFIRSTVISIBLELINE, 0, 0));
}

void Win32Desktop::scrollLines(WindowHandle w, int lines)
{
    ::SendMessageW(toHwnd(w), EM_LINESCROLL, 0, lines);
}

void Win32Desktop::setRedraw(WindowHandle w, bool redraw)
{
    ::SendMessageW(toHwnd(w), WM_SETREDRAW, redraw, 0);
    if (redraw)
        ::InvalidateRect(toHwnd(w), nullptr, TRUE);
}

int Win32Desktop::textWidth(WindowHandle w, const std::u16string& text)
{
    HWND hwnd = toHwnd(w);
    HDC dc = ::GetDC(hwnd);
    if (!dc)
        return 0;
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide(text), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return size.cx;
}

NumberFormat Win32Desktop::numberFormat()
{
    // At most 4 characters of separator and 10 of grouping, with their NULs.
    wchar_t separator[8] = {};
    wchar_t grouping[16] = {};
    NumberFormat format;
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) > 0)
        format.separator = reinterpret_cast<const char16_t*>(separator);
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16) > 0)
        format.grouping = reinterpret_cast<const char16_t*>(grouping);
    return format;
}

bool Win32Desktop::isWindowEnabled(WindowHandle w)
{
    return ::IsWindowEnabled(toHwnd(w)) != FALSE;
}

void Win32Desktop::enableWindow(WindowHandle w, bool enable)
{
    ::EnableWindow(toHwnd(w), enable);
}

void Win32Desktop::setTimer(WindowHandle owner, unsigned id, unsigned ms)
{
    ::SetTimer(toHwnd(owner), id, ms, nullptr);
}

void Win32Desktop::killTimer(WindowHandle owner, unsigned id)
{
    ::KillTimer(toHwnd(owner), id);
}

GdiHandle Win32Desktop::getWindowDC(WindowHandle w)
{
    return fromObj(::GetWindowDC(toHwnd(w)));
}

void Win32Desktop::releaseDC(WindowHandle w, GdiHandle dc)
{
    ::ReleaseDC(toHwnd(w), toHdc(dc));
}

GdiHandle Win32Desktop::createRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return fromObj(::CreateRectRgn(l, t, r, b));
}

GdiHandle Win32Desktop::createPen(int style, int width, std::uint32_t colour)
{
    return fromObj(::CreatePen(style, width, colour));
}

GdiHandle Win32Desktop::getStockObject(int object)
{
    return fromObj(::GetStockObject(object));
}

GdiHandle Win32Desktop::selectObject(GdiHandle dc, GdiHandle object)
{
    return fromObj(::SelectObject(toHdc(dc), toObj(object)));
}

int Win32Desktop::setROP2(GdiHandle dc, int mode)
{
    return ::SetROP2(toHdc(dc), mode);
}

void Win32Desktop::rectangle(GdiHandle dc, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    ::Rectangle(toHdc(dc), l, t, r, b);
}

void Win32Desktop::deleteObject(GdiHandle object)
{
    ::DeleteObject(toObj(object));
}

} // namespace quorvel
