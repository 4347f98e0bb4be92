// How the readers ask for their items' states, where a list has them and the
// read wants them (Reading::states). Every question is one message answered
// in its answer alone, so no memory in the target is needed.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// The current item of a list that has one at most (a list box that selects
// one, a combo box, a tab control), asked once before the items so that each
// is marked as it comes.
void readCurrentItem(Reading& reading, WindowHandle list, unsigned message);

// The selected and checked states and the state images of a list view's or
// tree view's items, one message per item. Check state is told where the
// view's style shows the system's check boxes, or where it has a state image
// list of its own, whose images are told by Windows' convention for check
// boxes (1 unchecked, 2 checked, 3 partly checked, any other neither), but
// for the known exceptions, named by the view's top-level window's class.
class ViewStates {
public:
    // stateMessage asks for an item's state bits, imageListMessage for the
    // view's state image list; checkBoxStyle: whether the view's style says
    // it shows check boxes (never for a framework's own copy of the control,
    // whose style bits may mean anything).
    ViewStates(Reading& reading, WindowHandle view, unsigned stateMessage, unsigned imageListMessage,
               bool checkBoxStyle);

    // Marks row with the states of item (its index, or its handle in a tree);
    // false when the view did not answer.
    bool read(std::uintptr_t item, std::size_t row);

private:
    // The window at the root of view's parents.
    WindowHandle topLevel(WindowHandle window);

    Reading& reading_;
    WindowHandle view_;
    unsigned message_;
    bool images_ = false, checks_ = false;
};

} // namespace quorvel
