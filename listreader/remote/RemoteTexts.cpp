#include "listreader/remote/RemoteTexts.h"

#include "listreader/Answers.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace quorvel {

namespace {

// The structure for a query, pointing at a text slot of slotCapacity characters.
void putQuery(std::span<std::uint8_t> s, const ItemLayout& l, const TextQuery& q, RemoteAddress slot,
              std::size_t slotCapacity)
{
    std::fill(s.begin(), s.end(), std::uint8_t{0});
    putU32(s, l.mask, q.mask);
    if (l.subItem != ItemLayout::npos)
        putU32(s, l.subItem, static_cast<std::uint32_t>(q.subItem));
    if (l.handle != ItemLayout::npos)
        putPointer(s, l.handle, q.handle, l.pointerBytes);
    putPointer(s, l.text, slot, l.pointerBytes);
    putU32(s, l.textMax, static_cast<std::uint32_t>(slotCapacity));
}

enum class Outcome { text, failed, fillsSlot };

// What one answered query gave: the text in its slot, text the control
// pointed at instead (read back within the answered length), or nothing.
Outcome takeText(RemoteMemory& memory, const TextMessage& m, std::intptr_t answer,
                 std::span<const std::uint8_t> structure, RemoteAddress slotAddress, std::span<const std::uint8_t> slot,
                 std::u16string& text)
{
    text.clear();
    const std::int32_t n = low32(answer);
    if (m.answerIsLength ? n < 0 : n == 0)
        return Outcome::failed;
    const std::size_t bound = m.answerIsLength ? static_cast<std::size_t>(n) : maxTextChars;
    const RemoteAddress pointed = getPointer(structure, m.layout.text, m.layout.pointerBytes);
    if (pointed != slotAddress) {
        if (bound > maxTextChars)
            return Outcome::failed;
        std::optional<std::u16string> own = memory.readText(pointed, bound);
        if (!own)
            return Outcome::failed;
        text = std::move(*own);
        return Outcome::text;
    }
    const std::size_t capacity = slot.size() / 2;
    std::size_t length = 0;
    while (length < capacity && (slot[2 * length] | slot[2 * length + 1]) != 0)
        ++length;
    if (length + 1 >= capacity)
        return Outcome::fillsSlot;
    length = std::min(length, bound);
    for (std::size_t i = 0; i < length; ++i)
        text += static_cast<char16_t>(slot[2 * i] | slot[2 * i + 1] << 8);
    return Outcome::text;
}

bool sendOne(Reading& reading, const TextMessage& m, const TextQuery& q, RemoteAddress structure, std::intptr_t& answer)
{
    MessageResult r = reading.send(m.window, m.message, q.wParam, static_cast<std::intptr_t>(structure));
    answer = r.answer;
    return r.delivered;
}

// Fetches a text too long for its slot on its own, with ever larger buffers
// up to the most characters a text may have; whole is false when it can't be
// had whole (a failed answer, or longer than any text may be, which is not
// shown cut). false: the read must stop.
bool refetch(Reading& reading, RemoteMemory& memory, const TextMessage& m, const TextQuery& q, std::size_t capacity,
             std::u16string& text, bool& whole)
{
    const ItemLayout& l = m.layout;
    std::vector<std::uint8_t> bytes;
    whole = false;
    while (capacity <= maxTextChars) {
        capacity = std::min(capacity * 4, maxTextChars + 1);
        const std::size_t total = l.size + capacity * 2;
        const RemoteAddress base = memory.block(total);
        bytes.assign(total, 0);
        putQuery(std::span(bytes).first(l.size), l, q, base + l.size, capacity);
        std::intptr_t answer = 0;
        if (!reading.written(memory, base, bytes) || !sendOne(reading, m, q, base, answer) ||
            !reading.readBack(memory, base, bytes))
            return false;
        const auto structure = std::span<const std::uint8_t>(bytes).first(l.size);
        const Outcome o = takeText(memory, m, answer, structure, base + l.size, std::span(bytes).subspan(l.size), text);
        if (o != Outcome::fillsSlot) {
            whole = o == Outcome::text;
            return true;
        }
        if (capacity > maxTextChars)
            break;
    }
    text.clear();
    return true;
}

} // namespace

// A batch is laid out as its structures, then one text slot per structure.
bool fetchTexts(Reading& reading, RemoteMemory& memory, const TextMessage& m, std::span<const TextQuery> queries,
                std::vector<std::u16string>& texts, std::vector<bool>* failed)
{
    const ItemLayout& l = m.layout;
    const std::size_t slotBytes = slotChars * 2;
    std::vector<std::uint8_t> bytes;
    std::vector<std::intptr_t> answers;
    std::u16string text;
    for (std::size_t first = 0; first < queries.size(); first += batchItems) {
        const std::size_t count = std::min(batchItems, queries.size() - first);
        const std::size_t slotsAt = count * l.size;
        const std::size_t total = slotsAt + count * slotBytes;
        const RemoteAddress base = memory.block(total);
        bytes.assign(total, 0);
        for (std::size_t i = 0; i < count; ++i)
            putQuery(std::span(bytes).subspan(i * l.size, l.size), l, queries[first + i],
                     base + slotsAt + i * slotBytes, slotChars);
        if (!reading.written(memory, base, bytes))
            return false;
        answers.clear();
        for (std::size_t i = 0; i < count; ++i) {
            std::intptr_t answer = 0;
            if (!sendOne(reading, m, queries[first + i], base + i * l.size, answer))
                break;
            answers.push_back(answer);
        }
        // Read back even after a stop: the answered structures still hold their texts.
        if (!reading.readBack(memory, base, bytes))
            return false;
        for (std::size_t i = 0; i < answers.size(); ++i) {
            const auto structure = std::span<const std::uint8_t>(bytes).subspan(i * l.size, l.size);
            const auto slot = std::span<const std::uint8_t>(bytes).subspan(slotsAt + i * slotBytes, slotBytes);
            const Outcome o = takeText(memory, m, answers[i], structure, base + slotsAt + i * slotBytes, slot, text);
            bool whole = o == Outcome::text;
            if (o == Outcome::fillsSlot && !refetch(reading, memory, m, queries[first + i], slotChars, text, whole))
                return false;
            if (failed)
                failed->push_back(!whole);
            texts.push_back(whole ? text : std::u16string());
        }
        if (answers.size() < count)
            return false;
    }
    return true;
}

} // namespace quorvel
