// Whether a read has been inside one call into another program for longer
// than it may be. A window message has a time limit of its own, which ends
// it: it is overdue only once that limit has had time to. A question to an
// accessible object of another program has none, and neither has letting go
// of one: such a call is overdue past the bound. Time between calls never
// counts, so a read that pauses (its output blocked, its rows being shown) is
// never taken for a stuck one.
#pragma once

#include "desktop/DesktopTypes.h"

#include <atomic>
#include <cstdint>

namespace quorvel {

class CallWatch {
public:
    // Slack for a message's own time limit to end it.
    static constexpr std::uint64_t messageGraceMs = 1000;

    // Reading thread: a call goes in, it comes back; the read is over.
    void entered(std::uint64_t nowMs, bool bounded)
    {
        bounded_.store(bounded, std::memory_order_relaxed);
        since_.store(nowMs + 1, std::memory_order_release);
    }
    void left() { since_.store(0, std::memory_order_release); }
    void finish() { over_.store(true, std::memory_order_release); }

    // Any thread.
    bool overdue(std::uint64_t nowMs, std::uint64_t boundMs = answerBoundMs) const
    {
        const std::uint64_t inside = insideFor(nowMs);
        const bool bounded = bounded_.load(std::memory_order_relaxed);
        return !over_.load(std::memory_order_acquire) && inside > boundMs + (bounded ? messageGraceMs : 0);
    }
    // How long the call in flight has been inside when it is one with no
    // time limit of its own; 0 when there is none.
    std::uint64_t unboundedFor(std::uint64_t nowMs) const
    {
        return bounded_.load(std::memory_order_relaxed) || over_.load(std::memory_order_acquire) ? 0 : insideFor(nowMs);
    }

private:
    std::uint64_t insideFor(std::uint64_t nowMs) const
    {
        const std::uint64_t since = since_.load(std::memory_order_acquire);
        return since == 0 || nowMs + 1 < since ? 0 : nowMs + 1 - since;
    }

    std::atomic<std::uint64_t> since_{0}; // the call's start plus 1; 0: none in flight
    std::atomic<bool> bounded_{false};
    std::atomic<bool> over_{false};
};

} // namespace quorvel
