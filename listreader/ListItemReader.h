// Reads every item of a list of any process: the list and combo boxes, list
// views, tree views, headers, tab controls, status bars and toolbars that the
// window's class names, under the system's names or a framework's, and, in
// the listing's readFrom, the window whose list stands for the one named: the
// combo box behind a combo box's Edit, the list view of its header, the
// ComboBoxEx around its combo box.
#pragma once

#include "listreader/Reading.h"

#include <optional>

namespace quorvel {

// Where a read finds lists that only accessibility tells, and which of a
// window's several it reads.
struct ReadOptions {
    AccessibleWindows* accessible = nullptr; // none: such lists are not read
    std::optional<Point> at = {};            // the one under this point of the screen
    std::optional<std::u16string> name = {}; // else the first with this accessible name
    // Which items are selected and checked, where the list tells it.
    bool states = false;
    // Else the one at this place in the walk, from 1; 0: the first.
    std::size_t number = 0;
    // Of a window that holds none of the controls above, only the names of
    // the accessible lists it tells (Listing::accessible.names), and no items.
    bool namesOnly = false;
};

// The listing of target: as the control its class names, and a window of any
// other class as a list box, then as a combo box; a window that holds none of
// those as the accessible list it tells, if any. A message the target does
// not answer in time, or a cancel, ends the read with the items read so far,
// and the listing says which.
Listing readListItems(OtherWindows& desktop, WindowHandle target, ReadControl& control,
                      const ReadOptions& options = {});

} // namespace quorvel
