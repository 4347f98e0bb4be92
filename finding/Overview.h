// The overview of the lists in a set of windows: a row per list, with the
// selector that names it alone and how many items it holds, counted with one
// message, not read.
#pragma once

#include "desktop/OtherWindows.h"
#include "finding/Desk.h"
#include "finding/Selector.h"

#include <functional>
#include <optional>

namespace quorvel {

struct OverviewRow {
    std::size_t list = 0; // in the desk
    std::u16string selector = {};
    // Not counted: an accessible list, a window that did not answer in time
    // or whose program refused.
    std::optional<std::int64_t> items = {};
    bool unanswered = false, denied = false;
};

// The lists of the desk that only names (every one, without it), each
// counted with the one message its kind answers. A program that does not
// answer in time is asked nothing more, nor one that refuses. cancelled is
// asked before every message.
std::vector<OverviewRow> overview(Desk& desk, const Selector* only, OtherWindows& windows,
                                  const std::function<bool()>& cancelled);

// The rows a desk that holds only some windows' lists could not name, named
// by the whole desk.
void nameInWhole(std::vector<OverviewRow>& rows, const Desk& partial, const Desk& whole);

} // namespace quorvel
