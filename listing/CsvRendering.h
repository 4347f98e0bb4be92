// The listing as CSV (RFC 4180): one record per item, or per row of a report
// list view with a field per column in the order shown; a tree item's record
// is its depth, then its text. Every record ends in CR LF and none is left
// out, empty ones included; only an item whose text could not be read is,
// and a cell that could not be read is empty.
#pragma once

#include "listing/Listing.h"

#include <string>

namespace quorvel {

// headers: the column names of a report list view as the first record.
// firstRow: the records from that row on only; the column names come with row 0.
std::u16string renderCsv(const Listing& listing, bool headers = false, std::size_t firstRow = 0);

} // namespace quorvel
