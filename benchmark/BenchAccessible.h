// The floor of reading a list told only through accessibility: the reader's own calls from a bare loop.
#pragma once

#include <windows.h>

#include <cstddef>

namespace bench {

// What Quorvel's reader asks of a list told only through accessibility, from a bare loop: the window's list box
// and combo box counts, its object, the object's role, name and child count and whether it hands out an
// enumerator, then 256 children at a time each child's own get_accChild and each item's get_accName; nothing
// kept but the items and their characters. False when a call fails, or the list is not as the bench target
// makes it. In a COM apartment of its own for the length of the call.
bool AccessibleFloor(HWND window, DWORD timeoutMs, std::size_t& items, std::size_t& chars);

} // namespace bench
