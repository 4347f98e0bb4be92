#include "HostileViews.h"
#include "FrameworkViews.h"
#include "ProcessFootprint.h"

#include <commctrl.h>

#include <climits>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>
#include <algorithm>

namespace hostile {

namespace {

constexpr DWORD kHangMs = 8000;
constexpr DWORD kSlowMs = 150;
constexpr int kSlowRows = 40;
constexpr int kHangRow = 3;
constexpr int kExitRows = 200;

// Kept apart from the tests' own copy so a slip on either side shows up.
const wchar_t* const kCells[5][3] = {{L"r0", L"Z\u00FCrich", L"a"},
                                     {L"r1", L"\u65E5\u672C\u8A9E", L"b"},
                                     {L"r2", L"", L"c"},
                                     {L"r3", L"x", L"d"},
                                     {L"r4", L"y", L"e"}};

enum class Kind {
    plain,
    countMinusOne,
    countIntMin,
    countIntMax,
    lengthBeyond,   // LVM_GETITEMTEXTW answers a million characters
    lengthNegative, // LVM_GETITEMTEXTW answers -7
    badPointer,     // points pszText at an address that can't be read
    headerLies,     // the header claims 100,000 columns
    noAnswer,       // answers no list-view message at all
    hang,           // sleeps inside the text message of kHangRow (list) or of the fourth item (tree)
    exitAt,         // ExitProcess inside LVM_GETITEMTEXTW of row `value`
    overtake,       // while answering row 2, sets the reader's edit field: a newer read starts
    cycle,          // the child of the last item under A1 is A, its ancestor
    selfNext,       // the next sibling of A2 is A2
    slow,           // answers each LVM_GETITEMTEXTW after `value` ms, or kSlowMs
    barCountIntMax, // a tab control's or status bar's count, answered as the control would, then INT_MAX
    partOverruns,   // a status bar that answers 10 for the length of its third part, 600 characters
};

struct Behaviour {
    Kind kind = Kind::plain;
    long value = 0;
    std::map<UINT, long> counts;
    std::set<LPARAM> itemsAsked;
    HTREEITEM special = nullptr; // the item a tree behaviour turns on
    HTREEITEM target = nullptr;  // where it leads
    HWND overtakeEdit = nullptr;
    long overtakeHandle = 0;
    bool overtaken = false;
};

bool IsListViewMessage(UINT msg)
{
    return msg >= LVM_FIRST && msg < LVM_FIRST + 0x100;
}

bool SetText(HWND edit, long value)
{
    const std::wstring text = std::to_wstring(value);
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 10000,
                               &ignored) != 0;
}

long DriveReads(HWND self, HWND edit, long other)
{
    long delivered = 0;
    for (int i = 0; i < kDrivenReads; ++i)
        delivered += SetText(edit, target::HandleValue(self)) + SetText(edit, other);
    return delivered;
}

LRESULT CALLBACK ViewProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    auto* b = reinterpret_cast<Behaviour*>(ref);
    switch (msg) {
    case kViewQueryCount:
        return b->counts[static_cast<UINT>(wp)];
    case kViewResetCounts:
        b->counts.clear();
        b->itemsAsked.clear();
        b->overtaken = false;
        return 0;
    case kQueryCommittedKiB:
        return target::CommittedKiB(GetCurrentProcess());
    case kQueryHandleCount:
        return target::HandleCountOf(target::ProcessOf(reinterpret_cast<HWND>(wp)));
    case kQueryThreadCount:
        return target::ThreadCountOf(target::ProcessOf(reinterpret_cast<HWND>(wp)));
    case kSetOvertake:
        b->overtakeEdit = reinterpret_cast<HWND>(wp);
        b->overtakeHandle = static_cast<long>(lp);
        return 0;
    case kQueryDistinctItems:
        return static_cast<LRESULT>(b->itemsAsked.size());
    case kDriveReads:
        return DriveReads(h, reinterpret_cast<HWND>(wp), static_cast<long>(lp));
    default:
        break;
    }
    ++b->counts[msg];
    if (msg == TVM_GETITEMW)
        b->itemsAsked.insert(reinterpret_cast<LPARAM>(reinterpret_cast<TVITEMW*>(lp)->hItem));

