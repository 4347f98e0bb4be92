// The listing as CSV (RFC 4180): one record per item, or per row of a report
// list view with a field per column in the order shown; a tree item's record
// is its depth, then its text. Every record ends in CR LF and none is left
// out, empty ones included; only an item whose text could not be read is,
// and a cell that could not be read is empty. A row filter leaves out the
// rows it does not pass.
#pragma once

#include "listing/RenderOptions.h"

#include <string>

namespace quorvel {

// firstRow: the records from that row on only; the column names come with row 0.
// With safeCsv, a field that begins with =, +, -, @, TAB or CR, which a
// spreadsheet would run as a formula, gets a leading apostrophe, which
// spreadsheets take for "this is text" and hide, and is quoted.
std::u16string renderCsv(const Listing& listing, const RenderOptions& options = {}, std::size_t firstRow = 0);

// One field as a record of this rendering writes it: quoted where it must be,
// and with safeCsv marked where a spreadsheet would run it.
void appendCsvField(std::u16string& out, std::u16string_view field, bool safeCsv);

} // namespace quorvel
