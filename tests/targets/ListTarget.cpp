// Demo target for the end-to-end tests: a top-level window whose list controls another process reads.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "DrawnViews.h"
#include "FrameworkViews.h"
#include "TargetSupport.h"
#include "TwinViews.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorvelDemoTarget";
constexpr wchar_t kTitle[] = L"Quorvel Demo Target";
constexpr int kBigItemCount = 10000;

// A second top-level window holds the common controls, so the first keeps its layout and handles.
constexpr wchar_t kViewsClassName[] = L"QuorvelDemoViews";
constexpr wchar_t kViewsTitle[] = L"Quorvel Demo Views";
constexpr int kReportRowCount = 10000;
constexpr int kReportLongRow = 5000;
constexpr int kVirtualRowCount = 2000;
// Shown left to right: the third column, the first, the second.
constexpr int kReportColumnOrder[3] = {2, 0, 1};

// Questions the views window answers, so a test can tell whether reading the tree changed it:
// how many items are expanded, and the depth-first index of the selected and of the first visible
// item (-1 for none).
constexpr UINT kQueryTreeExpanded = WM_APP + 1;
constexpr UINT kQueryTreeSelected = WM_APP + 2;
constexpr UINT kQueryTreeFirstVisible = WM_APP + 3;

struct Options {
    std::wstring handlesFile;
    bool twins = false; // the twin windows too
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

using ReportRow = std::array<std::wstring, 3>;
using VirtualRow = std::array<std::wstring, 2>;

// Cells in column index order; the tests keep their own copy of this table.
ReportRow MakeReportRow(int i)
{
    switch (i) {
    case 0:
        return {L"Z\u00FCrich", L"\u65E5\u672C\u8A9E", L"0"};
    case 1:
        return {L"a", L"", L"c"};
    case 2:
        return {L"", L"", L""};
    case 3:
        return {L"", L"label empty", L""};
    case 4:
        return {L"comma, \"quoted\"", L"note 4", L"4"};
    case kReportLongRow:
        return {L"long", LongItem(), L"5000"};
    case kReportRowCount - 1:
        return {L"last", L"", L""};
    default:
        break;
    }
    wchar_t name[32], note[32], number[16];
    swprintf(name, 32, L"item %05d", i);
    swprintf(note, 32, L"note %d", i);
    swprintf(number, 16, L"%d", i);
    return {name, note, number};
}

VirtualRow MakeVirtualRow(int i)
{
    if (i % 250 == 249)
        return {L"", L""};
    wchar_t label[32], second[32];
    swprintf(label, 32, L"virtual %04d", i);
    swprintf(second, 32, L"\u00FCber %04d", i);
    return {label, i % 3 == 0 ? L"" : second};
}

Options ParseOptions()
{
    Options opt;
    for (int i = 1; i < __argc; ++i) {
        std::wstring arg = __wargv[i];
        if (arg == L"--handles" && i + 1 < __argc)
            opt.handlesFile = __wargv[++i];
        opt.twins = opt.twins || arg == L"--twins";
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

// --- the views window --------------------------------------------------------------------------------------------

struct ViewWindows {
    HWND frame = nullptr;
    HWND report = nullptr;
    HWND header = nullptr;
    HWND icons = nullptr;
    HWND virtualList = nullptr;
    HWND tree = nullptr;
    HWND editCombo = nullptr;
    HWND editComboEdit = nullptr;
    HWND comboEx = nullptr;
    HWND comboExEdit = nullptr;
    long reportFillMs = 0;
};

// What the views window's procedure needs: the virtual list's rows, kept for the life of the window
// because the list view may be handed pointers into them.
struct ViewsState {
    std::vector<VirtualRow> virtualRows;
    HWND virtualList = nullptr;
    HWND tree = nullptr;
};

// Items of the tree in depth-first order, collapsed branches included.
std::vector<HTREEITEM> TreeItems(HWND tree)
{
    std::vector<HTREEITEM> out;
    std::vector<HTREEITEM> stack;
    auto next = [tree](HTREEITEM item, UINT how) {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    };
    for (HTREEITEM item = next(nullptr, TVGN_ROOT); item;) {
        out.push_back(item);
        if (HTREEITEM child = next(item, TVGN_CHILD)) {
            stack.push_back(item);
            item = child;
            continue;
        }
        HTREEITEM sibling = next(item, TVGN_NEXT);
        while (!sibling && !stack.empty()) {
            sibling = next(stack.back(), TVGN_NEXT);
            stack.pop_back();
        }
        item = sibling;
    }
    return out;
}

LRESULT TreeQuery(HWND tree, UINT query)
{
    const std::vector<HTREEITEM> items = TreeItems(tree);
    if (query == kQueryTreeExpanded) {
        LRESULT expanded = 0;
        for (HTREEITEM item : items) {
            if (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED)
                ++expanded;
        }
        return expanded;
    }
    const UINT how = query == kQueryTreeSelected ? TVGN_CARET : TVGN_FIRSTVISIBLE;
    const auto wanted = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, 0));
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == wanted)
            return static_cast<LRESULT>(i);
    }
    return -1;
}

