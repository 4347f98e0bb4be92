#include "listreader/ComboBoxExReader.h"

#include "listreader/Answers.h"
#include "listreader/RemoteTexts.h"

#include <algorithm>

namespace quorvel {

std::u16string readComboBoxEx(Desktop& desktop, WindowHandle comboBoxEx)
{
    // The count the inner combo box keeps, which the ComboBoxEx hands on.
    MessageResult count = desktop.sendMessage(comboBoxEx, win::CB_GETCOUNT, 0, 0);
    if (!count.delivered || low32(count.answer) <= 0)
        return {};
    RemoteMemory memory(desktop, comboBoxEx, batchBlockBytes);
    if (!memory.isOpen())
        return {};
    const TextMessage m{comboBoxEx, win::CBEM_GETITEMW, comboBoxExItemLayout(memory.pointerBytes()), false};
    const auto items = static_cast<std::size_t>(low32(count.answer));
    std::u16string out;
    std::vector<TextQuery> queries;
    std::vector<std::u16string> texts;
    for (std::size_t first = 0; first < items; first += batchItems) {
        queries.clear();
        for (std::size_t i = first; i < std::min(items, first + batchItems); ++i)
            queries.push_back({0, win::CBEIF_TEXT, 0, static_cast<RemoteAddress>(i)});
        texts.clear();
        std::size_t failures = 0;
        const bool complete = fetchTexts(desktop, memory, m, queries, texts, &failures);
        for (const std::u16string& text : texts) {
            if (!text.empty())
                out += text + u"\r\n";
        }
        // A batch of which no item exists lies past the end of a count that
        // claims too many: ending there keeps a lie from costing billions.
        if (!complete || failures == queries.size())
            break;
    }
    return out;
}

} // namespace quorvel
