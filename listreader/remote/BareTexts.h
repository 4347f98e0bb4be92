// Texts of controls whose text message takes a bare character buffer and no
// size (SB_GETTEXTW, TB_GETBUTTONTEXTW): the control copies the whole text,
// so each buffer is sized from the control's own length answer first, with
// room to spare for a text that grew since, and a text that ran past its
// buffer all the same counts for nothing.
#pragma once

#include "desktop/RemoteMemory.h"
#include "listreader/Reading.h"

#include <span>
#include <string>
#include <vector>

namespace quorvel {

struct BareTextMessage {
    WindowHandle window;
    unsigned lengthMessage; // wParam the item, lParam 0
    unsigned textMessage;   // wParam the item, lParam the buffer
    // A status bar's answers: the length is their low word, the part's
    // drawing type their high word.
    bool lengthInLowWord;
};

// What became of one item's text: had whole; there but not to be had whole
// (an error answer, a length past any text's, a text that ran past its
// buffer); or no text at all (a part its owner draws).
enum class BareText { text, unreadable, notText };

// Appends one text and its fate per item, in order; an item without its text
// gives an empty one. Returns false when the read must stop, which then holds
// why; texts then hold the items answered before that.
bool fetchBareTexts(Reading& reading, RemoteMemory& memory, const BareTextMessage& m,
                    std::span<const std::uintptr_t> items, std::vector<std::u16string>& texts,
                    std::vector<BareText>& fates);

} // namespace quorvel
