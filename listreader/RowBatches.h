// When the rows of a growing listing are handed on to be shown or written:
// the first as soon as there is one, later ones together at most every
// interval, so that showing them costs the read itself little.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace quorvel {

class RowBatches {
public:
    static constexpr std::uint64_t intervalMs = 250;

    // The first row of the batch due now, when one is: the rows from there
    // to rows then count as handed on. final hands on whatever is left.
    std::optional<std::size_t> due(std::size_t rows, std::uint64_t nowMs, bool final = false);
    std::size_t handedOn() const { return handedOn_; }

private:
    std::size_t handedOn_ = 0;
    std::optional<std::uint64_t> last_;
};

// Milliseconds on a clock that only goes forward, for pacing.
std::uint64_t steadyMs();

} // namespace quorvel
