// How the answers of another process's controls are taken: never at their
// word where a lie would cost a read without end.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace quorvel {

// More columns than any list view, header or table shows; a claim of more
// is a lie, and believing it would mean a read without end.
constexpr std::int32_t maxColumns = 4096;

// The 32-bit answer the window system gives for a count or a length; on x64
// the upper half of the LRESULT carries nothing.
inline std::int32_t low32(std::intptr_t answer)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(answer));
}

// The number of items that really exist of the claimed ones: the first index
// in [0, claimed) for which exists is false, or claimed. Existing indexes run
// from 0 without gaps, so the claim costs one question when its last index
// exists, and a few dozen otherwise. 0 when a question goes unanswered.
std::int32_t realCount(std::int32_t claimed, const std::function<std::optional<bool>(std::int32_t)>& exists);

} // namespace quorvel
