// Reads a toolbar of any process: each button's text, in order. Separators
// and buttons without text add nothing.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// Adds the buttons of a window known by its class to be a toolbar. A
// button's text is asked for by its command, which is what MFC's toolbars
// answer too; of buttons that share a command, each shows the first's text.
void readToolbar(Reading& reading, WindowHandle toolbar);

} // namespace quorvel
