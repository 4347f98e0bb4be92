// The floor of reading a list told only through accessibility: the reader's own calls from a bare loop.
#pragma once

#include <windows.h>

#include <cstddef>

namespace bench {

// The list object of window, then its child count, its children in AccessibleChildren batches of 256 and one
// get_accName per child, as Quorvel's reader asks them; nothing kept but the items and their characters.
// False when a call fails. In a COM apartment of its own for the length of the call.
bool AccessibleFloor(HWND window, DWORD timeoutMs, std::size_t& items, std::size_t& chars);

} // namespace bench
