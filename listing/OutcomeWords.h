// How a read ended, in words: the one place the frame's caption, the command
// line and JSON take them from, so that they tell the same story.
#pragma once

#include "listing/Listing.h"

#include <string>
#include <string_view>

namespace quorvel {

// Why a read that is not complete stopped, or found nothing: a few words
// that stand on their own ("the target stopped answering"); empty for a
// complete read.
std::u16string_view stopReason(ReadEnd end);

// The same, as short as a narrow caption wants it, after "stopped after N:"
// ("not answering"); empty where the caption words it otherwise.
std::u16string_view briefReason(ReadEnd end);

// The same as JSON's "stopped" gives it.
std::u16string_view jsonReason(ReadEnd end);

// What a listing holds in count words: "1 item", "3 rows".
std::u16string countOf(std::size_t n, const Listing& listing);

// The items that could not be read, as a clause: "2 items could not be read".
std::u16string unreadableClause(const Listing& listing);

} // namespace quorvel
