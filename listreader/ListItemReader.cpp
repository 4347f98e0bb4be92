#include "listreader/ListItemReader.h"

#include "listreader/ComboBoxExReader.h"
#include "listreader/ControlClass.h"
#include "listreader/ListBoxReader.h"
#include "listreader/ListViewReader.h"
#include "listreader/TreeViewReader.h"
#include "mainwindow/HandleText.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvel {

std::optional<WindowHandle> targetHandle(double value)
{
    if (!(value > 0))
        return std::nullopt;
    // nearbyint rounds a half to the even neighbour in the default mode.
    const double rounded = std::nearbyint(value);
    if (rounded > std::numeric_limits<WindowHandle>::max())
        return std::nullopt;
    return static_cast<WindowHandle>(rounded);
}

namespace {

WindowHandle parentOfClass(Desktop& desktop, WindowHandle child, ControlClass kind)
{
    const WindowHandle parent = child ? desktop.parentWindow(child) : 0;
    return parent && classifyControl(desktop.className(parent)) == kind ? parent : 0;
}

} // namespace

std::u16string readListItems(Desktop& desktop, WindowHandle target)
{
    const ControlClass kind = classifyControl(desktop.className(target));
    if (kind == ControlClass::comboBoxEx)
        return readComboBoxEx(desktop, target);
    ListBoxRead read = readListBox(desktop, target, kind);
    if (!read.bothCountsZero)
        return std::move(read.listing);
    // Private messages only to a window whose class says what they mean.
    switch (kind) {
    case ControlClass::listView:
        return readListView(desktop, target);
    case ControlClass::treeView:
        return readTreeView(desktop, target);
    case ControlClass::header:
        // The column header of a list view stands for the list view's rows.
        if (WindowHandle listView = parentOfClass(desktop, target, ControlClass::listView))
            return readListView(desktop, listView);
        return {};
    case ControlClass::edit:
        // Pointing at an editable combo box lands on its Edit child, whose
        // combo box may itself be the inner one of a ComboBoxEx.
        if (WindowHandle combo = parentOfClass(desktop, target, ControlClass::comboBox)) {
            if (WindowHandle comboEx = parentOfClass(desktop, combo, ControlClass::comboBoxEx))
                return readComboBoxEx(desktop, comboEx);
            return readListBox(desktop, combo, ControlClass::comboBox).listing;
        }
        return {};
    default:
        return {};
    }
}

// While a message to the target waits for its answer, the thread still takes
// messages sent to it, and one that changes txtWnd starts a run inside this
// one. The newer run's items are the ones to show, so an older run that sees
// a run started after it keeps its own to itself.
static std::uint64_t runsStarted = 0;

void txtWnd_Change(Desktop& desktop, WindowHandle txtWnd, WindowHandle txtList)
{
    const double value = handleTextValue(desktop.getWindowText(txtWnd));
    if (!(value > 0))
        return;
    desktop.setWindowText(txtList, u"");
    const std::optional<WindowHandle> target = targetHandle(value);
    if (!target)
        return;
    const std::uint64_t run = ++runsStarted;
    std::u16string items = readListItems(desktop, *target);
    if (run != runsStarted)
        return;
    // One assignment at the end: rewriting the field per item costs quadratic time.
    desktop.setWindowText(txtList, items);
}

} // namespace quorvel
