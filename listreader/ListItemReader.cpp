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

// The parent of child when its class names the kind, and what the class
// says; the listing then names it as the window whose list is read.
std::pair<WindowHandle, ClassInfo> readThrough(Reading& reading, WindowHandle child, ControlClass kind)
{
    OtherWindows& desktop = reading.desktop;
    const WindowHandle parent = child ? desktop.parentWindow(child) : 0;
    std::u16string name = parent ? desktop.className(parent) : std::u16string();
    const ClassInfo info = classInfo(name);
    if (!parent || info.kind != kind)
        return {0, {}};
    reading.listing.readFrom = {parent, std::move(name)};
    return {parent, info};
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
    if (auto [listView, listViewClass] = readThrough(reading, header, ControlClass::listView); listView)
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

// The combo box inside a ComboBoxEx, where the pointer lands on its arrow,
// is owner-drawn and keeps no strings: the ComboBoxEx holds its items.
bool readComboBoxOrItsComboBoxEx(Reading& reading, WindowHandle combo, ClassInfo comboClass)
{
    if (WindowHandle comboEx = readThrough(reading, combo, ControlClass::comboBoxEx).first) {
        readComboBoxEx(reading, comboEx);
        return true;
    }
    return readListOrComboBox(reading, combo, comboClass);
}

// Pointing at an editable combo box lands on its Edit child, whose combo box
// may itself be the inner one of a ComboBoxEx. An Edit elsewhere holds no list.
bool readComboBoxOfEdit(Reading& reading, WindowHandle edit, ClassInfo)
{
    const auto [combo, comboClass] = readThrough(reading, edit, ControlClass::comboBox);
    return combo && readComboBoxOrItsComboBoxEx(reading, combo, comboClass);
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
    {ControlClass::listBox, readListOrComboBox},           {ControlClass::comboBox, readComboBoxOrItsComboBoxEx},
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
        if (!found)
            listing.readFrom = {}; // nothing read through another window
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
