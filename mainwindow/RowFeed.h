// Turns a listing that grows as it is read into the batches the item field
// appends: the rows not handed on before, as the field shows them, with the
// counts so far.
#pragma once

#include "listing/Listing.h"

#include <string>

namespace quorvel {

struct RowBatch {
    std::u16string text;        // the new rows' lines, whole
    std::size_t items = 0;      // read whole so far
    std::size_t unreadable = 0; // the list's, unreadable, so far
    bool any() const { return !text.empty() || items || unreadable; }
};

class RowFeed {
public:
    // The rows added since the last call.
    RowBatch next(const Listing& listing);

private:
    std::size_t handedOn_ = 0;
};

} // namespace quorvel
