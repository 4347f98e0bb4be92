#include "listreader/ComboBoxExReader.h"

#include "listreader/Answers.h"
#include "listreader/RemoteTexts.h"

#include <algorithm>

namespace quorvel {

void readComboBoxEx(Reading& reading, WindowHandle comboBoxEx)
{
    reading.listing.kind = ListKind::comboBoxEx;
    // The count the inner combo box keeps, which the ComboBoxEx hands on.
    MessageResult count = reading.send(comboBoxEx, win::CB_GETCOUNT, 0, 0);
    if (!count.delivered || low32(count.answer) <= 0)
        return;
    RemoteMemory memory(reading.desktop, comboBoxEx, batchBlockBytes);
    if (!reading.opened(memory, comboBoxEx))
        return;
    const TextMessage m{comboBoxEx, win::CBEM_GETITEMW, comboBoxExItemLayout(memory.pointerBytes()), false};
    const auto items = static_cast<std::size_t>(low32(count.answer));
    std::vector<TextQuery> queries;
    std::vector<std::u16string> texts;
    std::vector<bool> failed;
    for (std::size_t first = 0; first < items; first += batchItems) {
        queries.clear();
        for (std::size_t i = first; i < std::min(items, first + batchItems); ++i)
            queries.push_back({0, win::CBEIF_TEXT, 0, static_cast<RemoteAddress>(i)});
        texts.clear();
        failed.clear();
        const bool complete = fetchTexts(reading, memory, m, queries, texts, &failed);
        // A failed fetch is no item; a batch of which no item exists lies past
        // the end of a count that claims too many: ending there keeps a lie
        // from costing billions.
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!failed[i])
                reading.listing.addItem(texts[i]);
        }
        reading.progress();
        if (std::count(failed.begin(), failed.end(), true) == static_cast<std::ptrdiff_t>(queries.size()))
            break;
        if (!complete)
            break;
    }
}

} // namespace quorvel
