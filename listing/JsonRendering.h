// The listing as one JSON object (RFC 8259): the window's handle, class and
// kind, whether the read was complete (and if not, why it stopped), then the
// items; a report list view gives its column names and rows of cells in the
// order shown, a tree view each item's text and depth. No item is left out,
// empty ones included.
#pragma once

#include "listing/Listing.h"

#include <string>

namespace quorvel {

// One lowercase word per kind of list: "listbox", "listview", "treeview", ...
std::u16string_view kindWord(ListKind kind);

// Why a read that is not complete stopped, in a few words.
std::u16string_view stopReason(ReadEnd end);

// Control characters are escaped as \uXXXX, other text is kept as it is
// (written as UTF-8 when encoded), and a lone surrogate becomes U+FFFD.
std::u16string renderJson(const Listing& listing);

} // namespace quorvel
