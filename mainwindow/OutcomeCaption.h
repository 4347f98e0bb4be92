// The caption of the "List Items" frame, which tells how the read of the
// items below it went: how many, still reading, stopped, cancelled, or why
// there is nothing. A listing with items missing never reads like a whole one.
#pragma once

#include "desktop/Desktop.h"
#include "listing/Listing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel {

struct ReadStatus {
    bool reading = false;
    ReadEnd end = ReadEnd::complete;
    std::size_t items = 0;      // read whole
    std::size_t unreadable = 0; // the list has them, their text could not be had
    WindowHandle handle = 0;    // 0: a value no handle holds
    std::u16string className = {};
    // Of an accessible list: its name, and which of the window's lists it is of how many.
    std::u16string listName = {};
    std::size_t listNumber = 0, listCount = 0;
};

// n with the user's digit grouping.
std::u16string groupDigits(std::uint64_t n, const NumberFormat& format);

// The captions that tell status, longest first; each ends on a whole word,
// and every one of them says whether the listing is whole.
std::vector<std::u16string> captionChoices(const ReadStatus& status, const NumberFormat& format);

// The first choice whose measured width is at most width; the last when none is.
std::u16string fitCaption(const std::vector<std::u16string>& choices, int width,
                          const std::function<int(const std::u16string&)>& measure);

} // namespace quorvel