    switch (b->kind) {
    case Kind::countMinusOne:
    case Kind::countIntMin:
    case Kind::countIntMax:
        if (msg == LVM_GETITEMCOUNT || msg == TVM_GETCOUNT)
            return b->value;
        break;
    case Kind::lengthBeyond:
        if (msg == LVM_GETITEMTEXTW) {
            DefSubclassProc(h, msg, wp, lp);
            return 1000000;
        }
        break;
    case Kind::lengthNegative:
        if (msg == LVM_GETITEMTEXTW) {
            DefSubclassProc(h, msg, wp, lp);
            return -7;
        }
        break;
    case Kind::badPointer:
        if (msg == LVM_GETITEMTEXTW) {
            const LRESULT n = DefSubclassProc(h, msg, wp, lp);
            reinterpret_cast<LVITEMW*>(lp)->pszText = reinterpret_cast<LPWSTR>(0x10);
            return n;
        }
        break;
    case Kind::noAnswer:
        if (IsListViewMessage(msg))
            return 0;
        break;
    case Kind::hang:
        if ((msg == LVM_GETITEMTEXTW && wp == kHangRow) ||
            (msg == TVM_GETITEMW && reinterpret_cast<TVITEMW*>(lp)->hItem == b->special))
            Sleep(kHangMs);
        break;
    case Kind::exitAt:
        if (msg == LVM_GETITEMTEXTW && static_cast<long>(wp) == b->value)
            ExitProcess(3);
        break;
    case Kind::overtake:
        if (msg == LVM_GETITEMTEXTW && wp == 2 && !b->overtaken && b->overtakeEdit) {
            b->overtaken = true;
            const std::wstring text = std::to_wstring(b->overtakeHandle);
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(b->overtakeEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                                10000, &ignored);
        }
        break;
    case Kind::cycle:
    case Kind::selfNext:
        if (msg == TVM_GETNEXTITEM && reinterpret_cast<HTREEITEM>(lp) == b->special &&
            wp == (b->kind == Kind::cycle ? TVGN_CHILD : TVGN_NEXT))
            return reinterpret_cast<LRESULT>(b->target);
        break;
    case Kind::headerLies:
        if (msg == HDM_GETITEMCOUNT)
            return 100000;
        break;
    case Kind::slow:
        if (msg == LVM_GETITEMTEXTW)
            Sleep(b->value ? static_cast<DWORD>(b->value) : kSlowMs);
        break;
    case Kind::barCountIntMax:
        if (msg == TCM_GETITEMCOUNT || msg == SB_GETPARTS) {
            DefSubclassProc(h, msg, wp, lp);
            return INT_MAX;
        }
        break;
    case Kind::partOverruns:
        if (msg == SB_GETTEXTLENGTHW && (wp & 0xFF) == 2)
            return 10;
        break;
    case Kind::plain:
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

Behaviour* Subclass(HWND control, Kind kind, long value = 0)
{
    auto* b = new Behaviour; // outlives the window: the process ends with the windows still up
    b->kind = kind;
    b->value = value;
    SetWindowSubclass(control, ViewProc, 2, reinterpret_cast<DWORD_PTR>(b));
    return b;
}

HWND MakeFrame(const wchar_t* title, int x, int y, int w, int h)
{
    return CreateWindowExW(0, L"QuorvelHostileFrame", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND MakeChild(HWND frame, const wchar_t* cls, DWORD style, int slot)
{
    const int x = 5 + (slot % 5) * 150, y = 5 + (slot / 5) * 110;
    return CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, 145, 105, frame,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(200 + slot)), GetModuleHandleW(nullptr),
                           nullptr);
}

void AddRow(HWND list, int row, const wchar_t* const* cells, int columns)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<LPWSTR>(cells[0]);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < columns; ++c) {
        item.iSubItem = c;
        item.pszText = const_cast<LPWSTR>(cells[c]);
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }
}

