// Benchmark target: list boxes and combo boxes of 1,000, 10,000 and 100,000 items for another process to read.
#include <windows.h>

#include <cstdio>
#include <string>

#include "TargetSupport.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorvelBenchTarget";
constexpr wchar_t kTitle[] = L"Quorvel Bench Target";
constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kItemChars = 11; // "list 000123"

// Redraw stays off while filling: otherwise every insert repaints and resizes the scroll bar.
void Fill(HWND control, bool combo, int count)
{
    const UINT initStorage = combo ? CB_INITSTORAGE : LB_INITSTORAGE;
    const UINT addString = combo ? CB_ADDSTRING : LB_ADDSTRING;
    const wchar_t* prefix = combo ? L"cbox" : L"list";
    SendMessageW(control, WM_SETREDRAW, FALSE, 0);
    SendMessageW(control, initStorage, count, static_cast<LPARAM>(count) * (kItemChars + 1) * sizeof(wchar_t));
    wchar_t item[32];
    for (int i = 0; i < count; ++i) {
        swprintf(item, 32, L"%ls %06d", prefix, i);
        SendMessageW(control, addString, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control, nullptr, TRUE);
}

HWND MakeControl(HWND parent, bool combo, int column, int id)
{
    const int x = 8 + column * 160;
    if (combo)
        return CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, x, 8, 150, 200,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    return CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, x, 40, 150, 200,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int show)
{
    std::wstring handlesFile;
    for (int i = 1; i < __argc; ++i)
        if (std::wstring(__wargv[i]) == L"--handles" && i + 1 < __argc)
            handlesFile = __wargv[++i];

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = target::QuitOnDestroyProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return 1;
    HWND main =
        CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 500, 290, nullptr, nullptr, inst, nullptr);
    if (!main)
        return 1;

    static const char* const names[] = {"list1000",   "combo1000",  "list10000",
                                        "combo10000", "list100000", "combo100000"};
    target::NamedHandles controls(6);
    for (int s = 0; s < 3; ++s) {
        for (int k = 0; k < 2; ++k) {
            const bool combo = k == 1;
            const int at = s * 2 + k;
            HWND h = MakeControl(main, combo, s, 1000 + at);
            if (!h)
                return 1;
            Fill(h, combo, kSizes[s]);
            controls[at] = {names[at], h};
        }
    }
    ShowWindow(main, show);
    UpdateWindow(main);
    controls.emplace_back("main", main);
    if (!handlesFile.empty() && !target::WriteHandles(handlesFile, controls))
        return 2;

    target::RunMessageLoop();
    return 0;
}
