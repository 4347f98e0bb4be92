// Reads a ComboBoxEx of any process. Its items live in the ComboBoxEx itself;
// the combo box inside it is owner-drawn and keeps no strings.
#pragma once

#include "desktop/Desktop.h"

#include <string>

namespace quorvel {

// The non-empty item texts of a window known by its class to be a
// ComboBoxEx, each followed by CR LF.
std::u16string readComboBoxEx(Desktop& desktop, WindowHandle comboBoxEx);

} // namespace quorvel
