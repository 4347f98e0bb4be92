// One read in progress: where it sends its messages, where its items go, and
// how it ended. Every message to the target goes through send, which asks
// first whether the read was cancelled and sends nothing once it has stopped,
// so a cancel takes effect before the next message, whatever the reader is
// doing, and an unanswered message ends the read with its reason.
#pragma once

#include "desktop/Accessible.h"
#include "desktop/OtherWindows.h"
#include "desktop/RemoteMemory.h"
#include "listing/Listing.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace quorvel {

// How the one who started a read follows it: asked before every message,
// and shown the listing each time it has grown, on the reading thread, so
// that it can take the new rows while the read goes on.
class ReadControl {
public:
    virtual ~ReadControl() = default;
    virtual bool cancelled() = 0;
    virtual void progress(const Listing& listing) = 0;
    // Around each question to an accessible object of another program, which
    // has no time limit of its own: between the two, the read may be stuck
    // for as long as that program takes.
    virtual void callStarted() {}
    virtual void callReturned() {}
};

class Reading {
public:
    Reading(OtherWindows& desktop, ReadControl& control, Listing& listing)
        : desktop(desktop), listing(listing), control_(control)
    {
    }

    OtherWindows& desktop;
    Listing& listing;
    // Whether the items' states are read too, where the list has them: it
    // costs up to a message per item, so only when they are wanted.
    bool states = false;

    // Not sent (and not delivered) once the read has stopped or is cancelled;
    // one that goes unanswered stops the read, telling a gone window from a
    // hung one and a refusal from both.
    MessageResult send(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // OtherWindows::fetchText, under the same rules.
    MessageResult fetchText(WindowHandle window, unsigned message, std::uintptr_t index, std::size_t capacity,
                            std::u16string& text);

    // One question to an accessible object of window's program, under the
    // rules of send: not asked once the read has stopped or is cancelled
    // (unanswered then), and told to the control as it starts and returns.
    // A program gone stops the read, and so does one that does not answer; a
    // refusal from a window that is no more counts as gone.
    AccessAnswer ask(WindowHandle window, const std::function<AccessAnswer()>& question);

    // Whether the target's memory was had; if not, stops the read with why.
    bool opened(const RemoteMemory& memory, WindowHandle window);
    // Bytes written to, or read back from, a block of the target's memory (at
    // is 0 when no block could be had); a failure stops the read.
    bool written(RemoteMemory& memory, RemoteAddress at, std::span<const std::uint8_t> bytes);
    bool readBack(RemoteMemory& memory, RemoteAddress at, std::span<std::uint8_t> bytes);

    bool stopped() const { return end_ != ReadEnd::complete; }
    ReadEnd end() const { return end_; }
    // The first reason a read stops for is the one it ended with.
    void stop(ReadEnd why)
    {
        if (!stopped())
            end_ = why;
    }

    // Shows the control the listing as it is now.
    void progress() { control_.progress(listing); }

private:
    bool mayContinue();
    void stopUnanswered(WindowHandle window, const MessageResult& r);

    ReadControl& control_;
    ReadEnd end_ = ReadEnd::complete;
};

} // namespace quorvel
