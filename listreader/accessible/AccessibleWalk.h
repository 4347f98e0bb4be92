// Which accessible list of a window to read: the window's object when it is
// one, else one of the lists found under it, by point, by name or the first.
#pragma once

#include "listreader/accessible/AccessibleQuery.h"

#include <optional>

namespace quorvel {

// Lists a program may draw itself: the roles Quorvel reads.
bool listLike(std::uint32_t role);

struct ChosenList {
    std::unique_ptr<Accessible> object; // none: no list, or none by the choice
    std::uint32_t role = 0;
    std::size_t number = 0, count = 0; // which of how many found; number 0: not among them
    std::vector<std::u16string> names; // of those found, in order
};

// The walk under the window's object is depth first and bounded in depth and
// in the children it looks at; a child that is one of its own ancestors ends
// it. A list is not walked into. at: the deepest list on the path of hit
// tests from the window's object down to the point, if any; name: the first
// list whose accessible name is that, ignoring case, if any; number: the one
// at that place, from 1 (past the last: none). None of these: the first.
ChosenList chooseList(AccessibleQuery& query, std::unique_ptr<Accessible> client, std::optional<Point> at,
                      const std::optional<std::u16string>& name, std::size_t number = 0);

// Bounds of the walk: nested objects, and children looked at in all.
constexpr std::size_t walkDepth = 12;
constexpr std::size_t walkChildren = 400;

} // namespace quorvel
