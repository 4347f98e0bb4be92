// The order a list view's or a header's columns are shown in, which the user
// may have changed by dragging them.
#pragma once

#include "listreader/Reading.h"

#include <cstdint>
#include <vector>

namespace quorvel {

// The column indexes in the order shown, as window answers message
// (LVM_GETCOLUMNORDERARRAY, HDM_GETORDERARRAY: a count and an array of ints);
// index order when it can't tell or tells something that is no arrangement
// of the columns.
std::vector<std::int32_t> shownColumnOrder(Reading& reading, RemoteMemory& memory, WindowHandle window,
                                           unsigned message, std::int32_t columns);

} // namespace quorvel
