// What one read hands its owner: its rows as they are read, rendered as the
// owner shows or writes them, and at the end how it ended. The reading
// thread hands and wakes the owner at its own pace; the owner takes whatever
// has come, in order. Nothing handed is lost to a wake-up that could not be
// delivered: the next take, woken or not, gets it. Rows the owner has not
// taken yet hold the read up once there are many of them, so output that
// blocks pauses the read without a lock the watch needs and without a
// message to the target. A read given up keeps all it handed on.
#pragma once

#include "listing/Listing.h"
#include "reading/CallWatch.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace quorvel {

// How the rows of a read are handed on.
struct Handing {
    // The rows from firstRow on as the owner wants them (lines for a field,
    // text or CSV for a stream), or nullopt while they can't be rendered
    // yet (the list has not told the states they are filtered by): the rows
    // then wait in the read's listing. None: nothing is rendered.
    std::function<std::optional<std::u16string>(const Listing&, std::size_t firstRow)> render;
    // Whether the listing at the end holds every row, for an owner that
    // needs it whole (JSON, a file); else only what it says of the list.
    bool keepRows = false;
    // How many characters may wait for the owner before the read waits too.
    std::size_t waitingLimit = std::size_t{1} << 20;
};

// Rows rendered and not yet taken, and the counts of all handed on so far.
struct RowBatch {
    std::u16string text;
    std::size_t items = 0;      // read whole so far
    std::size_t unreadable = 0; // the list has them, their text could not be had
    bool any() const { return !text.empty() || items || unreadable; }
};

class ReadMailbox {
public:
    ReadMailbox(std::uint64_t read, Handing handing) : read(read), handing_(std::move(handing)) {}

    const std::uint64_t read;
    CallWatch watch;

    // Any thread: stops the read at its next message, and lets it go on
    // where it waits for the owner to take rows.
    void cancel();
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // Reading thread. Takes in the rows listing holds and what it says of
    // the list, and lets go of them there. Waits first while the owner has
    // more than enough to take, unless the read is cancelled or given up.
    // Out of memory, it throws and the rows stay in listing. Rendering asks
    // for new rows only, or last for the first time (the column names of a
    // table without rows).
    void hand(Listing& listing, bool last = false);
    // The last rows and how the read ended; out of memory, the read ends so
    // with what was handed on before.
    void finish(Listing& listing) noexcept;
    // True when a wake-up should be posted now: none is on its way. One that
    // could not be posted is told with wakeFailed.
    bool claimWake();
    void wakeFailed();
    // For an owner that waits on the mailbox itself (waitForNews).
    void wakeOwner();

    // Owner's thread: what came since the last take. Once the read has
    // ended, its listing comes once, with the last rows.
    struct Taken {
        RowBatch batch;
        std::optional<Listing> listing;
    };
    Taken take();
    // Ends the read here, not answering, with all it handed on, which the
    // next take gets; what the reading thread brings later goes nowhere.
    void giveUp();
    // Waits at most ms for news: a wakeOwner, more rows waiting than the
    // limit, the end.
    void waitForNews(std::uint32_t ms);

private:
    Taken takeLocked();

    Handing handing_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Listing handed_;         // all the owner has of the read
    std::u16string waiting_; // rendered, not yet taken
    std::atomic<bool> cancelled_{false};
    bool ended_ = false, endTaken_ = false, givenUp_ = false, woken_ = false, news_ = false;
    bool rendered_ = false; // reading thread's
};

} // namespace quorvel
