// Reads a ComboBoxEx of any process. Its items live in the ComboBoxEx itself;
// the combo box inside it is owner-drawn and keeps no strings.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// Adds the items of a window known by its class to be a ComboBoxEx; with
// Reading::states, its current item is the selected one.
void readComboBoxEx(Reading& reading, WindowHandle comboBoxEx);

} // namespace quorvel
