// The bench target's desk: kDeskWindows windows, each with kDeskLists lists of a few items: list boxes,
// drop-down combo boxes, report list views, tree views, a tab control and a status bar, half of them in a panel.
#include "BenchDesk.h"

#include <windows.h>

#include <commctrl.h>

namespace bench {

namespace {

constexpr wchar_t kDeskClass[] = L"QuorvelBenchDesk";

HWND Control(HWND parent, const wchar_t* cls, DWORD style, int slot, int id)
{
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, (slot % 5) * 60, (slot / 5) * 40, 56, 36, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

bool Fill(HWND w, int kind)
{
    wchar_t text[] = L"item";
    for (int i = 0; i < 3; ++i) {
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = i;
        row.pszText = text;
        TVINSERTSTRUCTW node{};
        node.hParent = TVI_ROOT;
        node.hInsertAfter = TVI_LAST;
        node.item.mask = TVIF_TEXT;
        node.item.pszText = text;
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        const UINT messages[] = {LB_ADDSTRING, CB_ADDSTRING, LVM_INSERTITEMW, TVM_INSERTITEMW, TCM_INSERTITEMW};
        void* items[] = {text, text, &row, &node, &tab};
        if (kind < 5)
            SendMessageW(w, messages[kind], static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(items[kind]));
    }
    return true;
}

} // namespace

bool MakeBenchDesk()
{
    INITCOMMONCONTROLSEX icc{sizeof icc,
                             ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kDeskClass;
    if (!RegisterClassW(&wc))
        return false;
    // Per window, by slot: 6 list boxes, 5 combo boxes, 4 list views, 3 tree views, a tab control, a status bar.
    const struct {
        const wchar_t* cls;
        DWORD style;
        int kind, count;
    } lists[] = {{L"LISTBOX", LBS_HASSTRINGS, 0, 6}, {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_HASSTRINGS, 1, 5},
                 {WC_LISTVIEWW, LVS_REPORT, 2, 4},   {WC_TREEVIEWW, 0, 3, 3},
                 {WC_TABCONTROLW, 0, 4, 1},          {STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 5, 1}};
    for (int w = 1; w <= kDeskWindows; ++w) {
        wchar_t title[64];
        DeskTitle(w, title, 64);
        HWND frame = CreateWindowExW(0, kDeskClass, title, WS_OVERLAPPED | WS_CAPTION, 520 + (w % 10) * 8,
                                     300 + (w / 10) * 8, 320, 260, nullptr, nullptr, nullptr, nullptr);
        HWND panel = frame ? CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 120, frame, nullptr,
                                             nullptr, nullptr)
                           : nullptr;
        if (!panel)
            return false;
        int slot = 0;
        for (const auto& l : lists) {
            for (int i = 0; i < l.count; ++i, ++slot) {
                // The first half in the panel, the rest below it in the frame.
                HWND w = Control(slot < kDeskLists / 2 ? panel : frame, l.cls, l.style,
                                 slot < kDeskLists / 2 ? slot : slot + 5 - kDeskLists / 2, 100 + slot);
                if (!w || !Fill(w, l.kind))
                    return false;
            }
        }
        ShowWindow(frame, SW_SHOWNOACTIVATE);
    }
    return true;
}

} // namespace bench
