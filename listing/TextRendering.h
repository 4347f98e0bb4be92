// The listing as "List Items" shows it: a line per row, cells joined by TAB,
// a tree item indented by one TAB per level, every line ending in CR LF; a
// row with no text at all adds no line, nor does one the row filter leaves out.
#pragma once

#include "listing/RenderOptions.h"

#include <string>

namespace quorvel {

// firstRow: the rows from there on only, for a listing handed on as it grows;
// the column names come with row 0.
std::u16string renderText(const Listing& listing, const RenderOptions& options = {}, std::size_t firstRow = 0);

} // namespace quorvel
