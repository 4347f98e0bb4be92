// Reads a header control of any process that stands on its own, not as a
// list view's: each column's text, in the order the columns are shown.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// Adds the columns of a window known by its class to be a header.
void readHeader(Reading& reading, WindowHandle header);

} // namespace quorvel
