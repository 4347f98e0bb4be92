// Reads a list that a window's program tells only to accessibility clients:
// a list, a tree (outline), a table or a combo box it draws itself.
#pragma once

#include "listreader/accessible/AccessibleQuery.h"

#include <optional>

namespace quorvel {

// The list chooseList picks in window's accessible object, into the listing;
// false when the window makes no object or none of its lists is chosen.
// namesOnly: no list is chosen or read, the listing tells their names alone.
bool readAccessibleList(Reading& reading, WindowHandle window, AccessibleWindows& windows, std::optional<Point> at,
                        const std::optional<std::u16string>& name, std::size_t number = 0, bool namesOnly = false);

// The items of list, each child's name, a batch at a time. A child the list
// does not have ends them (a count that claims too many), and so does a batch
// of which no child answered; an item that is refused stays, empty.
void readAccessibleItems(AccessibleQuery& query, Accessible& list);

// Children asked for at a time: one question for the batch, then (where the
// object hands out no enumerator) one per child, in the system's own code.
constexpr std::int32_t accessibleBatch = 256;

} // namespace quorvel
