// What one read hands the window's thread: its rows, a batch at a time, and
// at the end its listing. The reading thread puts and wakes the window; the
// window's thread takes whatever has come, in order. Nothing put is lost to
// a wake-up that could not be delivered: the next take, woken or not, gets it.
#pragma once

#include "listing/Listing.h"
#include "mainwindow/RowFeed.h"

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

    // Reading thread. True when the window should be woken: nothing put is
    // waiting for it already.
    bool put(const RowBatch& batch);
    bool finish(const RowBatch& last, Listing listing);
    // Wakes the window once more next time: a wake-up could not be posted.
    void wakeFailed();

    // Window thread: what came since the last take. Once finished, the
    // listing comes once, with the last rows.
    struct Taken {
        RowBatch batch;
        std::optional<Listing> listing;
    };
    Taken take();

private:
    bool wakeNeeded();

    std::mutex mutex_;
    RowBatch pending_;
    std::optional<Listing> listing_;
    bool woken_ = false;
};

} // namespace quorvel
