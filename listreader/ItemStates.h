// How the readers ask for their items' states, where a list has them and the
// read wants them (Reading::states). Every question is one message answered
// in its answer alone, so no memory in the target is needed.
#pragma once

#include "listreader/Reading.h"

#include <optional>

namespace quorvel {

// The current item of a list that has one at most (a list box that selects
// one, a combo box, a tab control), asked once before the items so that each
// is marked as it comes.
void readCurrentItem(Reading& reading, WindowHandle list, unsigned message);

// The selected and checked states of a list view's or tree view's items,
// one message per item.
class ViewStates {
public:
    // checkBoxes: whether the view shows check boxes, as its style says; none
    // for a framework's own copy of the control, whose style bits may mean
    // anything: its check boxes show by an item's state image being set.
    ViewStates(Reading& reading, WindowHandle view, unsigned message, std::optional<bool> checkBoxes);

    // Marks row with the states of item (its index, or its handle in a tree);
    // false when the view did not answer.
    bool read(std::uintptr_t item, std::size_t row);

private:
    Reading& reading_;
    WindowHandle view_;
    unsigned message_;
    bool checkBoxesKnown_;
};

} // namespace quorvel
