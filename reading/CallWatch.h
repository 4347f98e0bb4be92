// Whether a read waits too long in calls that have no time limit of their
// own (questions to accessible objects, and the releases that follow them).
// Each call's start and return is a heartbeat; a read that has made such a
// call and then goes without a heartbeat for longer than a message may take
// is stuck, wherever it waits.
#pragma once

#include "desktop/Desktop.h"

#include <atomic>
#include <cstdint>

namespace quorvel {

class CallWatch {
public:
    // Reading thread: a call starts or returns; the read is over.
    void beat(std::uint64_t nowMs) { last_.store(nowMs, std::memory_order_relaxed); }
    void finish() { over_.store(true, std::memory_order_relaxed); }

    // Any thread.
    bool stuck(std::uint64_t nowMs, std::uint64_t boundMs = answerBoundMs) const
    {
        const std::uint64_t last = last_.load(std::memory_order_relaxed);
        return last != 0 && !over_.load(std::memory_order_relaxed) && nowMs > last + boundMs;
    }

private:
    std::atomic<std::uint64_t> last_{0}; // 0: no such call yet
    std::atomic<bool> over_{false};
};

} // namespace quorvel
