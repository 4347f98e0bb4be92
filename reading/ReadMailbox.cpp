#include "reading/ReadMailbox.h"

#include <chrono>
#include <new>
#include <stdexcept>
#include <utility>

namespace quorvel {

void ReadMailbox::hand(Listing& listing, bool last)
{
    // Rendered before anything changes hands: out of memory here leaves
    // every row where it was.
    std::optional<std::u16string> text = std::u16string();
    if (handing_.render && (listing.rows() > listing.firstHeld() || (last && !rendered_)))
        text = handing_.render(listing, listing.firstHeld());
    if (!text)
        return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.size() < handing_.waitingLimit || givenUp_ || cancelled(); });
    if (!givenUp_) {
        waiting_.reserve(waiting_.size() + text->size());
        handed_.append(listing, handing_.keepRows);
        waiting_ += *text; // room made above: this cannot fail now
        rendered_ = rendered_ || !text->empty();
        if (waiting_.size() >= handing_.waitingLimit) {
            news_ = true;
            changed_.notify_all();
        }
    }
    listing.forgetRows();
}

void ReadMailbox::cancel()
{
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

void ReadMailbox::wakeOwner()
{
    {
        std::lock_guard lock(mutex_);
        news_ = true;
    }
    changed_.notify_all();
}

void ReadMailbox::finish(Listing& listing) noexcept
{
    bool lost = false;
    try {
        hand(listing, true);
    } catch (const std::bad_alloc&) {
        lost = true;
    } catch (const std::length_error&) {
        lost = true;
    }
    {
        std::lock_guard lock(mutex_);
        if (!givenUp_) {
            // Rows not taken in (out of memory, or never to be rendered) are
            // not shown, nor counted; what the list is and how the read ended
            // come all the same.
            listing.forgetRows();
            try {
                handed_.append(listing, false);
            } catch (...) {
                lost = true;
            }
            handed_.end = lost ? ReadEnd::outOfMemory : listing.end;
        }
        ended_ = news_ = true;
    }
    changed_.notify_all();
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

ReadMailbox::Taken ReadMailbox::takeLocked()
{
    woken_ = false;
    Taken taken;
    taken.batch = {std::exchange(waiting_, {}), handed_.rows() - handed_.unreadableRows(), handed_.unreadableRows()};
    if ((ended_ || givenUp_) && !std::exchange(endTaken_, true))
        taken.listing = std::move(handed_);
    return taken;
}

ReadMailbox::Taken ReadMailbox::take()
{
    Taken taken;
    {
        std::lock_guard lock(mutex_);
        taken = takeLocked();
    }
    changed_.notify_all(); // room for rows held up
    return taken;
}

void ReadMailbox::giveUp()
{
    {
        std::lock_guard lock(mutex_);
        if (!ended_) {
            givenUp_ = true;
            handed_.end = ReadEnd::notAnswering;
        }
    }
    cancel();
}

void ReadMailbox::waitForNews(std::uint32_t ms)
{
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return news_ || ended_; });
    news_ = false;
}

} // namespace quorvel
