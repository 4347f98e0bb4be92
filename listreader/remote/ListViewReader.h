// Reads a list view of any process: in report view one line per row, its
// cells joined by TAB in the order the columns are shown; in any other view
// the item labels alone.
#pragma once

#include "listreader/ControlClass.h"
#include "listreader/Reading.h"

namespace quorvel {

// Adds the rows of a window known by its class to be a list view; a cell
// whose text can't be had whole is unreadable, its row still shown. With
// Reading::states, each row's selection and check state too, a message each.
void readListView(Reading& reading, WindowHandle listView, ClassInfo listViewClass);

} // namespace quorvel
