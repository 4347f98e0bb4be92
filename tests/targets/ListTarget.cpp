// Demo target for the end-to-end tests: a top-level window whose list controls another process reads.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "TargetSupport.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorvelDemoTarget";
constexpr wchar_t kTitle[] = L"Quorvel Demo Target";
constexpr int kBigItemCount = 10000;

struct Options {
    std::wstring handlesFile;
};

struct TargetWindows {
    HWND main = nullptr;
    HWND list = nullptr;
    HWND combo = nullptr;
    HWND big = nullptr;
};

std::wstring LongItem()
{
    std::wstring s;
    for (int i = 0; i < 2000; ++i)
        s += static_cast<wchar_t>(L'0' + i % 10);
    return s;
}

// Shared by the list box and the combo box; the tests keep their own copy to compare against.
std::vector<std::wstring> CommonItems()
{
    return {L"alpha", L"", L"Z\u00FCrich", L"\u65E5\u672C\u8A9E", LongItem(), L"omega"};
}

std::vector<std::wstring> ListItems()
{
    return CommonItems();
}

std::vector<std::wstring> ComboItems()
{
    std::vector<std::wstring> items{L"combo"};
    for (auto& s : CommonItems())
        items.push_back(s);
    return items;
}

std::wstring BigItem(int i)
{
    wchar_t buf[32];
    swprintf(buf, 32, L"item %05d", i);
    return buf;
}

Options ParseOptions()
{
    Options opt;
    for (int i = 1; i < __argc; ++i) {
        std::wstring arg = __wargv[i];
        if (arg == L"--handles" && i + 1 < __argc)
            opt.handlesFile = __wargv[++i];
    }
    return opt;
}

HWND MakeChild(HWND parent, const wchar_t* cls, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void FillList(HWND list, const std::vector<std::wstring>& items)
{
    for (auto& s : items)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void FillCombo(HWND combo, const std::vector<std::wstring>& items)
{
    for (auto& s : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void FillBig(HWND big)
{
    // Reserving storage up front keeps 10,000 insertions fast.
    SendMessageW(big, LB_INITSTORAGE, kBigItemCount, kBigItemCount * 12 * sizeof(wchar_t));
    SendMessageW(big, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kBigItemCount; ++i)
        SendMessageW(big, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(BigItem(i).c_str()));
    SendMessageW(big, WM_SETREDRAW, TRUE, 0);
}

bool BuildWindows(HINSTANCE inst, TargetWindows& w)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = target::QuitOnDestroyProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc))
        return false;

    // A fixed spot right of centre keeps the target clear of windows placed at the default position.
    w.main = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 500, 300, 500, 440, nullptr, nullptr, inst,
                             nullptr);
    if (!w.main)
        return false;
    const DWORD listStyle = LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL;
    w.list = MakeChild(w.main, L"LISTBOX", listStyle, 10, 10, 230, 200, 1);
    w.combo = MakeChild(w.main, L"COMBOBOX", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 10, 220, 230, 200, 2);
    w.big = MakeChild(w.main, L"LISTBOX", listStyle, 250, 10, 230, 380, 3);
    if (!w.list || !w.combo || !w.big)
        return false;

    FillList(w.list, ListItems());
    FillCombo(w.combo, ComboItems());
    FillBig(w.big);
    ShowWindow(w.main, SW_SHOWNORMAL);
    UpdateWindow(w.main);
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int)
{
    Options opt = ParseOptions();
    TargetWindows w;
    if (!BuildWindows(inst, w))
        return 1;
    if (!opt.handlesFile.empty() &&
        !target::WriteHandles(opt.handlesFile,
                              {{"list", w.list}, {"combo", w.combo}, {"big", w.big}, {"main", w.main}}))
        return 2;

    target::RunMessageLoop();
    return 0;
}
