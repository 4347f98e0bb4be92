// The listing as one JSON object (RFC 8259): the window's handle, class and
// kind, whether the read was complete (and if not, why it stopped and how
// many items could not be read), then the items; a report list view gives its
// column names and rows of cells in the order shown, a tree view each item's
// text and depth. No item is left out, empty ones included; a text that could
// not be read is null in its place. Where the list tells them, the selected
// and the checked items follow as indexes into the items (or rows) written.
// With a row filter, only the rows it passes are written, and "indexes" says
// where each is in the whole list.
#pragma once

#include "listing/RenderOptions.h"

#include <string>

namespace quorvel {

// One lowercase word per kind of list: "listbox", "listview", "treeview", ...
std::u16string_view kindWord(ListKind kind);

// Control characters are escaped as \uXXXX, other text is kept as it is
// (written as UTF-8 when encoded), and a lone surrogate becomes U+FFFD.
std::u16string renderJson(const Listing& listing, const RenderOptions& options = {});

// A text as a JSON string of this rendering, quotes included.
void appendJsonString(std::u16string& out, std::u16string_view text);

} // namespace quorvel
