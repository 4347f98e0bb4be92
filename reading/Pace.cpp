#include "reading/Pace.h"

#include <chrono>

namespace quorvel {

bool Pace::due(std::uint64_t nowMs)
{
    if (last_ && nowMs - *last_ < intervalMs)
        return false;
    last_ = nowMs;
    return true;
}

std::uint64_t steadyMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace quorvel
