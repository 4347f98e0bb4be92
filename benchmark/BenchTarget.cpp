// Benchmark target for another process to read: list boxes and combo boxes of 1,000, 10,000 and 100,000
// items, report list views of as many rows by 3 columns, tree views of as many items, and lists
// of 1,000 to 100,000 items it tells only through accessibility.
// The fake's declarations come before <windows.h>, whose macros would rewrite the constants they name.
#include "desktop/fake/FakeAccessible.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "AccessibleServer.h"
#include "BenchDesk.h"
#include "BenchItems.h"
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

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY) {
        // Every list view is virtual: its cells are made up when asked for.
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
        if (info->hdr.code == LVN_GETDISPINFOW) {
            LVITEMW& item = info->item;
            if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
                bench::CellText(item.iItem, item.iSubItem, item.pszText, item.cchTextMax);
            return 0;
        }
    }
    return target::QuitOnDestroyProc(hwnd, msg, wp, lp);
}

HWND MakeChild(HWND parent, const wchar_t* cls, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

HWND MakeListView(HWND parent, int column, int id, int rows)
{
    HWND lv = MakeChild(parent, WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA, 8 + column * 160, 250, 150, 150, id);
    if (!lv)
        return nullptr;
    for (int c = 0; c < bench::kViewColumns; ++c) {
        wchar_t title[16];
        swprintf(title, 16, L"Col %d", c);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = title;
        col.cx = 100;
        col.iSubItem = c;
        SendMessageW(lv, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
    }
    SendMessageW(lv, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOINVALIDATEALL);
    return lv;
}

long ElapsedMs(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return static_cast<long>((now.QuadPart - start.QuadPart) * 1000 / freq.QuadPart);
}

HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, int index)
{
    wchar_t text[32];
    bench::TreeText(index, text, 32);
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = text;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

// Depth first, so an item's number is its place in the walk; with redraw off, so an insertion doesn't
// repaint. Returns how long the fill took in milliseconds, or -1 when an insertion failed.
long FillTree(HWND tree, int size)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    int index = 0;
    for (int r = 0; r < bench::TreeRoots(size); ++r) {
        HTREEITEM root = AddTreeItem(tree, TVI_ROOT, index++);
        if (!root)
            return -1;
        for (int c = 0; c < bench::kTreeChildren; ++c) {
            HTREEITEM child = AddTreeItem(tree, root, index++);
            if (!child)
                return -1;
            for (int g = 0; g < bench::kTreeGrandchildren; ++g)
                if (!AddTreeItem(tree, child, index++))
                    return -1;
        }
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    return ElapsedMs(start);
}

} // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int show)
{
    std::wstring handlesFile;
    bool desk = false; // the finding part's desk of windows too
    for (int i = 1; i < __argc; ++i) {
        if (std::wstring(__wargv[i]) == L"--handles" && i + 1 < __argc)
            handlesFile = __wargv[++i];
        desk = desk || std::wstring(__wargv[i]) == L"--desk";
    }

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return 1;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // the accessible lists answer through COM
    InitCommonControlsEx(&icc);
    HWND main =
        CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 500, 600, nullptr, nullptr, inst, nullptr);
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
    static const char* const viewNames[] = {"view1000", "view10000", "view100000"};
    for (int s = 0; s < 3; ++s) {
        HWND lv = MakeListView(main, s, 2000 + s, bench::kViewRows[s]);
        if (!lv)
            return 1;
        controls.emplace_back(viewNames[s], lv);
    }
    static const char* const treeNames[] = {"tree1000", "tree10000", "tree100000"};
    static const char* const fillNames[] = {"tree1000_fill_ms", "tree10000_fill_ms", "tree100000_fill_ms"};
    target::NamedNumbers fillMs;
    for (int s = 0; s < 3; ++s) {
        HWND tree = MakeChild(main, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 8 + s * 160, 410,
                              150, 140, 3000 + s);
        const long ms = tree ? FillTree(tree, bench::kTreeSizes[s]) : -1;
        if (ms < 0)
            return 1;
        controls.emplace_back(treeNames[s], tree);
        fillMs.emplace_back(fillNames[s], ms);
    }
    static const char* const accessibleNames[] = {"accessible1000", "accessible10000", "accessible100000"};
    for (int s = 0; s < 3; ++s) {
        auto* tree = new quorvel::FakeAccessibleTree; // the names a client asks for, served as the tests fake them
        tree->add({.role = quorvel::acc::roleList, .name = u"Bench"});
        wchar_t text[32];
        for (int i = 0; i < bench::kAccessibleSizes[s]; ++i) {
            bench::AccessibleText(i, text, 32);
            tree->add(
                {.role = quorvel::acc::roleListItem, .name = reinterpret_cast<const char16_t*>(text), .element = true},
                0);
        }
        HWND list = accserver::MakeWindow(main, {330 + s * 50, 410, 370 + s * 50, 450}, tree);
        if (!list)
            return 1;
        controls.emplace_back(accessibleNames[s], list);
    }
    if (desk && !bench::MakeBenchDesk())
        return 1;
    ShowWindow(main, show);
    UpdateWindow(main);
    controls.emplace_back("main", main);
    if (!handlesFile.empty() && !target::WriteHandles(handlesFile, controls, fillMs))
        return 2;

    target::RunMessageLoop();
    return 0;
}
