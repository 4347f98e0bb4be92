// Milliseconds on a clock that only goes forward: for timing calls and pacing.
#pragma once

#include <chrono>
#include <cstdint>

namespace quorvel {

inline std::uint64_t steadyMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace quorvel
