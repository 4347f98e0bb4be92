#include "mainwindow/RowFeed.h"

#include "listing/TextRendering.h"

namespace quorvel {

RowBatch RowFeed::batchFrom(const Listing& listing, std::size_t first) const
{
    return {renderText(listing, {}, first), listing.rows() - listing.unreadableRows(), listing.unreadableRows()};
}

std::optional<RowBatch> RowFeed::grown(const Listing& listing, std::uint64_t nowMs)
{
    if (std::optional<std::size_t> first = pace_.due(listing.rows(), nowMs))
        return batchFrom(listing, *first);
    return std::nullopt;
}

RowBatch RowFeed::rest(const Listing& listing)
{
    return batchFrom(listing, pace_.due(listing.rows(), 0, true).value_or(listing.rows()));
}

} // namespace quorvel
