// Reads a list box or a combo box of any process by its item messages.
#pragma once

#include "desktop/Desktop.h"
#include "listreader/ControlClass.h"

#include <string>

namespace quorvel {

struct ListBoxRead {
    // Both counts were answered with 0: the window is no list or combo box
    // that holds anything, and may be another kind of list.
    bool bothCountsZero = false;
    std::u16string listing;
};

// The non-empty items of target, each followed by CR LF: first as a list box,
// and as a combo box when the list box count is 0. A message the target does
// not answer in time ends the read with the items read so far. An owner-drawn
// list box or combo box that keeps no strings shows nothing: its items are
// numbers, and their bytes read as text would be noise. kind is the target's
// class, which alone says whether its style bits mean owner-drawn.
ListBoxRead readListBox(Desktop& desktop, WindowHandle target, ControlClass kind);

} // namespace quorvel
