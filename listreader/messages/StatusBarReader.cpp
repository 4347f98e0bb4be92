#include "listreader/messages/StatusBarReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/remote/BareTexts.h"
#include "listreader/remote/RemoteTexts.h"

#include <algorithm>

namespace quorvel {

namespace {

// A status bar has at most 256 parts, and index 255 names the part of simple
// mode: a claim of more is a lie.
constexpr std::int32_t maxParts = 255;
// No part's right edge: the status bar writes an edge for each part it has.
constexpr std::int32_t noEdge = INT32_MIN;

// The parts that exist of those SB_GETPARTS claims: as many as it fills in
// edges for. A status bar need not check the index of a part it is asked
// about, so asking past the real ones could read its memory at random.
std::int32_t realParts(Reading& reading, RemoteMemory& memory, WindowHandle bar)
{
    std::vector<std::uint8_t> edges(4 * maxParts);
    for (std::size_t i = 0; i < edges.size(); i += 4)
        putU32(edges, i, static_cast<std::uint32_t>(noEdge));
    const RemoteAddress at = memory.block(edges.size());
    if (!reading.written(memory, at, edges))
        return 0;
    MessageResult claimed = reading.send(bar, win::SB_GETPARTS, maxParts, static_cast<std::intptr_t>(at));
    if (!claimed.delivered || !reading.readBack(memory, at, edges))
        return 0;
    std::int32_t filled = 0;
    while (filled < std::min(low32(claimed.answer), maxParts) && getI32(edges, 4 * filled) != noEdge)
        ++filled;
    return filled;
}

} // namespace

void readStatusBar(Reading& reading, WindowHandle bar)
{
    reading.listing.kind = ListKind::statusBar;
    MessageResult simple = reading.send(bar, win::SB_ISSIMPLE, 0, 0);
    if (!simple.delivered)
        return;
    RemoteMemory memory(reading.desktop, bar, batchBlockBytes);
    if (!reading.opened(memory, bar))
        return;
    std::vector<std::uintptr_t> parts;
    if (low32(simple.answer) != 0) {
        parts.push_back(win::SB_SIMPLEID);
    } else {
        const std::int32_t count = realParts(reading, memory, bar);
        for (std::int32_t i = 0; i < count; ++i)
            parts.push_back(static_cast<std::uintptr_t>(i));
    }
    std::vector<std::u16string> texts;
    std::vector<BareText> fates;
    fetchBareTexts(reading, memory, {bar, win::SB_GETTEXTLENGTHW, win::SB_GETTEXTW, true}, parts, texts, fates);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (fates[i] == BareText::text)
            reading.listing.addItem(texts[i]);
        else if (fates[i] == BareText::unreadable)
            reading.listing.addUnreadableItem();
    }
    reading.progress();
}

} // namespace quorvel
