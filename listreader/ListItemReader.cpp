#include "listreader/ListItemReader.h"

#include "listreader/ComboBoxExReader.h"
#include "listreader/ControlClass.h"
#include "listreader/ListBoxReader.h"
#include "listreader/ListViewReader.h"
#include "listreader/TreeViewReader.h"

namespace quorvel {

namespace {

WindowHandle parentOfClass(Desktop& desktop, WindowHandle child, ControlClass kind)
{
    const WindowHandle parent = child ? desktop.parentWindow(child) : 0;
    return parent && classifyControl(desktop.className(parent)) == kind ? parent : 0;
}

// Reads what the class names, once both list counts were 0. False: the
// window holds no list Quorvel reads.
bool readByClass(Reading& reading, WindowHandle target, ControlClass kind)
{
    Desktop& desktop = reading.desktop;
    // Private messages only to a window whose class says what they mean.
    switch (kind) {
    case ControlClass::listView:
        readListView(reading, target);
        return true;
    case ControlClass::treeView:
        readTreeView(reading, target);
        return true;
    case ControlClass::header:
        // The column header of a list view stands for the list view's rows.
        if (WindowHandle listView = parentOfClass(desktop, target, ControlClass::listView)) {
            readListView(reading, listView);
            return true;
        }
        return false;
    case ControlClass::edit:
        // Pointing at an editable combo box lands on its Edit child, whose
        // combo box may itself be the inner one of a ComboBoxEx.
        if (WindowHandle combo = parentOfClass(desktop, target, ControlClass::comboBox)) {
            if (WindowHandle comboEx = parentOfClass(desktop, combo, ControlClass::comboBoxEx)) {
                readComboBoxEx(reading, comboEx);
                return true;
            }
            const ListBoxFound found = readListBox(reading, combo, ControlClass::comboBox);
            if (found == ListBoxFound::bothCountsZero)
                reading.listing.kind = ListKind::comboBox;
            return found != ListBoxFound::noStrings;
        }
        return false;
    case ControlClass::listBox:
    case ControlClass::comboBox:
        // Counted 0 both ways: an empty list.
        reading.listing.kind = kind == ControlClass::listBox ? ListKind::listBox : ListKind::comboBox;
        return true;
    default:
        return false;
    }
}

} // namespace

Listing readListItems(Desktop& desktop, WindowHandle target, ReadControl& control)
{
    Listing listing;
    listing.handle = target;
    if (!desktop.isWindow(target)) {
        listing.end = ReadEnd::noWindow;
        return listing;
    }
    listing.className = desktop.className(target);
    Reading reading(desktop, control, listing);
    const ControlClass kind = classifyControl(listing.className);
    bool found = true;
    if (kind == ControlClass::comboBoxEx)
        readComboBoxEx(reading, target);
    else if (ListBoxFound f = readListBox(reading, target, kind); f == ListBoxFound::bothCountsZero)
        found = readByClass(reading, target, kind);
    else
        found = f == ListBoxFound::items;
    listing.end = reading.stopped() ? reading.end() : found ? ReadEnd::complete : ReadEnd::nothingToRead;
    return listing;
}

} // namespace quorvel
