// How often the rows of a growing listing are handed on to be shown or
// written: the first time at once, then at most every interval, so that
// showing them costs the read itself little.
#pragma once

#include "desktop/Clock.h"

#include <cstdint>
#include <optional>

namespace quorvel {

class Pace {
public:
    static constexpr std::uint64_t intervalMs = 250;

    // Whether it is time now; if so, the next time is an interval on.
    bool due(std::uint64_t nowMs);

private:
    std::optional<std::uint64_t> last_;
};

} // namespace quorvel
