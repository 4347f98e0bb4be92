#include "mainwindow/ReadMailbox.h"

#include <utility>

namespace quorvel {

bool ReadMailbox::wakeNeeded()
{
    return !std::exchange(woken_, true);
}

bool ReadMailbox::put(const RowBatch& batch)
{
    std::lock_guard lock(mutex_);
    pending_.text += batch.text;
    pending_.items = batch.items;
    pending_.unreadable = batch.unreadable;
    return wakeNeeded();
}

bool ReadMailbox::finish(const RowBatch& last, Listing listing)
{
    std::lock_guard lock(mutex_);
    pending_.text += last.text;
    pending_.items = last.items;
    pending_.unreadable = last.unreadable;
    listing_ = std::move(listing);
    return wakeNeeded();
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
