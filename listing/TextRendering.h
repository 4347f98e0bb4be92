// The listing as "List Items" shows it: a line per row, cells joined by TAB,
// a tree item indented by one TAB per level, every line ending in CR LF; a
// row with no text at all adds no line.
#pragma once

#include "listing/Listing.h"

#include <string>

namespace quorvel {

// headers: the column names of a report list view as the first line.
// firstRow: the rows from there on only, for a listing handed on as it grows;
// the column names come with row 0.
std::u16string renderText(const Listing& listing, bool headers = false, std::size_t firstRow = 0);

} // namespace quorvel
