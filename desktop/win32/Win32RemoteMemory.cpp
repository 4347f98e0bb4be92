// Class names, parents, and another process's memory on real Windows.
#include "desktop/win32/Win32Desktop.h"

#include "desktop/RemoteMemory.h"

namespace quorvel {

namespace {

HANDLE toHandle(const RemoteProcess& p)
{
    return reinterpret_cast<HANDLE>(p.handle);
}

// Pointer size in the target, from WOW64 on both sides: a 64-bit reader sees
// a WOW64 target as 32-bit; a 32-bit reader on a 32-bit system sees only
// 32-bit processes. 0 when the system won't say.
int pointerBytesOf(HANDLE process)
{
    BOOL targetWow = FALSE;
    if (!::IsWow64Process(process, &targetWow))
        return 0;
    if constexpr (sizeof(void*) == 8)
        return targetWow ? 4 : 8;
    BOOL selfWow = FALSE;
    if (!::IsWow64Process(::GetCurrentProcess(), &selfWow))
        return 0;
    return selfWow && !targetWow ? 8 : 4;
}

bool fitsThisProcess(RemoteAddress a, std::size_t bytes)
{
    return RemoteMemory::passable(a) && a + bytes >= a && RemoteMemory::passable(a + bytes);
}

} // namespace

bool Win32Desktop::isWindow(WindowHandle w)
{
    return w != 0 && ::IsWindow(toHwnd(w));
}

std::u16string Win32Desktop::className(WindowHandle w)
{
    // Class names are at most 256 characters.
    wchar_t name[257] = {};
    const int n = ::GetClassNameW(toHwnd(w), name, 257);
    return n > 0 ? std::u16string(reinterpret_cast<const char16_t*>(name), static_cast<std::size_t>(n))
                 : std::u16string();
}

WindowHandle Win32Desktop::parentWindow(WindowHandle w)
{
    // GetParent would give a popup's owner; the ancestor is the real parent.
    HWND parent = ::GetAncestor(toHwnd(w), GA_PARENT);
    return parent && parent != ::GetDesktopWindow() ? fromHwnd(parent) : 0;
}

RemoteProcess Win32Desktop::openProcess(WindowHandle w)
{
    DWORD pid = 0;
    if (!::GetWindowThreadProcessId(toHwnd(w), &pid) || pid == 0)
        return {};
    HANDLE process = ::OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return {0, 0, ::GetLastError() == ERROR_ACCESS_DENIED};
    return {reinterpret_cast<std::uintptr_t>(process), pointerBytesOf(process)};
}

void Win32Desktop::closeProcess(const RemoteProcess& p)
{
    if (p.handle)
        ::CloseHandle(toHandle(p));
}

RemoteAddress Win32Desktop::allocRemote(const RemoteProcess& p, std::size_t bytes)
{
    void* at = ::VirtualAllocEx(toHandle(p), nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    return reinterpret_cast<std::uintptr_t>(at);
}

void Win32Desktop::freeRemote(const RemoteProcess& p, RemoteAddress a)
{
    if (RemoteMemory::passable(a))
        ::VirtualFreeEx(toHandle(p), reinterpret_cast<void*>(static_cast<std::uintptr_t>(a)), 0, MEM_RELEASE);
}

bool Win32Desktop::writeRemote(const RemoteProcess& p, RemoteAddress a, const void* data, std::size_t bytes)
{
    SIZE_T done = 0;
    return fitsThisProcess(a, bytes) &&
           ::WriteProcessMemory(toHandle(p), reinterpret_cast<void*>(static_cast<std::uintptr_t>(a)), data, bytes,
                                &done) &&
           done == bytes;
}

bool Win32Desktop::readRemote(const RemoteProcess& p, RemoteAddress a, void* data, std::size_t bytes)
{
    SIZE_T done = 0;
    return fitsThisProcess(a, bytes) &&
           ::ReadProcessMemory(toHandle(p), reinterpret_cast<const void*>(static_cast<std::uintptr_t>(a)), data, bytes,
                               &done) &&
           done == bytes;
}

} // namespace quorvel
