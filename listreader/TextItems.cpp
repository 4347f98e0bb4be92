#include "listreader/TextItems.h"

#include <algorithm>

namespace quorvel {

void addTextItems(Reading& reading, RemoteMemory& memory, const TextMessage& m, std::span<const TextQuery> queries)
{
    std::vector<std::u16string> texts;
    std::vector<bool> failed;
    for (std::size_t first = 0; first < queries.size(); first += batchItems) {
        texts.clear();
        failed.clear();
        const bool complete = fetchTexts(
            reading, memory, m, queries.subspan(first, std::min(batchItems, queries.size() - first)), texts, &failed);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!failed[i])
                reading.listing.addItem(texts[i]);
        }
        reading.progress();
        if (!complete)
            break;
    }
}

} // namespace quorvel
