#include "listreader/remote/ComboBoxExReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/ItemStates.h"
#include "listreader/remote/TextItems.h"

namespace quorvel {

void readComboBoxEx(Reading& reading, WindowHandle comboBoxEx)
{
    reading.listing.kind = ListKind::comboBoxEx;
    // The count the inner combo box keeps, which the ComboBoxEx hands on.
    MessageResult count = reading.send(comboBoxEx, win::CB_GETCOUNT, 0, 0);
    readCurrentItem(reading, comboBoxEx, win::CB_GETCURSEL);
    if (!count.delivered || low32(count.answer) <= 0)
        return;
    RemoteMemory memory(reading.desktop, comboBoxEx, batchBlockBytes);
    if (!reading.opened(memory, comboBoxEx))
        return;
    const TextMessage m{comboBoxEx, win::CBEM_GETITEMW, comboBoxExItemLayout(memory.pointerBytes()), false};
    addTextItems(
        reading, memory, m, low32(count.answer),
        [](std::int32_t i) { return TextQuery{.mask = win::CBEIF_TEXT, .handle = static_cast<RemoteAddress>(i)}; },
        CountIs::unchecked);
}

} // namespace quorvel
