#include "listreader/messages/TabControlReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/ItemStates.h"
#include "listreader/remote/RemoteCount.h"
#include "listreader/remote/TextItems.h"

namespace quorvel {

void readTabControl(Reading& reading, WindowHandle tabs)
{
    reading.listing.kind = ListKind::tabControl;
    MessageResult claimed = reading.send(tabs, win::TCM_GETITEMCOUNT, 0, 0);
    readCurrentItem(reading, tabs, win::TCM_GETCURSEL);
    if (!claimed.delivered || low32(claimed.answer) <= 0)
        return;
    RemoteMemory memory(reading.desktop, tabs, batchBlockBytes);
    if (!reading.opened(memory, tabs))
        return;
    const ItemLayout layout = tabItemLayout(memory.pointerBytes());
    // TCM_GETITEMW answers FALSE past the last tab.
    const std::int32_t count =
        realRemoteCount(reading, memory, {tabs, win::TCM_GETITEMW, layout.size}, low32(claimed.answer));
    addTextItems(reading, memory, {tabs, win::TCM_GETITEMW, layout, false}, count, [](std::int32_t i) {
        return TextQuery{.wParam = static_cast<std::uintptr_t>(i), .mask = win::TCIF_TEXT};
    });
}

} // namespace quorvel
