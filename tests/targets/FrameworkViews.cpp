#include "FrameworkViews.h"

#include <commctrl.h>

// Structures are made with the fields they need named, the rest zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <string>
#include <vector>

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

template <typename T> void Send(HWND w, UINT message, WPARAM wParam, T* lParam)
{
    SendMessageW(w, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

// Selects the items whose bit is set in selected and checks those in checked (in a list view and a tree view
// with check boxes); Fill's tree is the first item, its child and the third item. With items partly checked it
// draws check boxes as installers do: own state images, no check box style, a list view's column 1 of width 0.
void Mark(HWND w, Kind kind, unsigned selected, unsigned checked, unsigned partly)
{
    const HTREEITEM root = TreeView_GetRoot(w),
                    nodes[] = {root, TreeView_GetChild(w, root), TreeView_GetNextSibling(w, root)};
    if (!partly)
        ListView_SetExtendedListViewStyle(w, LVS_EX_CHECKBOXES);
    else if (kind == Kind::tree)
        TreeView_SetImageList(w, ImageList_Create(16, 16, ILC_COLOR, 4, 0), TVSIL_STATE);
    if (partly && kind == Kind::listView) {
        ListView_SetImageList(w, ImageList_Create(16, 16, ILC_COLOR, 4, 0), LVSIL_STATE);
        ListView_SetColumnWidth(w, 1, 0);
    }
    for (unsigned i = 0; i < 4; ++i) {
        const UINT image = partly >> i & 1 ? 3 : checked >> i & 1 ? 2 : 1;
        const UINT state = (selected >> i & 1 ? LVIS_SELECTED : 0) | INDEXTOSTATEIMAGEMASK(image);
        if (kind == Kind::listBox)
            SendMessageW(w, LB_SETSEL, selected >> i & 1, i);
        if (kind == Kind::listView)
            ListView_SetItemState(w, i, state, LVIS_SELECTED | LVIS_STATEIMAGEMASK);
        if (kind == Kind::tree && i < 3)
            TreeView_SetItemState(w, nodes[i], state, TVIS_SELECTED | TVIS_STATEIMAGEMASK);
    }
}

} // namespace

void Fill(HWND w, Kind kind, const std::vector<const wchar_t*>& texts)
{
    std::vector<int> edges;
    for (std::size_t i = 1; i <= texts.size(); ++i)
        edges.push_back(i < texts.size() ? static_cast<int>(80 * i) : -1);
    if (kind == Kind::parts)
        Send(w, SB_SETPARTS, edges.size(), edges.data());
    if (kind == Kind::toolbar)
        SendMessageW(w, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    int columns = 0;
    for (const wchar_t* title : {L"Name", L"Size"}) {
        LVCOLUMNW column{.mask = LVCF_TEXT | LVCF_WIDTH, .cx = 70, .pszText = const_cast<LPWSTR>(title)};
        if (kind == Kind::listView)
            Send(w, LVM_INSERTCOLUMNW, columns++, &column);
    }
    for (WPARAM i = 0; i < texts.size(); ++i) {
        auto* text = const_cast<LPWSTR>(texts[i]);
        const std::wstring number = std::to_wstring(i + 1);
        LVITEMW row{.mask = LVIF_TEXT, .iItem = static_cast<int>(i), .pszText = text};
        TVINSERTSTRUCTW node{.hParent = i == 1 ? TreeView_GetRoot(w) : TVI_ROOT, .hInsertAfter = TVI_LAST};
        node.item.mask = TVIF_TEXT;
        node.item.pszText = text;
        TCITEMW tab{.mask = TCIF_TEXT, .pszText = text};
        HDITEMW headerItem{.mask = HDI_TEXT | HDI_WIDTH, .cxy = 70, .pszText = text};
        TBBUTTON button{.iBitmap = I_IMAGENONE,
                        .idCommand = static_cast<int>(101 + i),
                        .fsState = TBSTATE_ENABLED,
                        .fsStyle = static_cast<BYTE>(text ? BTNS_BUTTON | BTNS_SHOWTEXT : BTNS_SEP),
                        .iString = text && *text ? reinterpret_cast<INT_PTR>(text) : -1};
        const auto k = static_cast<int>(kind);
        const UINT messages[] = {LB_ADDSTRING,    CB_ADDSTRING,    LVM_INSERTITEMW, TVM_INSERTITEMW,
                                 TCM_INSERTITEMW, HDM_INSERTITEMW, TB_ADDBUTTONSW,  SB_SETTEXTW};
        const WPARAM wParams[] = {0, 0, 0, 0, i, i, 1, i};
        const void* items[] = {text, text, &row, &node, &tab, &headerItem, &button, text};
        Send(w, messages[k], wParams[k], items[k]);
        row.iSubItem = 1;
        row.pszText = const_cast<LPWSTR>(number.c_str());
        if (kind == Kind::listView)
            Send(w, LVM_SETITEMTEXTW, i, &row);
    }
    const int order[] = {2, 0, 1};
    if (kind == Kind::header)
        Send(w, HDM_SETORDERARRAY, 3, order);
}

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
    const DWORD bar = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    const wchar_t* const zurich = L"Z\u00FCrich";
    // The texts are kept apart from the tests' own copy so a slip on either side shows up.
    const struct {
        const char* name;
        const wchar_t* cls;
        DWORD style;
        Kind kind;
        std::vector<const wchar_t*> texts;
        unsigned selected = 0, checked = 0, partly = 0; // a bit per item
    } controls[] = {
        {"fw_listview", L"TListView", LVS_REPORT, Kind::listView, {L"Delphi", zurich}},
        {"fw_tree", L"TTreeView", TVS_HASLINES, Kind::tree, {L"Root", L"Child", L"Second"}},
        {"fw_listbox", L"ThunderRT6ListBox", LBS_HASSTRINGS, Kind::listBox, {L"vb one", L"", L"vb Z\u00FCrich"}},
        {"fw_combo", L"TComboBox", CBS_DROPDOWNLIST | CBS_HASSTRINGS, Kind::comboBox, {L"delphi", L"\u65E5\u672C"}},
        {"fw_pages", L"TPageControl", 0, Kind::tabs, {L"General", zurich, L"\u65E5\u672C\u8A9E"}},
        {"fw_statusbar", L"TStatusBar", bar, Kind::parts, {L"Ready", zurich}},
        {"tabs", WC_TABCONTROLW, 0, Kind::tabs, {L"First", L"", L"Third"}},
        {"statusbar", STATUSCLASSNAMEW, bar, Kind::parts, {L"Status", L"Gen\u00E8ve", L""}},
        {"lone_header", WC_HEADERW, HDS_HORZ, Kind::header, {L"Name", L"Size", L"Date"}},
        {"toolbar", TOOLBARCLASSNAMEW, TBSTYLE_LIST | bar, Kind::toolbar, {L"Open", nullptr, L"Save", L"", zurich}},
        {"multi_listbox",
         L"LISTBOX",
         LBS_HASSTRINGS | LBS_EXTENDEDSEL,
         Kind::listBox,
         {L"north", L"east", L"south", L"west"},
         0b1010},
        {"check_listview", WC_LISTVIEWW, LVS_REPORT, Kind::listView, {L"Alpha", L"Beta", L"Gamma"}, 0b110, 0b101},
        {"check_tree", WC_TREEVIEWW, TVS_CHECKBOXES, Kind::tree, {L"Root", L"Child", L"Second"}, 0b100, 0b010},
        {"own_checks_listview", WC_LISTVIEWW, LVS_REPORT, Kind::listView, {L"Core", L"Extras", L"Docs"}, 1, 2, 4},
        {"own_checks_tree", WC_TREEVIEWW, 0, Kind::tree, {L"Core", L"Extras", L"Docs"}, 1, 2, 4},
    };
    int slot = 0;
    for (const auto& c : controls) {
        const int x = 5 + slot % 4 * 126, y = 5 + slot / 4 * 62, id = 100 + slot++;
        HWND w = frame ? CreateWindowExW(WS_EX_CLIENTEDGE, c.cls, L"", WS_CHILD | WS_VISIBLE | c.style, x, y, 120, 57,
                                         frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr)
                       : nullptr;
        if (!w)
            return false;
        Fill(w, c.kind, c.texts);
        handles.push_back({c.name, w});
    }
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    // Wine's tree view sets every check box to unchecked when it is first drawn: marked only after that.
    for (int i = 0; i < slot; ++i) {
        if (controls[i].selected | controls[i].checked)
            Mark(GetDlgItem(frame, 100 + i), controls[i].kind, controls[i].selected, controls[i].checked,
                 controls[i].partly);
    }
    return true;
}

} // namespace frameworks
