// The overview as text, CSV or JSON, its columns in this order: selector,
// kind, items, handle, class, nn, id, pid, exe, bits, title.
#pragma once

#include "finding/Overview.h"

#include <string>

namespace quorvel {

// A header line, then a line per list, fields joined by TAB, "-" for a value
// missing or empty, the title last; a TAB, CR or LF inside a value shows as a space.
std::u16string renderOverviewText(const Desk& desk, const std::vector<OverviewRow>& rows);
// RFC 4180 with a header record; a missing value is an empty field.
std::u16string renderOverviewCsv(const Desk& desk, const std::vector<OverviewRow>& rows, bool safeCsv);
// {"lists": [...]}, an object per list with the columns as keys, handle, id,
// pid, items and bits as numbers, a missing value null; a list whose items
// could not be counted says why ("unanswered": true, or "denied": true).
std::u16string renderOverviewJson(const Desk& desk, const std::vector<OverviewRow>& rows);

} // namespace quorvel
