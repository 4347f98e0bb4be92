// Turns a listing that grows as it is read into the batches the item field
// appends: the rows not handed on before, as the field shows them, paced so
// that showing them costs the read little.
#pragma once

#include "listing/Listing.h"
#include "listreader/RowBatches.h"

#include <optional>
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
    // A batch when one is due now.
    std::optional<RowBatch> grown(const Listing& listing, std::uint64_t nowMs);
    // Whatever is left, at the end of the read.
    RowBatch rest(const Listing& listing);

private:
    RowBatch batchFrom(const Listing& listing, std::size_t first) const;

    RowBatches pace_;
};

} // namespace quorvel
