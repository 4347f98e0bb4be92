// Looking again for a list that has not appeared yet: a look every 250 ms
// until one decides or the time is up, by a clock a test can stand in for.
#pragma once

#include <cstdint>
#include <functional>

namespace quorvel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t nowMs() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// The steady clock of the standard library, and its thread's sleep.
class SteadyClock : public Clock {
public:
    std::uint64_t nowMs() override;
    void sleepMs(std::uint32_t ms) override;
};

constexpr std::uint32_t lookAgainMs = 250;

enum class Look { found, many, none, cancelled };

// Looks at once, then again every lookAgainMs while look finds none and the
// seconds given have not passed; cancelled is asked between looks. What the
// last look found, or cancelled.
Look lookUntil(const std::function<Look()>& look, double seconds, Clock& clock, const std::function<bool()>& cancelled);

} // namespace quorvel
