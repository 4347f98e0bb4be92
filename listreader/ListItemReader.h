// Reads every item of a list of any process: list and combo boxes, and, where
// both of their counts are 0, the list views, tree views, list view headers
// and combo box Edits that the window's class names.
#pragma once

#include "desktop/Desktop.h"

#include <optional>
#include <string>

namespace quorvel {

// The target handle named by a handle text value: rounded half to even, and
// nothing for a value that is not positive or that no 32-bit handle holds.
std::optional<WindowHandle> targetHandle(double handleTextValue);

// The listing of target, every line ending in CR LF: first as a list box,
// then as a combo box, then as the control its class names. A message the
// target does not answer in time ends the read with the lines read so far.
std::u16string readListItems(Desktop& desktop, WindowHandle target);

// The change handler of the handle field: reads the list it names into the
// item field, which keeps its text when the value is not positive.
void txtWnd_Change(Desktop& desktop, WindowHandle txtWnd, WindowHandle txtList);

} // namespace quorvel
