// Reads every item of a list of any process: list and combo boxes, and, where
// both of their counts are 0, the list views, tree views, list view headers
// and combo box Edits that the window's class names.
#pragma once

#include "listreader/Reading.h"

namespace quorvel {

// The listing of target: first as a list box, then as a combo box, then as
// the control its class names. A message the target does not answer in time,
// or a cancel, ends the read with the items read so far, and the listing says
// which.
Listing readListItems(Desktop& desktop, WindowHandle target, ReadControl& control);

} // namespace quorvel