HWND MakeListView(HWND frame, int slot, int rows)
{
    HWND list = MakeChild(frame, WC_LISTVIEWW, LVS_REPORT, slot);
    if (!list)
        return nullptr;
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH;
        col.cx = 45;
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int r = 0; r < rows; ++r) {
        if (r < 5) {
            AddRow(list, r, kCells[r], 3);
            continue;
        }
        wchar_t a[16], b[16];
        swprintf(a, 16, L"r%d", r);
        swprintf(b, 16, L"v%d", r);
        const wchar_t* cells[3] = {a, b, L"z"};
        AddRow(list, r, cells, 3);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    return list;
}

HTREEITEM AddItem(HWND tree, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<LPWSTR>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

// A{A1{A1a, A1b}, A2}, B{B1}, with A1 collapsed; tree behaviours turn on A1b, A2 and A.
HWND MakeTreeView(HWND frame, int slot, Kind kind, long value)
{
    HWND tree = MakeChild(frame, WC_TREEVIEWW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, slot);
    if (!tree)
        return nullptr;
    HTREEITEM a = AddItem(tree, TVI_ROOT, L"A");
    HTREEITEM a1 = AddItem(tree, a, L"A1");
    AddItem(tree, a1, L"A1a");
    HTREEITEM a1b = AddItem(tree, a1, L"A1b");
    HTREEITEM a2 = AddItem(tree, a, L"A2");
    HTREEITEM b = AddItem(tree, TVI_ROOT, L"B");
    AddItem(tree, b, L"B1");
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a));
    Behaviour* behaviour = Subclass(tree, kind, value);
    behaviour->special = kind == Kind::selfNext ? a2 : a1b;
    behaviour->target = kind == Kind::selfNext ? a2 : a;
    return tree;
}

struct ViewSpec {
    const char* name;
    bool tree;
    Kind kind;
    long value;
    const wchar_t* bar = nullptr; // the class of a tab control or status bar to make instead
};

// Tabs, and status bar parts one of which is longer than a 256-character text slot; kept apart from the tests'
// own copy so a slip on either side shows up.
HWND MakeBar(HWND frame, int slot, const ViewSpec& spec)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    const bool tabs = std::wstring(spec.bar) == WC_TABCONTROLW;
    HWND bar = MakeChild(frame, spec.bar, tabs ? 0 : CCS_NOPARENTALIGN | CCS_NORESIZE, slot);
    const std::wstring x(1000, L'x'), y(600, L'y');
    if (bar && tabs)
        frameworks::Fill(bar, frameworks::Kind::tabs, {L"one", L"Z\u00FCrich", L"three"});
    else if (bar)
        frameworks::Fill(bar, frameworks::Kind::parts, {L"Ready", x.c_str(), y.c_str(), L"end"});
    if (bar)
        Subclass(bar, spec.kind, spec.value);
    return bar;
}

