#include "listreader/remote/BareTexts.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/remote/RemoteTexts.h"

#include <algorithm>
#include <optional>

namespace quorvel {

namespace {

// The length an answer states, or nullopt when it states no text: an error,
// an owner-drawn status bar part, or more than any text may have.
std::optional<std::size_t> statedLength(const BareTextMessage& m, std::intptr_t answer)
{
    const auto bits = static_cast<std::uint32_t>(low32(answer));
    if (m.lengthInLowWord)
        return (bits >> 16) & win::SBT_OWNERDRAW ? std::nullopt : std::optional<std::size_t>(bits & 0xFFFF);
    const std::int32_t n = low32(answer);
    if (n < 0 || static_cast<std::size_t>(n) > maxTextChars)
        return std::nullopt;
    return static_cast<std::size_t>(n);
}

// Characters of a buffer for a text of length characters.
std::size_t capacityFor(std::size_t length)
{
    return length == 0 ? 0 : length + 1 + std::max<std::size_t>(length / 2, 16);
}

// The text in a buffer, when it ends within it and the answer states its length.
std::optional<std::u16string> takeText(const BareTextMessage& m, std::intptr_t answer,
                                       std::span<const std::uint8_t> buffer)
{
    std::u16string text;
    for (std::size_t i = 0; 2 * i + 1 < buffer.size(); ++i) {
        const auto c = static_cast<char16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8);
        if (c == u'\0') {
            const std::optional<std::size_t> stated = statedLength(m, answer);
            const std::size_t length = m.lengthInLowWord ? text.size() & 0xFFFF : text.size();
            if (stated != length)
                return std::nullopt;
            return text;
        }
        text += c;
    }
    return std::nullopt; // ran past its buffer
}

// A status bar part its owner draws keeps a number of the owner's, not text.
bool ownerDrawn(const BareTextMessage& m, std::intptr_t answer)
{
    return m.lengthInLowWord && (static_cast<std::uint32_t>(low32(answer)) >> 16) & win::SBT_OWNERDRAW;
}

struct Slot {
    std::optional<std::size_t> length;
    std::size_t offset = 0; // bytes into its group's block
    bool ownerDrawn = false;
};

// Fetches the texts of a run of items whose buffers fit one block together.
bool fetchGroup(Reading& reading, RemoteMemory& memory, const BareTextMessage& m, std::span<const std::uintptr_t> items,
                std::span<const Slot> slots, std::size_t bytes, std::vector<std::u16string>& texts,
                std::vector<BareText>& fates)
{
    const RemoteAddress base = bytes ? memory.block(bytes) : 0;
    std::vector<std::uint8_t> block(bytes, 0);
    if (bytes && !reading.written(memory, base, block))
        return false;
    std::vector<std::intptr_t> answers;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].length.value_or(0) == 0) {
            answers.push_back(0);
            continue;
        }
        MessageResult r =
            reading.send(m.window, m.textMessage, items[i], static_cast<std::intptr_t>(base + slots[i].offset));
        if (!r.delivered)
            break;
        answers.push_back(r.answer);
    }
    // Read back even after a stop: the answered buffers still hold their texts.
    if (bytes && !reading.readBack(memory, base, block))
        return false;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const std::size_t length = slots[i].length.value_or(0);
        std::optional<std::u16string> text;
        if (length > 0)
            text = takeText(m, answers[i],
                            std::span<const std::uint8_t>(block).subspan(slots[i].offset, 2 * capacityFor(length)));
        else if (slots[i].length)
            text = std::u16string();
        fates.push_back(slots[i].ownerDrawn ? BareText::notText : text ? BareText::text : BareText::unreadable);
        texts.push_back(text.value_or(std::u16string()));
    }
    return answers.size() == slots.size();
}

} // namespace

bool fetchBareTexts(Reading& reading, RemoteMemory& memory, const BareTextMessage& m,
                    std::span<const std::uintptr_t> items, std::vector<std::u16string>& texts,
                    std::vector<BareText>& fates)
{
    std::vector<Slot> slots;
    for (std::size_t first = 0; first < items.size(); first += batchItems) {
        const auto batch = items.subspan(first, std::min(batchItems, items.size() - first));
        slots.clear();
        for (std::uintptr_t item : batch) {
            MessageResult r = reading.send(m.window, m.lengthMessage, item, 0);
            if (!r.delivered)
                return false;
            slots.push_back({statedLength(m, r.answer), 0, ownerDrawn(m, r.answer)});
        }
        // Consecutive buffers share a block up to the size of a batch of
        // structures; a longer text gets a block of its own.
        for (std::size_t begin = 0; begin < slots.size();) {
            std::size_t end = begin, bytes = 0;
            for (; end < slots.size(); ++end) {
                const std::size_t need = 2 * capacityFor(slots[end].length.value_or(0));
                if (end > begin && bytes + need > batchBlockBytes)
                    break;
                slots[end].offset = bytes;
                bytes += need;
            }
            if (!fetchGroup(reading, memory, m, batch.subspan(begin, end - begin),
                            std::span<const Slot>(slots).subspan(begin, end - begin), bytes, texts, fates))
                return false;
            begin = end;
        }
    }
    return true;
}

} // namespace quorvel
