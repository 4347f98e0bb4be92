#include "FrameworkViews.h"

#include <commctrl.h>

#include <string>

namespace frameworks {

namespace {

// A superclass of a system control under a framework's name, as Delphi's VCL and Visual Basic register
// theirs: the system's class, window procedure included, under another name.
bool RegisterSuperclass(HINSTANCE inst, const wchar_t* system, const wchar_t* name)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, system, &wc))
        return false;
    wc.hInstance = inst;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

HWND Child(HWND parent, const wchar_t* cls, DWORD style, int x, int y, int w, int h)
{
    static int id = 100;
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), GetModuleHandleW(nullptr), nullptr);
}

LPARAM Text(const wchar_t* s)
{
    return reinterpret_cast<LPARAM>(s);
}

// The texts below are kept apart from the tests' own copy so a slip on either side shows up.

void FillListView(HWND lv)
{
    const wchar_t* columns[] = {L"Name", L"Size"};
    const wchar_t* cells[][2] = {{L"Delphi", L"1"}, {L"Z\u00FCrich", L"2"}};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 70;
        col.pszText = const_cast<wchar_t*>(columns[c]);
        SendMessageW(lv, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }
    for (int r = 0; r < 2; ++r) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<wchar_t*>(cells[r][0]);
        SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(cells[r][1]);
        SendMessageW(lv, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
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

void FillTabs(HWND tabs, std::initializer_list<const wchar_t*> texts)
{
    int i = 0;
    for (const wchar_t* t : texts) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(t);
        SendMessageW(tabs, TCM_INSERTITEMW, i++, reinterpret_cast<LPARAM>(&item));
    }
}

void FillParts(HWND bar, std::initializer_list<const wchar_t*> texts)
{
    int edges[8];
    int n = 0;
    for (; n < static_cast<int>(texts.size()); ++n)
        edges[n] = 80 * (n + 1);
    edges[n - 1] = -1;
    SendMessageW(bar, SB_SETPARTS, n, reinterpret_cast<LPARAM>(edges));
    int i = 0;
    for (const wchar_t* t : texts)
        SendMessageW(bar, SB_SETTEXTW, i++, Text(t));
}

// Three columns shown as Date, Name, Size.
void FillHeader(HWND header)
{
    const wchar_t* columns[] = {L"Name", L"Size", L"Date"};
    for (int c = 0; c < 3; ++c) {
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = 70;
        item.fmt = HDF_LEFT | HDF_STRING;
        item.pszText = const_cast<wchar_t*>(columns[c]);
        SendMessageW(header, HDM_INSERTITEMW, c, reinterpret_cast<LPARAM>(&item));
    }
    const int order[] = {2, 0, 1};
    SendMessageW(header, HDM_SETORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
}

// Buttons with text, a separator, and a button with none.
void FillToolbar(HWND toolbar)
{
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[5] = {};
    const struct {
        int command;
        BYTE style;
        const wchar_t* text;
    } specs[] = {{101, BTNS_BUTTON | BTNS_SHOWTEXT, L"Open"},
                 {0, BTNS_SEP, nullptr},
                 {102, BTNS_BUTTON | BTNS_SHOWTEXT, L"Save"},
                 {103, BTNS_BUTTON, nullptr},
                 {104, BTNS_BUTTON | BTNS_SHOWTEXT, L"Z\u00FCrich"}};
    for (int i = 0; i < 5; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = specs[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = specs[i].style;
        buttons[i].iString = specs[i].text ? reinterpret_cast<INT_PTR>(specs[i].text) : -1;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, 5, reinterpret_cast<LPARAM>(buttons));
}

} // namespace

bool MakeFrameworkViews(HINSTANCE inst, const wchar_t* frameClass, target::NamedHandles& handles)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES |
                                             ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const wchar_t* const superclasses[][2] = {
        {WC_LISTVIEWW, L"TListView"}, {WC_TREEVIEWW, L"TTreeView"},      {L"LISTBOX", L"ThunderRT6ListBox"},
        {L"COMBOBOX", L"TComboBox"},  {WC_TABCONTROLW, L"TPageControl"}, {STATUSCLASSNAMEW, L"TStatusBar"},
    };
    for (const auto& [system, name] : superclasses) {
        if (!RegisterSuperclass(inst, system, name))
            return false;
    }
    // Right of Quorvel's default place and above the first window, so it covers neither.
    HWND frame = CreateWindowExW(0, frameClass, L"Quorvel Demo Frameworks", WS_OVERLAPPEDWINDOW, 500, 0, 520, 290,
                                 nullptr, nullptr, inst, nullptr);
    if (!frame)
        return false;
    const DWORD bar = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    HWND listView = Child(frame, L"TListView", LVS_REPORT | WS_BORDER, 5, 5, 160, 90);
    HWND tree = Child(frame, L"TTreeView", TVS_HASLINES | WS_BORDER, 170, 5, 160, 90);
    HWND listBox = Child(frame, L"ThunderRT6ListBox", LBS_HASSTRINGS | WS_BORDER | WS_VSCROLL, 335, 5, 160, 90);
    HWND combo = Child(frame, L"TComboBox", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 5, 100, 160, 150);
    HWND pages = Child(frame, L"TPageControl", 0, 170, 100, 160, 30);
    HWND tabs = Child(frame, WC_TABCONTROLW, 0, 335, 100, 160, 30);
    HWND header = Child(frame, WC_HEADERW, HDS_HORZ | HDS_BUTTONS, 5, 135, 240, 24);
    HWND toolbar = Child(frame, TOOLBARCLASSNAMEW, TBSTYLE_FLAT | TBSTYLE_LIST | bar, 250, 135, 250, 28);
    HWND fwStatus = Child(frame, L"TStatusBar", bar, 5, 170, 240, 22);
    HWND status = Child(frame, STATUSCLASSNAMEW, bar, 250, 170, 250, 22);
    if (!listView || !tree || !listBox || !combo || !pages || !tabs || !header || !toolbar || !fwStatus || !status)
        return false;

    FillListView(listView);
    AddTreeItem(tree, AddTreeItem(tree, TVI_ROOT, L"Root"), L"Child");
    AddTreeItem(tree, TVI_ROOT, L"Second");
    for (const wchar_t* s : {L"vb one", L"", L"vb Z\u00FCrich"})
        SendMessageW(listBox, LB_ADDSTRING, 0, Text(s));
    for (const wchar_t* s : {L"delphi combo", L"\u65E5\u672C\u8A9E"})
        SendMessageW(combo, CB_ADDSTRING, 0, Text(s));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    FillTabs(pages, {L"General", L"Z\u00FCrich", L"\u65E5\u672C\u8A9E"});
    FillTabs(tabs, {L"First", L"", L"Third"});
    FillHeader(header);
    FillToolbar(toolbar);
    FillParts(fwStatus, {L"Ready", L"Z\u00FCrich"});
    FillParts(status, {L"Status", L"Gen\u00E8ve", L""});
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    handles.insert(handles.end(), {{"frameworks", frame},
                                   {"fw_listview", listView},
                                   {"fw_tree", tree},
                                   {"fw_listbox", listBox},
                                   {"fw_combo", combo},
                                   {"fw_pages", pages},
                                   {"fw_statusbar", fwStatus},
                                   {"tabs", tabs},
                                   {"lone_header", header},
                                   {"toolbar", toolbar},
                                   {"statusbar", status}});
    return true;
}

} // namespace frameworks
