#include "reading/Pace.h"

namespace quorvel {

bool Pace::due(std::uint64_t nowMs)
{
    if (last_ && nowMs - *last_ < intervalMs)
        return false;
    last_ = nowMs;
    return true;
}

} // namespace quorvel
