#include "listreader/HeaderReader.h"

#include "listreader/Answers.h"
#include "listreader/ControlMessages.h"
#include "listreader/RemoteCount.h"
#include "listreader/TextItems.h"

#include <algorithm>
#include <numeric>

namespace quorvel {

namespace {

// More columns than any header shows; a claim of more is a lie.
constexpr std::int32_t maxColumns = 4096;

// The columns' indexes in the order they are shown; index order when the
// header can't tell or tells something that is no arrangement of them.
std::vector<std::int32_t> shownOrder(Reading& reading, RemoteMemory& memory, WindowHandle header, std::int32_t columns)
{
    std::vector<std::int32_t> order(static_cast<std::size_t>(columns));
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::uint8_t> bytes(order.size() * 4, 0);
    const RemoteAddress at = memory.block(bytes.size());
    if (!at || !memory.write(at, bytes))
        return order;
    MessageResult ok = reading.send(header, win::HDM_GETORDERARRAY, order.size(), static_cast<std::intptr_t>(at));
    if (!ok.delivered || !ok.answer || !memory.read(at, bytes))
        return order;
    std::vector<std::int32_t> shown(order.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = getI32(bytes, 4 * i);
    return std::is_permutation(shown.begin(), shown.end(), order.begin()) ? shown : order;
}

} // namespace

void readHeader(Reading& reading, WindowHandle header)
{
    reading.listing.kind = ListKind::header;
    MessageResult claimed = reading.send(header, win::HDM_GETITEMCOUNT, 0, 0);
    if (!claimed.delivered || low32(claimed.answer) <= 0)
        return;
    RemoteMemory memory(reading.desktop, header, batchBlockBytes);
    if (!reading.opened(memory, header))
        return;
    const ItemLayout layout = headerItemLayout(memory.pointerBytes());
    // HDM_GETITEMW answers FALSE past the last column.
    const std::int32_t columns = realRemoteCount(reading, memory, {header, win::HDM_GETITEMW, layout.size},
                                                 std::min(low32(claimed.answer), maxColumns));
    if (columns <= 0)
        return;
    const std::vector<std::int32_t> order = shownOrder(reading, memory, header, columns);
    addTextItems(reading, memory, {header, win::HDM_GETITEMW, layout, false}, columns, [&](std::int32_t i) {
        return TextQuery{.wParam = static_cast<std::uintptr_t>(order[static_cast<std::size_t>(i)]),
                         .mask = win::HDI_TEXT};
    });
}

} // namespace quorvel
