// Reads a tab control of any process: each tab's text, in order.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// Adds the tabs of a window known by its class to be a tab control; with
// Reading::states, its current tab is the selected one.
void readTabControl(Reading& reading, WindowHandle tabs);

} // namespace quorvel
