// How a listing is written: which of its rows, and what comes with them.
#pragma once

#include "listing/Listing.h"

namespace quorvel {

// Only the rows in every state asked for; with none asked, every row.
struct RowFilter {
    bool selected = false;
    bool checked = false;

    bool any() const { return selected || checked; }
    bool passes(const Listing& listing, std::size_t row) const
    {
        return (!selected || listing.in(ItemState::selected, row)) && (!checked || listing.in(ItemState::checked, row));
    }
    // Whether the listing tells every state asked for; where it can't, no
    // row passes for want of an answer, not for want of such rows.
    bool toldBy(const Listing& listing) const
    {
        return (!selected || listing.tells(ItemState::selected)) && (!checked || listing.tells(ItemState::checked));
    }
};

struct RenderOptions {
    // A report list view's column names first (text and CSV).
    bool headers = false;
    RowFilter only = {};
    // CSV: a field a spreadsheet would take for a formula is marked as text.
    bool safeCsv = false;
};

} // namespace quorvel
