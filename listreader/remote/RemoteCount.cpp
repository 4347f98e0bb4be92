#include "listreader/remote/RemoteCount.h"

#include "listreader/Answers.h"

#include <vector>

namespace quorvel {

std::int32_t realRemoteCount(Reading& reading, RemoteMemory& memory, const ItemQuestion& q, std::int32_t claimed)
{
    const std::vector<std::uint8_t> zeroed(q.structureBytes, 0);
    return realCount(claimed, [&](std::int32_t i) -> std::optional<bool> {
        // Written afresh for each question: the last answer filled it in.
        const RemoteAddress at = memory.block(zeroed.size());
        if (!reading.written(memory, at, zeroed))
            return std::nullopt;
        MessageResult r =
            reading.send(q.window, q.message, static_cast<std::uintptr_t>(i), static_cast<std::intptr_t>(at));
        if (!r.delivered)
            return std::nullopt;
        return r.answer != 0;
    });
}

} // namespace quorvel
