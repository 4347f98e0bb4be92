// How many items a control of another process really holds, when the
// message that fetches one of them into a structure answers 0 past the end.
#pragma once

#include "desktop/RemoteMemory.h"
#include "listreader/Reading.h"

#include <cstdint>

namespace quorvel {

struct ItemQuestion {
    WindowHandle window;
    unsigned message; // wParam the index, lParam a structure that asks for nothing
    std::size_t structureBytes;
};

// The items that exist of the claimed ones, at a few dozen questions for a
// claim of INT_MAX; 0 when a question goes unanswered or the target's
// memory fails, the read then holding why.
std::int32_t realRemoteCount(Reading& reading, RemoteMemory& memory, const ItemQuestion& q, std::int32_t claimed);

} // namespace quorvel
