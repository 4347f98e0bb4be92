// Reads one list view cell of another process the way a reader must: the item structure and its text
// buffer in the target's memory, laid out for the target's bitness. Reports each step, so a test (or a
// person) can see where the system refuses, for instance when a 32-bit process reads a 64-bit one.
#include "Commands.h"
#include "Utf8.h"
#include "WindowQuery.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {
constexpr size_t kTextChars = 4096;
constexpr size_t kItemBytes = 128; // room for the larger, 64-bit LVITEMW (88 bytes)
constexpr UINT kTimeoutMs = 5000;

bool IsWow64(HANDLE process)
{
    BOOL wow = FALSE;
    return IsWow64Process(process, &wow) && wow;
}

// LVITEMW as a process of the given bitness sees it, asking for the text of one cell.
std::vector<unsigned char> ItemFor(bool target64, int subItem, uint64_t text, int textChars)
{
    std::vector<unsigned char> item(kItemBytes, 0);
    const UINT mask = LVIF_TEXT;
    std::memcpy(&item[0], &mask, 4);
    std::memcpy(&item[8], &subItem, 4);
    if (target64) {
        std::memcpy(&item[24], &text, 8);
        std::memcpy(&item[32], &textChars, 4);
    } else {
        const uint32_t text32 = static_cast<uint32_t>(text);
        std::memcpy(&item[20], &text32, 4);
        std::memcpy(&item[24], &textChars, 4);
    }
    return item;
}

void Report(const char* key, unsigned long long value)
{
    char line[96];
    snprintf(line, sizeof line, "%s=0x%llx", key, value);
    WriteLine(line);
}
} // namespace

int CmdListViewText(const Args& a)
{
    const HWND list = ParseHwnd(a[0]);
    const int index = _wtoi(a[1].c_str());
    const int subItem = _wtoi(a[2].c_str());
    DWORD pid = 0;
    if (!GetWindowThreadProcessId(list, &pid)) {
        WriteLine("step=window");
        return 1;
    }
    HANDLE process = OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        fprintf(stdout, "step=open error=%lu\n", GetLastError());
        return 1;
    }
    // A 64-bit system runs this process under WOW64 exactly when it is 32-bit on a 64-bit system; the
    // target is 64-bit when the system is and the target does not run under WOW64.
    const bool self64 = sizeof(void*) == 8;
    const bool system64 = self64 || IsWow64(GetCurrentProcess());
    const bool target64 = system64 && !IsWow64(process);
    fprintf(stdout, "probe_bits=%d\ntarget_bits=%d\n", self64 ? 64 : 32, target64 ? 64 : 32);

    int result = 1;
    const SIZE_T bytes = kItemBytes + kTextChars * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    Report("address", reinterpret_cast<uintptr_t>(remote));
    if (!remote) {
        fprintf(stdout, "step=alloc error=%lu\n", GetLastError());
        CloseHandle(process);
        return 1;
    }
    const uint64_t base = reinterpret_cast<uintptr_t>(remote);
    const std::vector<unsigned char> item = ItemFor(target64, subItem, base + kItemBytes, kTextChars);
    std::vector<wchar_t> text(kTextChars, L'\0');
    SIZE_T done = 0;
    DWORD_PTR answer = 0;
    if (!WriteProcessMemory(process, remote, item.data(), item.size(), &done) ||
        !WriteProcessMemory(process, static_cast<char*>(remote) + kItemBytes, text.data(),
                            text.size() * sizeof(wchar_t), &done)) {
        fprintf(stdout, "step=write error=%lu\n", GetLastError());
    } else if (!SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kTimeoutMs, &answer)) {
        fprintf(stdout, "step=send error=%lu\n", GetLastError());
    } else if (!ReadProcessMemory(process, static_cast<char*>(remote) + kItemBytes, text.data(),
                                  text.size() * sizeof(wchar_t), &done)) {
        fprintf(stdout, "answer=%ld\nstep=read error=%lu\n", static_cast<long>(answer), GetLastError());
    } else {
        fprintf(stdout, "answer=%ld\n", static_cast<long>(answer));
        WriteLine("text=" + ToUtf8(std::wstring(text.data(), wcsnlen(text.data(), text.size()))));
        result = 0;
    }
    fflush(stdout);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}
