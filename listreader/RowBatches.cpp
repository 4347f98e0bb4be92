#include "listreader/RowBatches.h"

#include <chrono>

namespace quorvel {

std::optional<std::size_t> RowBatches::due(std::size_t rows, std::uint64_t nowMs, bool final)
{
    if (rows <= handedOn_ || (!final && last_ && nowMs - *last_ < intervalMs))
        return std::nullopt;
    last_ = nowMs;
    const std::size_t first = handedOn_;
    handedOn_ = rows;
    return first;
}

std::uint64_t steadyMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace quorvel
