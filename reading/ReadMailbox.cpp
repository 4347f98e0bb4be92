#include "reading/ReadMailbox.h"

#include <utility>

namespace quorvel {

void ReadMailbox::put(const RowBatch& batch)
{
    std::lock_guard lock(mutex_);
    pending_.text += batch.text;
    pending_.items = batch.items;
    pending_.unreadable = batch.unreadable;
}

void ReadMailbox::finish(const RowBatch& last, Listing listing)
{
    put(last);
    std::lock_guard lock(mutex_);
    listing_ = std::move(listing);
}

bool ReadMailbox::claimWake()
{
    std::lock_guard lock(mutex_);
    return !std::exchange(woken_, true);
}

void ReadMailbox::wakeFailed()
{
    std::lock_guard lock(mutex_);
    woken_ = false;
}

ReadMailbox::Taken ReadMailbox::take()
{
    std::lock_guard lock(mutex_);
    woken_ = false;
    Taken taken{std::exchange(pending_, RowBatch{}), std::nullopt};
    if (listing_)
        taken.listing = std::exchange(listing_, std::nullopt);
    return taken;
}

} // namespace quorvel
