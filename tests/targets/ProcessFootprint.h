// What a process holds, counted from outside it: its committed private memory, its open handles and its
// threads. The hostile target and the benchmark use them to see that reads leave nothing behind.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <winternl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace target {

// Committed private memory of a process opened with PROCESS_QUERY_INFORMATION, in KiB.
inline long CommittedKiB(HANDLE process)
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (const char* p = nullptr; VirtualQueryEx(process, p, &mbi, sizeof mbi) == sizeof mbi;) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            total += mbi.RegionSize;
        const char* next = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= p)
            break;
        p = next;
    }
    return static_cast<long>(total / 1024);
}

// The handle values a process holds, as the system's handle table lists them: GetProcessHandleCount
// answers 0 for another process under Wine. nullopt when the table can't be had.
inline std::optional<std::vector<USHORT>> HandlesOf(DWORD pid)
{
    struct SystemHandle {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    struct SystemHandles {
        ULONG count;
        SystemHandle handles[1];
    };
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemHandleInformation = 16;
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!pid || !query)
        return std::nullopt;
    std::vector<BYTE> buffer(1 << 16);
    for (int tries = 0; tries < 16; ++tries) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* info = reinterpret_cast<const SystemHandles*>(buffer.data());
            std::vector<USHORT> values;
            for (ULONG i = 0; i < info->count; ++i) {
                if (info->handles[i].ownerPid == pid)
                    values.push_back(info->handles[i].value);
            }
            return values;
        }
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    return std::nullopt;
}

inline long HandleCountOf(DWORD pid)
{
    const auto values = HandlesOf(pid);
    return values ? static_cast<long>(values->size()) : -1;
}

// The handles a process holds by the type of object they name ("Event", "Thread", ...), told by a copy
// of each made in this process; "?" for one that can't be copied.
inline std::map<std::wstring, long> HandleTypesOf(DWORD pid)
{
    std::map<std::wstring, long> types;
    using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kObjectTypeInformation = 2;
    auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
    const auto values = HandlesOf(pid);
    for (USHORT value : values.value_or(std::vector<USHORT>{})) {
        HANDLE copy = nullptr;
        std::wstring type = L"?";
        alignas(8) BYTE info[1024] = {};
        if (process && query &&
            DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)), GetCurrentProcess(),
                            &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            // OBJECT_TYPE_INFORMATION begins with the type's name as a UNICODE_STRING.
            if (query(copy, kObjectTypeInformation, info, sizeof info - 2, nullptr) == 0) {
                const auto* name = reinterpret_cast<const UNICODE_STRING*>(info);
                type.assign(name->Buffer, name->Length / sizeof(wchar_t));
            }
            CloseHandle(copy);
        }
        ++types[type];
    }
    if (process)
        CloseHandle(process);
    return types;
}

// The threads of a process, or -1.
inline long ThreadCountOf(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (!pid || snapshot == INVALID_HANDLE_VALUE)
        return -1;
    long count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == pid;
    CloseHandle(snapshot);
    return count;
}

inline DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

} // namespace target
