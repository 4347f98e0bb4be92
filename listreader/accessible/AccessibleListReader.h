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

// The items of list, each child's name, a batch at a time. Only the list
// ends them: a child it does not have (past a count that claims too many),
// or the end ChildBatches finds. An item whose name is refused is counted
// unreadable in its place; too many such in a row end the read, refused.
void readAccessibleItems(AccessibleQuery& query, Accessible& list);

// Children asked for at a time: one question for the batch where the object
// hands out an enumerator, else one per child.
constexpr std::int32_t accessibleBatch = 256;

} // namespace quorvel
