#include "listreader/StatusBarReader.h"

#include "listreader/Answers.h"
#include "listreader/BareTexts.h"
#include "listreader/ControlMessages.h"
#include "listreader/RemoteTexts.h"

#include <algorithm>

namespace quorvel {

namespace {

// A status bar has at most 256 parts, and index 255 names the part of simple
// mode: a claim of more is a lie.
constexpr std::int32_t maxParts = 255;

} // namespace

void readStatusBar(Reading& reading, WindowHandle bar)
{
    reading.listing.kind = ListKind::statusBar;
    MessageResult simple = reading.send(bar, win::SB_ISSIMPLE, 0, 0);
    if (!simple.delivered)
        return;
    std::vector<std::uintptr_t> parts;
    if (low32(simple.answer) != 0) {
        parts.push_back(win::SB_SIMPLEID);
    } else {
        MessageResult claimed = reading.send(bar, win::SB_GETPARTS, 0, 0);
        if (!claimed.delivered)
            return;
        for (std::int32_t i = 0; i < std::min(low32(claimed.answer), maxParts); ++i)
            parts.push_back(static_cast<std::uintptr_t>(i));
    }
    if (parts.empty())
        return;
    RemoteMemory memory(reading.desktop, bar, batchBlockBytes);
    if (!reading.opened(memory, bar))
        return;
    std::vector<std::u16string> texts;
    std::vector<bool> failed;
    fetchBareTexts(reading, memory, {bar, win::SB_GETTEXTLENGTHW, win::SB_GETTEXTW, true}, parts, texts, failed);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!failed[i])
            reading.listing.addItem(texts[i]);
    }
    reading.progress();
}

} // namespace quorvel
