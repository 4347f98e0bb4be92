// Fetches item texts from a control of another process through structures in
// that process's memory, many at a time: one write of a batch of structures
// (each with its own text slot), one message per item, one read of the whole
// batch back. Per item that costs little more than the message itself.
#pragma once

#include "desktop/RemoteMemory.h"
#include "listreader/Reading.h"
#include "listreader/remote/ItemLayout.h"

#include <span>
#include <string>
#include <vector>

namespace quorvel {

// One text to fetch: the message's wParam and the structure's naming fields.
struct TextQuery {
    std::uintptr_t wParam = 0;
    std::uint32_t mask = 0;
    std::int32_t subItem = 0;
    RemoteAddress handle = 0;
};

struct TextMessage {
    WindowHandle window;
    unsigned message;
    ItemLayout layout;
    // LVM_GETITEMTEXTW answers the text's length; TVM_GETITEMW answers
    // whether it succeeded.
    bool answerIsLength;
};

// Appends one text per query, in order; a text that could not be had whole
// (a failed answer, a pointer that can't be read, longer than any text may
// be) gives an empty text and, when failed is given, a true there (one flag
// per text). Returns false when the read must stop, which then holds why: a
// message went unanswered, the read was cancelled, or the target's memory
// could not be had, written or read. texts then holds the queries answered
// before that.
bool fetchTexts(Reading& reading, RemoteMemory& memory, const TextMessage& m, std::span<const TextQuery> queries,
                std::vector<std::u16string>& texts, std::vector<bool>* failed = nullptr);

// Items per batch, and the characters of each text slot: most texts fit, and
// a longer one is fetched again on its own.
constexpr std::size_t batchItems = 256;

// Items in round n of a read, from 0: the first rounds are small, so that the
// first rows show at once, and they grow to a whole batch.
constexpr std::size_t roundItems(std::size_t round)
{
    return round < 4 ? std::size_t{16} << round : batchItems;
}
constexpr std::size_t slotChars = 256;
// A block that holds a whole batch of the largest structures.
constexpr std::size_t batchBlockBytes = batchItems * (88 + slotChars * 2);

// The most characters a text may have; no control shows a longer one, and
// believing a larger length would mean reading without bound.
constexpr std::size_t maxTextChars = std::size_t{1} << 20;

} // namespace quorvel
