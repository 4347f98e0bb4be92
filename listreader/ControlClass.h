// Which standard control a window of any process is, told by its class name.
#pragma once

#include <string>

namespace quorvel {

enum class ControlClass {
    unknown,
    listBox,
    comboBox,
    comboBoxEx,
    edit,
    listView,
    treeView,
    header,
    tabControl,
    statusBar,
    toolbar,
};

struct ClassInfo {
    ControlClass kind = ControlClass::unknown;
    // Whether the window's style bits mean what they mean for the system's
    // own control: true for superclasses, whose window procedure underneath
    // is the system's; false for a framework's own copy of the control.
    bool systemStyles = false;
};

// The control a class name names, from one table: the system's class names,
// the names frameworks register for their superclasses of them, and either
// inside a framework's decoration ("WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1",
// "ATL:SysListView32", "TTntListView.UnicodeClass", "Afx:ToolBar:400000:8:10003:10").
// Compared without regard to case, whole names only. Anything else is
// unknown: a custom control may give any private message any meaning.
ClassInfo classInfo(const std::u16string& className);

// Whether a list view's or tree view's own state images, in a top-level
// window of this class, are check boxes by Windows' convention: true but for
// the known exceptions (ClassTable.h), compared as class names are.
bool stateImagesAreCheckBoxes(const std::u16string& topLevelClass);

inline ControlClass classifyControl(const std::u16string& className)
{
    return classInfo(className).kind;
}

} // namespace quorvel
