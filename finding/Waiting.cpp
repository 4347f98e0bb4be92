#include "finding/Waiting.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quorvel {

std::uint64_t SteadyClock::nowMs()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void SteadyClock::sleepMs(std::uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

Look lookUntil(const std::function<Look()>& look, double seconds, Clock& clock, const std::function<bool()>& cancelled)
{
    const std::uint64_t deadline = clock.nowMs() + static_cast<std::uint64_t>(std::max(seconds, 0.0) * 1000);
    for (;;) {
        const std::uint64_t started = clock.nowMs();
        const Look found = look();
        if (found != Look::none)
            return found;
        const std::uint64_t now = clock.nowMs();
        if (now >= deadline)
            return Look::none;
        // Ctrl+C is seen within a fifth of a look's pause.
        const std::uint64_t next = std::min(deadline, started + lookAgainMs);
        for (std::uint64_t t = now; t < next; t = clock.nowMs()) {
            if (cancelled())
                return Look::cancelled;
            clock.sleepMs(static_cast<std::uint32_t>(std::min<std::uint64_t>(next - t, lookAgainMs / 5)));
        }
        if (cancelled())
            return Look::cancelled;
    }
}

} // namespace quorvel
