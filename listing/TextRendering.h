// The listing as "List Items" shows it: a line per row, cells joined by TAB,
// a tree item indented by one TAB per level, every line ending in CR LF; a
// row with no text at all adds no line.
#pragma once

#include "listing/Listing.h"

#include <string>

namespace quorvel {

// headers: the column names of a report list view as the first line.
std::u16string renderText(const Listing& listing, bool headers = false);

} // namespace quorvel
