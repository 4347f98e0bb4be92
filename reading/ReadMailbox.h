// What one read hands the window's thread: its rows, as they are read, and at
// the end its listing. The reading thread puts and wakes the window, at its
// own pace; the window's thread takes whatever has come, in order. Nothing
// put is lost to a wake-up that could not be delivered: the next take, woken
// or not, gets it. A read given up in a call keeps what it put before.
#pragma once

#include "listing/Listing.h"
#include "mainwindow/RowFeed.h"
#include "reading/CallWatch.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

namespace quorvel {

class ReadMailbox {
public:
    explicit ReadMailbox(std::uint64_t read) : read(read) {}

    const std::uint64_t read;
    std::atomic<bool> cancelled{false};
    CallWatch watch;

    // Reading thread.
    void put(const RowBatch& batch);
    void finish(const RowBatch& last, Listing listing);
    // True when a wake-up should be posted now: none is on its way. One that
    // could not be posted is told with wakeFailed.
    bool claimWake();
    void wakeFailed();

    // Window thread: what came since the last take. Once finished, the
    // listing comes once, with the last rows.
    struct Taken {
        RowBatch batch;
        std::optional<Listing> listing;
    };
    Taken take();

private:
    std::mutex mutex_;
    RowBatch pending_;
    std::optional<Listing> listing_;
    bool woken_ = false;
};

} // namespace quorvel
