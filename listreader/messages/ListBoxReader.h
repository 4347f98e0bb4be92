// Reads a list box or a combo box of any process by its item messages.
#pragma once

#include "listreader/ControlClass.h"
#include "listreader/Reading.h"

namespace quorvel {

enum class ListBoxFound {
    items,          // the listing holds the items, if any: a list box or combo box
    bothCountsZero, // no list or combo box that holds anything; maybe another kind of list
    noStrings,      // owner-drawn, keeping numbers rather than text
};

// Adds the items of target to the listing: first as a list box, and as a
// combo box when the list box count is 0. A message the target does not
// answer in time ends the read with the items read so far. An owner-drawn
// list box or combo box that keeps no strings gives nothing: its items are
// numbers, and their bytes read as text would be noise. target's class alone
// says whether its style bits mean owner-drawn, and whether they mean that
// the user may select many (with Reading::states: a message per item then,
// else one for the current item).
ListBoxFound readListBox(Reading& reading, WindowHandle target, ClassInfo targetClass);

} // namespace quorvel
