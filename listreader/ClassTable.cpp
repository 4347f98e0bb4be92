#include "listreader/ClassTable.h"

#include <array>

namespace quorvel {

namespace {

using enum ControlClass;

constexpr std::array rows{
    // The system's own classes, as Microsoft's Win32 documentation names
    // them (WC_LISTBOX, WC_COMBOBOX, WC_COMBOBOXEX, WC_EDIT, WC_LISTVIEW,
    // WC_TREEVIEW, WC_HEADER, WC_TABCONTROL, STATUSCLASSNAME,
    // TOOLBARCLASSNAME); ComboLBox is the drop-down list of a combo box.
    ClassRow{u"ListBox", listBox, true},
    ClassRow{u"ComboLBox", listBox, true},
    ClassRow{u"ComboBox", comboBox, true},
    ClassRow{u"ComboBoxEx32", comboBoxEx, true},
    ClassRow{u"Edit", edit, true},
    ClassRow{u"SysListView32", listView, true},
    ClassRow{u"SysTreeView32", treeView, true},
    ClassRow{u"SysHeader32", header, true},
    ClassRow{u"SysTabControl32", tabControl, true},
    ClassRow{u"msctls_statusbar32", statusBar, true},
    ClassRow{u"ToolbarWindow32", toolbar, true},

    // Delphi and C++Builder (VCL): a component that wraps a system control
    // registers a superclass of it under its own class name, the system's
    // window procedure underneath (Embarcadero's VCL documentation; names
    // as pywinauto's control wrappers list them, TTreeView, TSysListView
    // and TStatusBar, and NVDA's application modules, TListView, TComboBox
    // and TStatusBar). TPageControl is a tab control whose tabs are its pages.
    ClassRow{u"TListBox", listBox, true},
    ClassRow{u"TCheckListBox", listBox, true},
    ClassRow{u"TComboBox", comboBox, true},
    ClassRow{u"TListView", listView, true},
    ClassRow{u"TSysListView", listView, true},
    ClassRow{u"TTreeView", treeView, true},
    ClassRow{u"THeaderControl", header, true},
    ClassRow{u"TPageControl", tabControl, true},
    ClassRow{u"TTabControl", tabControl, true},
    ClassRow{u"TStatusBar", statusBar, true},
    ClassRow{u"TToolBar", toolbar, true},

    // The TNT Unicode controls for Delphi, each registered as
    // "<Delphi class>.UnicodeClass" (NVDA's window class map and application
    // modules name TTntEdit, TTntListView and TTntComboBox so).
    ClassRow{u"TTntListBox", listBox, true},
    ClassRow{u"TTntCheckListBox", listBox, true},
    ClassRow{u"TTntComboBox", comboBox, true},
    ClassRow{u"TTntListView", listView, true},
    ClassRow{u"TTntTreeView", treeView, true},
    ClassRow{u"TTntPageControl", tabControl, true},
    ClassRow{u"TTntTabControl", tabControl, true},
    ClassRow{u"TTntStatusBar", statusBar, true},

    // Visual Basic: the runtime's superclasses of the list and combo box
    // (6, 5, and the design-time names of the IDE).
    ClassRow{u"ThunderRT6ListBox", listBox, true},
    ClassRow{u"ThunderRT6ComboBox", comboBox, true},
    ClassRow{u"ThunderRT5ListBox", listBox, true},
    ClassRow{u"ThunderRT5ComboBox", comboBox, true},
    ClassRow{u"ThunderListBox", listBox, true},
    ClassRow{u"ThunderComboBox", comboBox, true},

    // Visual Basic's common controls: the OCX carries its own copies of the
    // controls, which answer the system's messages but keep their own style
    // bits. Version 6 (MSCOMCTL.OCX) names them "...20WndClass", version 5
    // (COMCTL32.OCX) "...WndClass"; a list view's header is msvb_lib_header
    // (pywinauto's header wrapper). The Toolbar control's own window only
    // hosts its msvb_lib_toolbar child, the window the pointer lands on, so
    // only the child is a toolbar here (VB6 code finds it with FindWindowEx).
    ClassRow{u"ListView20WndClass", listView, false},
    ClassRow{u"TreeView20WndClass", treeView, false},
    ClassRow{u"TabStrip20WndClass", tabControl, false},
    ClassRow{u"StatusBar20WndClass", statusBar, false},
    ClassRow{u"ListViewWndClass", listView, false},
    ClassRow{u"TreeViewWndClass", treeView, false},
    ClassRow{u"TabStripWndClass", tabControl, false},
    ClassRow{u"StatusBarWndClass", statusBar, false},
    ClassRow{u"msvb_lib_header", header, false},
    ClassRow{u"msvb_lib_toolbar", toolbar, false},

    // MFC: CMFCToolBar (and the menu bar built on it) registers
    // "Afx:ToolBar:<instance>:<style>:<cursor>:<brush>" and answers
    // TB_BUTTONCOUNT, TB_GETBUTTON and TB_GETBUTTONTEXT itself, though it is
    // no toolbar underneath (MFC's afxtoolbar.cpp).
    ClassRow{u"Afx:ToolBar", toolbar, false},
};

constexpr std::array<std::u16string_view, 2> exceptions{
    // The Windows Installer's dialogs (msiexec with full UI), under the
    // classes msi.dll registers for them, by which installer scripts find
    // them with FindWindow; Wine's dlls/msi/dialog.c registers the same two.
    // Their SelectionTree control's state image is a feature's install
    // state (msi.h: INSTALLSTATE_ADVERTISED 1, INSTALLSTATE_ABSENT 2, drawn
    // as an X, INSTALLSTATE_LOCAL 3): 2 is a feature left out (Wine's
    // msi_seltree_sync_item_state).
    u"MsiDialogCloseClass",
    u"MsiDialogNoCloseClass",
};

} // namespace

std::span<const ClassRow> classTable()
{
    return rows;
}

std::span<const std::u16string_view> stateImageExceptions()
{
    return exceptions;
}

} // namespace quorvel