// Answers the virtual list view's questions. Even rows copy their text into the list view's buffer; odd
// rows point the item at the text kept here, which a list view may do as well.
void AnswerDispInfo(ViewsState& state, NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= static_cast<int>(state.virtualRows.size()) ||
        item.iSubItem < 0 || item.iSubItem > 1)
        return;
    const std::wstring& text = state.virtualRows[static_cast<size_t>(item.iItem)][static_cast<size_t>(item.iSubItem)];
    if (item.iItem % 2)
        item.pszText = const_cast<wchar_t*>(text.c_str());
    else if (item.pszText && item.cchTextMax > 0)
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

LRESULT CALLBACK ViewsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* state = reinterpret_cast<ViewsState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        break;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (state && hdr->hwndFrom == state->virtualList && hdr->code == LVN_GETDISPINFOW) {
            AnswerDispInfo(*state, *reinterpret_cast<NMLVDISPINFOW*>(lp));
            return 0;
        }
        break;
    }
    case kQueryTreeExpanded:
    case kQueryTreeSelected:
    case kQueryTreeFirstVisible:
        return state ? TreeQuery(state->tree, msg) : -1;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void AddColumn(HWND lv, int index, const wchar_t* title, int width)
{
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(title);
    col.cx = width;
    col.iSubItem = index;
    SendMessageW(lv, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
}

void AddRow(HWND lv, int index, const std::wstring* cells, int cellCount)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(cells[0].c_str());
    SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int sub = 1; sub < cellCount; ++sub) {
        item.iSubItem = sub;
        item.pszText = const_cast<wchar_t*>(cells[sub].c_str());
        SendMessageW(lv, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
}

long ElapsedMs(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return static_cast<long>((now.QuadPart - start.QuadPart) * 1000 / freq.QuadPart);
}

// Item by item with redraw off and the storage reserved: each insertion then skips the repaint and
// scroll bar update it would otherwise cause.
long FillReport(HWND lv)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    AddColumn(lv, 0, L"Name", 90);
    AddColumn(lv, 1, L"Note", 90);
    AddColumn(lv, 2, L"No.", 40);
    SendMessageW(lv, LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(kReportColumnOrder));
    SendMessageW(lv, WM_SETREDRAW, FALSE, 0);
    SendMessageW(lv, LVM_SETITEMCOUNT, kReportRowCount, 0);
    for (int i = 0; i < kReportRowCount; ++i) {
        const ReportRow row = MakeReportRow(i);
        AddRow(lv, i, row.data(), 3);
    }
    SendMessageW(lv, WM_SETREDRAW, TRUE, 0);
    return ElapsedMs(start);
}

// An icon view: only the labels show, though every item has a second column too.
void FillIcons(HWND lv)
{
    AddColumn(lv, 0, L"Label", 100);
    AddColumn(lv, 1, L"Hidden", 100);
    const std::wstring items[][2] = {
        {L"first", L"hidden 0"},      {L"Z\u00FCrich", L"hidden 1"}, {L"", L"hidden 2"},
        {L"\u65E5\u672C\u8A9E", L""}, {L"last", L"hidden 4"},
    };
    int index = 0;
    for (auto& row : items)
        AddRow(lv, index++, row, 2);
}

HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

// Three levels; "Deutschland" stays collapsed, every other branch is expanded.
void FillTree(HWND tree)
{
    HTREEITEM europe = AddTreeItem(tree, TVI_ROOT, L"Europe");
    HTREEITEM swiss = AddTreeItem(tree, europe, L"Schweiz");
    AddTreeItem(tree, swiss, L"Z\u00FCrich");
    AddTreeItem(tree, swiss, L"Gen\u00E8ve");
    HTREEITEM germany = AddTreeItem(tree, europe, L"Deutschland");
    AddTreeItem(tree, germany, L"M\u00FCnchen");
    AddTreeItem(tree, germany, L"K\u00F6ln");
    HTREEITEM asia = AddTreeItem(tree, TVI_ROOT, L"Asia");
    HTREEITEM japan = AddTreeItem(tree, asia, L"\u65E5\u672C");
    AddTreeItem(tree, japan, L"\u6771\u4EAC");
    AddTreeItem(tree, japan, L"\u5927\u962A");
    AddTreeItem(tree, asia, L"");
    AddTreeItem(tree, asia, L"\uD55C\uAD6D");
    AddTreeItem(tree, TVI_ROOT, L"Oceania");
    for (HTREEITEM item : {europe, swiss, asia, japan})
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    // Expanding scrolls the new children into view; start from the top again.
    SendMessageW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(europe));
}

std::vector<std::wstring> EditComboItems()
{
    return {L"edit combo", L"Z\u00FCrich", L"", L"\u65E5\u672C\u8A9E", L"omega"};
}