constexpr ViewSpec kViews[] = {
    {"lv_plain", false, Kind::plain, 0},
    {"lv_count_minus_one", false, Kind::countMinusOne, -1},
    {"lv_count_int_min", false, Kind::countIntMin, INT_MIN},
    {"lv_count_int_max", false, Kind::countIntMax, INT_MAX},
    {"lv_length_beyond", false, Kind::lengthBeyond, 0},
    {"lv_length_negative", false, Kind::lengthNegative, 0},
    {"lv_bad_pointer", false, Kind::badPointer, 0},
    {"lv_header_lies", false, Kind::headerLies, 0},
    {"lv_no_answer", false, Kind::noAnswer, 0},
    {"lv_overtake", false, Kind::overtake, 0},
    {"tv_plain", true, Kind::plain, 0},
    {"tv_count_minus_one", true, Kind::countMinusOne, -1},
    {"tv_count_int_min", true, Kind::countIntMin, INT_MIN},
    {"tv_count_int_max", true, Kind::countIntMax, INT_MAX},
    {"tv_cycle", true, Kind::cycle, 0},
    {"tv_self_next", true, Kind::selfNext, 0},
    {"tab_count_int_max", false, Kind::barCountIntMax, 0, WC_TABCONTROLW},
    {"sb_count_int_max", false, Kind::barCountIntMax, 0, STATUSCLASSNAMEW},
    {"sb_long_parts", false, Kind::partOverruns, 0, STATUSCLASSNAMEW},
};

HWND MakeView(HWND frame, int slot, const ViewSpec& spec)
{
    if (spec.bar)
        return MakeBar(frame, slot, spec);
    if (spec.tree)
        return MakeTreeView(frame, slot, spec.kind, spec.value);
    HWND list = MakeListView(frame, slot, spec.kind == Kind::slow ? kSlowRows : 5);
    if (!list)
        return nullptr;
    if (spec.kind == Kind::headerLies)
        Subclass(ListView_GetHeader(list), spec.kind);
    Subclass(list, spec.kind == Kind::headerLies ? Kind::plain : spec.kind, spec.value);
    return list;
}

} // namespace

bool MakeViews(target::NamedHandles& handles)
{
    HWND frame = MakeFrame(L"Quorvel Hostile Views", 0, 0, 780, 400);
    if (!frame)
        return false;
    int slot = 0;
    for (const ViewSpec& spec : kViews) {
        HWND view = MakeView(frame, slot++, spec);
        if (!view)
            return false;
        handles.push_back({spec.name, view});
    }
    // The hanging views live on threads of their own, so only they stop answering.
    auto hanging = [](bool tree, const wchar_t* title, int y) {
        return target::MakeOnOwnThread([=]() -> HWND {
            HWND f = MakeFrame(title, 780, y, 200, 150);
            return f ? MakeView(f, 0, ViewSpec{"", tree, Kind::hang, 0}) : nullptr;
        });
    };
    HWND listHang = hanging(false, L"Quorvel Hostile Hang List View", 10);
    HWND treeHang = hanging(true, L"Quorvel Hostile Hang Tree View", 200);
    auto slow = [](long ms, const wchar_t* title, int y) {
        return target::MakeOnOwnThread([=]() -> HWND {
            HWND f = MakeFrame(title, 780, y, 200, 150);
            return f ? MakeView(f, 0, ViewSpec{"", false, Kind::slow, ms}) : nullptr;
        });
    };
    HWND listSlow = slow(0, L"Quorvel Hostile Slow List View", 390);
    // Each answer takes most of a reader's bound for one message.
    HWND listSluggish = slow(1500, L"Quorvel Hostile Sluggish List View", 560);
    if (!listHang || !treeHang || !listSlow || !listSluggish)
        return false;
    handles.push_back({"lv_hang", listHang});
    handles.push_back({"tv_hang", treeHang});
    handles.push_back({"lv_slow", listSlow});
    handles.push_back({"lv_sluggish", listSluggish});
    return true;
}

int RunExitingView(const std::wstring& handlesFile, int exitRow)
{
    HWND frame = MakeFrame(L"Quorvel Hostile Exit View", 600, 450, 300, 200);
    HWND list = frame ? MakeListView(frame, 0, kExitRows) : nullptr;
    if (!list)
        return 1;
    Subclass(list, Kind::exitAt, exitRow);
    if (!handlesFile.empty() && !target::WriteHandles(handlesFile, {{"exit_view", list}}))
        return 2;
    target::RunMessageLoop();
    return 0;
}

} // namespace hostile
