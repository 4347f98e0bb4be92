// Adding rows at the end of the item field while the user reads and selects
// in it.
#pragma once

#include "desktop/OwnWindow.h"

#include <string>

namespace quorvel {

// Adds text at the end of a multi-line field without laying out what it
// holds again (a replace of an empty selection at the end lays out only what
// it adds), and puts the user's selection and first line shown back unseen.
// False when the field did not take all of it; it then holds what it held.
bool appendToField(OwnWindow& own, WindowHandle field, const std::u16string& text);

} // namespace quorvel
