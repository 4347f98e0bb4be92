// Reads every item of a list box or combo box of any process.
#pragma once

#include "desktop/Desktop.h"

#include <optional>
#include <string>

namespace quorvel {

// The target handle named by a handle text value: rounded half to even, and
// nothing for a value that is not positive or that no 32-bit handle holds.
std::optional<WindowHandle> targetHandle(double handleTextValue);

// The non-empty items of target, each followed by CR LF: first as a list box,
// and as a combo box when the list box count is 0. A message the target does
// not answer in time ends the read with the items read so far.
std::u16string readListItems(Desktop& desktop, WindowHandle target);

// The change handler of the handle field: reads the list it names into the
// item field, which keeps its text when the value is not positive.
void txtWnd_Change(Desktop& desktop, WindowHandle txtWnd, WindowHandle txtList);

} // namespace quorvel
