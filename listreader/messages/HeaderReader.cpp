#include "listreader/messages/HeaderReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/remote/ColumnOrder.h"
#include "listreader/remote/RemoteCount.h"
#include "listreader/remote/TextItems.h"

#include <algorithm>

namespace quorvel {

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
    const std::vector<std::int32_t> order = shownColumnOrder(reading, memory, header, win::HDM_GETORDERARRAY, columns);
    addTextItems(reading, memory, {header, win::HDM_GETITEMW, layout, false}, columns, [&](std::int32_t i) {
        return TextQuery{.wParam = static_cast<std::uintptr_t>(order[static_cast<std::size_t>(i)]),
                         .mask = win::HDI_TEXT};
    });
}

} // namespace quorvel
