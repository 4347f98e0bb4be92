// Reads a status bar of any process: each part's text, in order, or in
// simple mode its one text.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// Adds the parts of a window known by its class to be a status bar. A part
// its owner draws keeps a number of the owner's, not text, and adds nothing.
void readStatusBar(Reading& reading, WindowHandle bar);

} // namespace quorvel
