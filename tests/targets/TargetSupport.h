// What every target program shares: the frame's window procedure, the message loop, and the file
// through which a target tells the test harness its window handles.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace target {

using NamedHandles = std::vector<std::pair<const char*, HWND>>;
// Figures a target measured about itself, such as how long it took to fill a control.
using NamedNumbers = std::vector<std::pair<const char*, long>>;

// A frame whose closing ends its thread's message loop.
inline LRESULT CALLBACK QuitOnDestroyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

inline void RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct OwnThreadStart {
    std::function<HWND()> make;
    HWND made = nullptr;
    HANDLE ready = nullptr;
};

inline DWORD WINAPI OwnThreadMain(void* param)
{
    auto* s = static_cast<OwnThreadStart*>(param);
    s->made = s->make();
    const bool made = s->made != nullptr;
    SetEvent(s->ready);
    if (!made)
        return 1;
    RunMessageLoop();
    return 0;
}

// Runs make on a thread of its own, which then runs its own message loop, so that a control made there
// can hang without stopping the others. Returns what make returned, once it has; nullptr on failure.
inline HWND MakeOnOwnThread(std::function<HWND()> make)
{
    auto* start = new OwnThreadStart{std::move(make)}; // the thread keeps it for the life of the process
    start->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = start->ready ? CreateThread(nullptr, 0, OwnThreadMain, start, 0, nullptr) : nullptr;
    if (!thread)
        return nullptr;
    CloseHandle(thread);
    WaitForSingleObject(start->ready, INFINITE);
    return start->made;
}

// Signed 32-bit, as handles are typed into Quorvel: the 64-bit system's handles fit in it.
inline long HandleValue(HWND h)
{
    return static_cast<long>(static_cast<int>(reinterpret_cast<INT_PTR>(h)));
}

// "name=handle" lines, then "name=number" lines for the figures, written to a temporary name and then
// renamed so a reader never sees a partial file.
inline bool WriteHandles(const std::wstring& path, const NamedHandles& windows, const NamedNumbers& figures = {})
{
    std::string text;
    for (auto& [name, hwnd] : windows) {
        char line[96];
        snprintf(line, sizeof line, "%s=%ld\n", name, HandleValue(hwnd));
        text += line;
    }
    for (auto& [name, value] : figures) {
        char line[96];
        snprintf(line, sizeof line, "%s=%ld\n", name, value);
        text += line;
    }
    const std::wstring tmp = path + L".tmp";
    HANDLE f = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
    if (!ok || written != text.size())
        return false;
    return MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

} // namespace target
