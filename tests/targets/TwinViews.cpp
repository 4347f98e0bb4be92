#include "TwinViews.h"

#include "FrameworkViews.h"

#include <commctrl.h>

namespace twins {

namespace {

constexpr wchar_t kClass[] = L"QuorvelDemoTwin";
constexpr UINT_PTR kLateTimer = 1;

HWND Child(HWND parent, const wchar_t* cls, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

LRESULT CALLBACK TwinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case kAddItem:
        // The list box is the panel's first child.
        return SendMessageW(GetWindow(GetWindow(hwnd, GW_CHILD), GW_CHILD), LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(L"added"));
    case kShowLate:
        return SetTimer(hwnd, kLateTimer, 1500, nullptr) != 0;
    case WM_TIMER:
        if (wp == kLateTimer) {
            KillTimer(hwnd, kLateTimer);
            HWND late = CreateWindowExW(0, kClass, L"Quorvel Demo Late", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 760,
                                        300, 250, 120, nullptr, nullptr, nullptr, nullptr);
            frameworks::Fill(Child(late, L"LISTBOX", LBS_HASSTRINGS, 5, 5, 200, 60, 101), frameworks::Kind::listBox,
                             {L"late"});
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace

bool MakeTwinViews(HINSTANCE inst, target::NamedHandles& handles)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = TwinProc;
    wc.hInstance = inst;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassW(&wc))
        return false;
    static const char* const names[2][4] = {{"twin_a", "twin_a_list", "twin_a_combo", "twin_a_view"},
                                            {"twin_b", "twin_b_list", "twin_b_combo", "twin_b_view"}};
    for (int t = 0; t < 2; ++t) {
        // Top right, over the frameworks window (which no test points at), clear of Quorvel's.
        HWND frame =
            CreateWindowExW(0, kClass, t ? L"Quorvel Demo Twin B" : L"Quorvel Demo Twin A", WS_OVERLAPPED | WS_CAPTION,
                            760, t * 150, 250, 140, nullptr, nullptr, inst, nullptr);
        HWND panel = frame ? Child(frame, L"STATIC", 0, 0, 0, 120, 110, 100) : nullptr;
        HWND list = panel ? Child(panel, L"LISTBOX", LBS_HASSTRINGS, 5, 5, 110, 60, 101) : nullptr;
        HWND combo = panel ? Child(panel, L"COMBOBOX", CBS_DROPDOWN | CBS_HASSTRINGS, 5, 70, 110, 80, 102) : nullptr;
        HWND view = frame ? Child(frame, WC_LISTVIEWW, LVS_REPORT, 125, 5, 115, 100, 103) : nullptr;
        if (!list || !combo || !view)
            return false;
        frameworks::Fill(list, frameworks::Kind::listBox, {t ? L"twin B one" : L"twin A one", L"two"});
        frameworks::Fill(combo, frameworks::Kind::comboBox, {L"combo"});
        frameworks::Fill(view, frameworks::Kind::listView, {L"row"});
        ShowWindow(frame, SW_SHOWNOACTIVATE);
        const HWND made[] = {frame, list, combo, view};
        for (int i = 0; i < 4; ++i)
            handles.push_back({names[t][i], made[i]});
    }
    return true;
}

} // namespace twins
