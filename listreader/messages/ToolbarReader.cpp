#include "listreader/messages/ToolbarReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/remote/BareTexts.h"
#include "listreader/remote/RemoteCount.h"
#include "listreader/remote/RemoteTexts.h"

#include <algorithm>

namespace quorvel {

namespace {

// The commands of buttons [first, first + count) that are no separators, as
// TB_GETBUTTON fills their structures, a batch of them in one block. False
// when the read must stop.
bool buttonCommands(Reading& reading, RemoteMemory& memory, WindowHandle toolbar, std::int32_t first,
                    std::int32_t count, std::vector<std::uintptr_t>& commands)
{
    const ButtonLayout layout = toolbarButtonLayout(memory.pointerBytes());
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * layout.size, 0);
    const RemoteAddress base = memory.block(bytes.size());
    if (!reading.written(memory, base, bytes))
        return false;
    std::vector<bool> filled;
    for (std::int32_t i = 0; i < count; ++i) {
        MessageResult r = reading.send(toolbar, win::TB_GETBUTTON, static_cast<std::uintptr_t>(first + i),
                                       static_cast<std::intptr_t>(base + i * layout.size));
        if (!r.delivered)
            break;
        filled.push_back(r.answer != 0);
    }
    if (!reading.readBack(memory, base, bytes))
        return false;
    for (std::size_t i = 0; i < filled.size(); ++i) {
        const std::size_t at = i * layout.size;
        if (filled[i] && !(bytes[at + layout.style] & win::BTNS_SEP))
            commands.push_back(
                static_cast<std::uintptr_t>(static_cast<std::intptr_t>(getI32(bytes, at + layout.command))));
    }
    return filled.size() == static_cast<std::size_t>(count);
}

} // namespace

void readToolbar(Reading& reading, WindowHandle toolbar)
{
    reading.listing.kind = ListKind::toolbar;
    MessageResult claimed = reading.send(toolbar, win::TB_BUTTONCOUNT, 0, 0);
    if (!claimed.delivered || low32(claimed.answer) <= 0)
        return;
    RemoteMemory memory(reading.desktop, toolbar, batchBlockBytes);
    if (!reading.opened(memory, toolbar))
        return;
    // TB_GETBUTTON answers FALSE past the last button.
    const std::size_t buttonBytes = toolbarButtonLayout(memory.pointerBytes()).size;
    const std::int32_t buttons =
        realRemoteCount(reading, memory, {toolbar, win::TB_GETBUTTON, buttonBytes}, low32(claimed.answer));
    const BareTextMessage m{toolbar, win::TB_GETBUTTONTEXTW, win::TB_GETBUTTONTEXTW, false};
    std::vector<std::uintptr_t> commands;
    std::vector<std::u16string> texts;
    std::vector<BareText> fates;
    std::size_t rounds = 0;
    for (std::int32_t first = 0, round = 0; first < buttons; first += round) {
        round = std::min(static_cast<std::int32_t>(roundItems(rounds++)), buttons - first);
        commands.clear();
        texts.clear();
        fates.clear();
        const bool all = buttonCommands(reading, memory, toolbar, first, round, commands);
        const bool complete = fetchBareTexts(reading, memory, m, commands, texts, fates) && all;
        // A button without text is no item; one whose text fails is one that can't be read.
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (fates[i] == BareText::unreadable)
                reading.listing.addUnreadableItem();
            else if (!texts[i].empty())
                reading.listing.addItem(texts[i]);
        }
        reading.progress();
        if (!complete)
            break;
    }
}

} // namespace quorvel
