#include "listreader/remote/TextItems.h"

#include "listreader/HeldRun.h"

#include <algorithm>

namespace quorvel {

void addTextItems(Reading& reading, RemoteMemory& memory, const TextMessage& m, std::int32_t count,
                  const std::function<TextQuery(std::int32_t)>& query, CountIs countIs)
{
    std::vector<TextQuery> queries;
    std::vector<std::u16string> texts;
    std::vector<bool> failed;
    // With an unchecked count, failed items are held back until one after
    // them answers: failures at the end may lie past the list's real end.
    HeldRun heldBack(reading.listing);
    std::size_t round = 0;
    for (std::int32_t first = 0, items = 0; first < count; first += items) {
        items = std::min(static_cast<std::int32_t>(roundItems(round++)), count - first);
        queries.clear();
        for (std::int32_t i = first; i < first + items; ++i)
            queries.push_back(query(i));
        texts.clear();
        failed.clear();
        const bool complete = fetchTexts(reading, memory, m, queries, texts, &failed);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (failed[i] && countIs == CountIs::unchecked) {
                heldBack.hold();
                continue;
            }
            heldBack.keep();
            if (failed[i])
                reading.listing.addUnreadableItem();
            else
                reading.listing.addItem(texts[i]);
        }
        reading.progress();
        if (countIs == CountIs::unchecked && std::count(failed.begin(), failed.end(), false) == 0)
            break;
        if (!complete)
            break;
    }
}

} // namespace quorvel
