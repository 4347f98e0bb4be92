#include "listreader/Answers.h"

namespace quorvel {

std::int32_t realCount(std::int32_t claimed, const std::function<std::optional<bool>(std::int32_t)>& exists)
{
    if (claimed <= 0)
        return 0;
    std::optional<bool> last = exists(claimed - 1);
    if (!last)
        return 0;
    if (*last)
        return claimed;
    std::int32_t lo = 0, hi = claimed - 1; // the end lies in [lo, hi]
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        std::optional<bool> e = exists(mid);
        if (!e)
            return 0;
        if (*e)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

} // namespace quorvel
