#include "listreader/ListItemReader.h"

#include "listreader/ControlClass.h"
#include "listreader/accessible/AccessibleListReader.h"
#include "listreader/messages/HeaderReader.h"
#include "listreader/messages/ListBoxReader.h"
#include "listreader/messages/StatusBarReader.h"
#include "listreader/messages/TabControlReader.h"
#include "listreader/messages/ToolbarReader.h"
#include "listreader/remote/ComboBoxExReader.h"
#include "listreader/remote/ListViewReader.h"
#include "listreader/remote/TreeViewReader.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace quorvel {

namespace {

// Reads what target's class names; false when it holds no list Quorvel reads.
using Reader = bool (*)(Reading& reading, WindowHandle target, ClassInfo targetClass);

// The parent of child when its class names the kind, and what the class says.
std::pair<WindowHandle, ClassInfo> parentOfClass(OtherWindows& desktop, WindowHandle child, ControlClass kind)
{
    const WindowHandle parent = child ? desktop.parentWindow(child) : 0;
    const ClassInfo info = parent ? classInfo(desktop.className(parent)) : ClassInfo{};
    return info.kind == kind ? std::pair{parent, info} : std::pair{WindowHandle{0}, ClassInfo{}};
}

// Counted 0 both ways, a list box or combo box is an empty list.
bool readListOrComboBox(Reading& reading, WindowHandle target, ClassInfo targetClass)
{
    const ListBoxFound found = readListBox(reading, target, targetClass);
    if (found == ListBoxFound::bothCountsZero) {
        reading.listing.kind = targetClass.kind == ControlClass::comboBox ? ListKind::comboBox : ListKind::listBox;
        if (reading.states)
            reading.listing.tell(ItemState::selected); // none, in an empty list
    }
    return found != ListBoxFound::noStrings;
}

// The column header of a list view stands for the list view's rows.
bool readHeaderOrItsListView(Reading& reading, WindowHandle header, ClassInfo)
{
    if (auto [listView, listViewClass] = parentOfClass(reading.desktop, header, ControlClass::listView); listView)
        readListView(reading, listView, listViewClass);
    else
        readHeader(reading, header);
    return true;
}

// A reader that needs to know whether the class's style bits are the system's.
template <void (*read)(Reading&, WindowHandle, ClassInfo)>
bool readClassed(Reading& reading, WindowHandle target, ClassInfo targetClass)
{
    read(reading, target, targetClass);
    return true;
}

// Pointing at an editable combo box lands on its Edit child, whose combo box
// may itself be the inner one of a ComboBoxEx. An Edit elsewhere holds no list.
bool readComboBoxOfEdit(Reading& reading, WindowHandle edit, ClassInfo)
{
    OtherWindows& desktop = reading.desktop;
    const auto [combo, comboClass] = parentOfClass(desktop, edit, ControlClass::comboBox);
    if (!combo)
        return false;
    if (WindowHandle comboEx = parentOfClass(desktop, combo, ControlClass::comboBoxEx).first) {
        readComboBoxEx(reading, comboEx);
        return true;
    }
    return readListOrComboBox(reading, combo, comboClass);
}

template <void (*read)(Reading&, WindowHandle)> bool readWhole(Reading& reading, WindowHandle target, ClassInfo)
{
    read(reading, target);
    return true;
}

// Private messages go only to a window whose class says what they mean.
struct KindReader {
    ControlClass kind;
    Reader read;
};
constexpr KindReader readers[] = {
    {ControlClass::listBox, readListOrComboBox},           {ControlClass::comboBox, readListOrComboBox},
    {ControlClass::comboBoxEx, readWhole<readComboBoxEx>}, {ControlClass::edit, readComboBoxOfEdit},
    {ControlClass::listView, readClassed<readListView>},   {ControlClass::treeView, readClassed<readTreeView>},
    {ControlClass::header, readHeaderOrItsListView},       {ControlClass::tabControl, readWhole<readTabControl>},
    {ControlClass::statusBar, readWhole<readStatusBar>},   {ControlClass::toolbar, readWhole<readToolbar>},
};

// Any other class gets the list box and combo box counts alone, which every
// window answers (0 unless it is one), and a list only if one is not 0.
bool probeListOrComboBox(Reading& reading, WindowHandle target, ClassInfo targetClass)
{
    return readListBox(reading, target, targetClass) == ListBoxFound::items;
}

Reader readerFor(ControlClass kind)
{
    for (const KindReader& r : readers) {
        if (r.kind == kind)
            return r.read;
    }
    return probeListOrComboBox;
}

} // namespace

Listing readListItems(OtherWindows& desktop, WindowHandle target, ReadControl& control, const ReadOptions& options)
{
    Listing listing;
    listing.handle = target;
    if (!desktop.isWindow(target)) {
        listing.end = ReadEnd::noWindow;
        return listing;
    }
    listing.className = desktop.className(target);
    Reading reading(desktop, control, listing);
    reading.states = options.states;
    const ClassInfo targetClass = classInfo(listing.className);
    bool found = true;
    try {
        found = !options.namesOnly && readerFor(targetClass.kind)(reading, target, targetClass);
        if (!found && !reading.stopped() && options.accessible)
            found = readAccessibleList(reading, target, *options.accessible, options.at, options.name, options.number,
                                       options.namesOnly);
    } catch (const std::bad_alloc&) {
        // A list too large to hold ends the read; what it held so far stays.
        reading.stop(ReadEnd::outOfMemory);
    } catch (const std::length_error&) {
        reading.stop(ReadEnd::outOfMemory);
    }
    listing.end = reading.stopped() ? reading.end() : found ? ReadEnd::complete : ReadEnd::nothingToRead;
    return listing;
}

} // namespace quorvel
