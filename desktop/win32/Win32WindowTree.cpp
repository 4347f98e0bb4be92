// The tree of windows on real Windows: enumeration, captions as the system
// keeps them, cloaking, and what a process's program is, asked with the
// least access there is.
#include "desktop/win32/Win32Desktop.h"

#include <memory>

namespace quorvel {

namespace {

// DWMWA_CLOAKED: a window of another virtual desktop, or of a suspended app,
// that the system keeps off the screen though it is visible.
constexpr DWORD cloakedAttribute = 14;
using GetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

// dwmapi from the system folder, once, where the system has it: a Windows
// without the compositor (or Wine without the call) cloaks nothing.
GetWindowAttribute dwmGetWindowAttribute()
{
    static const GetWindowAttribute call = [] {
        wchar_t folder[MAX_PATH];
        const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH - 12)
            return GetWindowAttribute{};
        const std::wstring path = std::wstring(folder, n) + L"\\dwmapi.dll";
        HMODULE dwm = ::LoadLibraryW(path.c_str());
        return dwm ? reinterpret_cast<GetWindowAttribute>(
                         reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : GetWindowAttribute{};
    }();
    return call;
}

struct HandleCloser {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

BOOL CALLBACK add(HWND hwnd, LPARAM list)
{
    reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(fromHwnd(hwnd));
    return TRUE;
}

} // namespace

std::vector<WindowHandle> Win32Desktop::topWindows()
{
    std::vector<WindowHandle> out;
    ::EnumWindows(add, reinterpret_cast<LPARAM>(&out));
    return out;
}

std::vector<WindowHandle> Win32Desktop::childWindows(WindowHandle top)
{
    std::vector<WindowHandle> out;
    ::EnumChildWindows(toHwnd(top), add, reinterpret_cast<LPARAM>(&out));
    return out;
}

std::u16string Win32Desktop::windowTitle(WindowHandle w)
{
    // For another process's window GetWindowText sends nothing: the system
    // copies the caption it keeps. The buffer grows while the caption fills it.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const int n = ::GetWindowTextW(toHwnd(w), buffer.data(), static_cast<int>(buffer.size()));
        if (n < static_cast<int>(buffer.size()) - 1 || buffer.size() >= 32768)
            return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()),
                                  static_cast<std::size_t>(n > 0 ? n : 0));
        buffer.resize(buffer.size() * 4);
    }
}

std::int32_t Win32Desktop::controlId(WindowHandle w)
{
    return ::GetDlgCtrlID(toHwnd(w));
}

bool Win32Desktop::visible(WindowHandle w)
{
    return ::IsWindowVisible(toHwnd(w)) != FALSE;
}

bool Win32Desktop::cloaked(WindowHandle w)
{
    DWORD cloaked = 0;
    const GetWindowAttribute get = dwmGetWindowAttribute();
    return get && SUCCEEDED(get(toHwnd(w), cloakedAttribute, &cloaked, sizeof cloaked)) && cloaked != 0;
}

std::uint32_t Win32Desktop::processId(WindowHandle w)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(toHwnd(w), &pid);
    return pid;
}

ProgramFacts Win32Desktop::program(std::uint32_t processId)
{
    ProgramFacts facts;
    // Limited information is what a process with higher rights still grants;
    // the memory access a read asks for it refuses.
    const OwnedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        facts.denied = ::GetLastError() == ERROR_ACCESS_DENIED;
        return facts;
    }
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = static_cast<DWORD>(path.size());
        if (::QueryFullProcessImageNameW(process.get(), 0, path.data(), &n)) {
            facts.path.assign(reinterpret_cast<const char16_t*>(path.data()), n);
            break;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768)
            break;
        path.resize(path.size() * 4);
    }
    BOOL targetWow = FALSE, selfWow = FALSE;
    if (::IsWow64Process(process.get(), &targetWow) && ::IsWow64Process(::GetCurrentProcess(), &selfWow))
        facts.bits = targetWow || (sizeof(void*) == 4 && !selfWow) ? 32 : 64;
    return facts;
}

bool Win32Desktop::setClipboardText(WindowHandle owner, const std::u16string& text)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    void* at = memory ? ::GlobalLock(memory) : nullptr;
    if (!at) {
        if (memory)
            ::GlobalFree(memory);
        return false;
    }
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char16_t*>(at));
    ::GlobalUnlock(memory);
    // Another program may hold the clipboard open for a moment.
    bool opened = false;
    for (int i = 0; i < 10 && !(opened = ::OpenClipboard(toHwnd(owner)) != FALSE); ++i)
        ::Sleep(20);
    const bool set = opened && ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory);
    if (opened)
        ::CloseClipboard();
    if (!set)
        ::GlobalFree(memory); // the clipboard owns it only once set
    return set;
}

} // namespace quorvel
