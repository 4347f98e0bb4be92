// Reads a list view of any process: in report view one line per row, its
// cells joined by TAB in the order the columns are shown; in any other view
// the item labels alone.
#pragma once

#include "desktop/Desktop.h"

#include <string>

namespace quorvel {

// The listing of a window known by its class to be a list view; every line
// ends with CR LF, and a row whose cells are all empty adds none.
std::u16string readListView(Desktop& desktop, WindowHandle listView);

} // namespace quorvel