std::vector<std::wstring> ComboExItems()
{
    return {L"ex first", L"Gen\u00E8ve", L"", L"\uD55C\uAD6D"};
}

void FillComboEx(HWND comboEx)
{
    int index = 0;
    for (const std::wstring& s : ComboExItems()) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = index++;
        item.pszText = const_cast<LPWSTR>(s.c_str());
        SendMessageW(comboEx, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

bool BuildViews(HINSTANCE inst, ViewsState& state, ViewWindows& v)
{
    INITCOMMONCONTROLSEX icc{sizeof icc,
                             ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = ViewsProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kViewsClassName;
    if (!RegisterClassW(&wc))
        return false;

    for (int i = 0; i < kVirtualRowCount; ++i)
        state.virtualRows.push_back(MakeVirtualRow(i));
    // Left of the first window and below Quorvel's default place, so neither covers the other.
    v.frame = CreateWindowExW(0, kViewsClassName, kViewsTitle, WS_OVERLAPPEDWINDOW, 0, 310, 490, 440, nullptr, nullptr,
                              inst, &state);
    if (!v.frame)
        return false;
    const DWORD shared = LVS_SHOWSELALWAYS;
    v.report = MakeChild(v.frame, WC_LISTVIEWW, shared | LVS_REPORT, 10, 10, 230, 200, 11);
    v.icons = MakeChild(v.frame, WC_LISTVIEWW, shared | LVS_ICON | LVS_AUTOARRANGE, 250, 10, 220, 200, 12);
    v.virtualList = MakeChild(v.frame, WC_LISTVIEWW, shared | LVS_REPORT | LVS_OWNERDATA, 10, 220, 230, 140, 13);
    v.tree = MakeChild(v.frame, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 250, 220, 220, 140, 14);
    v.editCombo = MakeChild(v.frame, WC_COMBOBOXW, CBS_DROPDOWN | CBS_HASSTRINGS | WS_VSCROLL, 10, 370, 230, 200, 15);
    v.comboEx = MakeChild(v.frame, WC_COMBOBOXEXW, CBS_DROPDOWN, 250, 370, 220, 200, 16);
    if (!v.report || !v.icons || !v.virtualList || !v.tree || !v.editCombo || !v.comboEx)
        return false;
    state.virtualList = v.virtualList;
    state.tree = v.tree;

    v.reportFillMs = FillReport(v.report);
    v.header = reinterpret_cast<HWND>(SendMessageW(v.report, LVM_GETHEADER, 0, 0));
    FillIcons(v.icons);
    AddColumn(v.virtualList, 0, L"Label", 110);
    AddColumn(v.virtualList, 1, L"Second", 90);
    SendMessageW(v.virtualList, LVM_SETITEMCOUNT, kVirtualRowCount, 0);
    FillTree(v.tree);
    FillCombo(v.editCombo, EditComboItems());
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(v.editCombo, &info))
        v.editComboEdit = info.hwndItem;
    FillComboEx(v.comboEx);
    v.comboExEdit = reinterpret_cast<HWND>(SendMessageW(v.comboEx, CBEM_GETEDITCONTROL, 0, 0));
    if (!v.header || !v.editComboEdit || !v.comboExEdit)
        return false;
    ShowWindow(v.frame, SW_SHOWNORMAL);
    UpdateWindow(v.frame);
    return true;
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
    ViewsState state;
    ViewWindows v;
    target::NamedHandles more;
    // Its drawn lists answer accessibility clients through COM, on this thread's message loop.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!drawn::MakeDrawnViews(more) || !BuildWindows(inst, w) || !BuildViews(inst, state, v) ||
        !frameworks::MakeFrameworkViews(inst, kViewsClassName, more) ||
        (opt.twins && !twins::MakeTwinViews(inst, more)))
        return 1;
    more.push_back({"comboex_combo", reinterpret_cast<HWND>(SendMessageW(v.comboEx, CBEM_GETCOMBOCONTROL, 0, 0))});
    target::NamedHandles handles{{"list", w.list},
                                 {"combo", w.combo},
                                 {"big", w.big},
                                 {"main", w.main},
                                 {"views", v.frame},
                                 {"report", v.report},
                                 {"header", v.header},
                                 {"icons", v.icons},
                                 {"virtual", v.virtualList},
                                 {"tree", v.tree},
                                 {"editcombo", v.editCombo},
                                 {"editcombo_edit", v.editComboEdit},
                                 {"comboex", v.comboEx},
                                 {"comboex_edit", v.comboExEdit}};
    handles.insert(handles.end(), more.begin(), more.end());
    // Written only now that every control is filled: the file tells the tests the target is ready.
    if (!opt.handlesFile.empty() &&
        !target::WriteHandles(opt.handlesFile, handles, {{"report_fill_ms", v.reportFillMs}}))
        return 2;

    target::RunMessageLoop();
    return 0;
}
