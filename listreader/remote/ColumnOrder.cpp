#include "listreader/remote/ColumnOrder.h"

#include "listreader/remote/ItemLayout.h"

#include <algorithm>
#include <numeric>

namespace quorvel {

std::vector<std::int32_t> shownColumnOrder(Reading& reading, RemoteMemory& memory, WindowHandle window,
                                           unsigned message, std::int32_t columns)
{
    std::vector<std::int32_t> order(static_cast<std::size_t>(columns));
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::uint8_t> bytes(order.size() * 4, 0);
    const RemoteAddress at = memory.block(bytes.size());
    if (!at || !memory.write(at, bytes))
        return order;
    MessageResult ok = reading.send(window, message, order.size(), static_cast<std::intptr_t>(at));
    if (!ok.delivered || !ok.answer || !memory.read(at, bytes))
        return order;
    std::vector<std::int32_t> shown(order.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = getI32(bytes, 4 * i);
    return std::is_permutation(shown.begin(), shown.end(), order.begin()) ? shown : order;
}

} // namespace quorvel
