#include "mainwindow/RowFeed.h"

#include "listing/TextRendering.h"

#include <utility>

namespace quorvel {

RowBatch RowFeed::next(const Listing& listing)
{
    const std::size_t first = std::exchange(handedOn_, listing.rows());
    return {renderText(listing, {}, first), listing.rows() - listing.unreadableRows(), listing.unreadableRows()};
}

} // namespace quorvel
