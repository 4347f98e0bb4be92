// One read in progress: where it sends its messages, where its items go, and
// how it ended. Every message to the target goes through send, which asks
// first whether the read was cancelled and sends nothing once it has stopped,
// so a cancel takes effect before the next message, whatever the reader is
// doing, and an unanswered message ends the read with its reason.
#pragma once

#include "desktop/Accessible.h"
#include "desktop/Clock.h"
#include "desktop/OtherWindows.h"
#include "desktop/RemoteMemory.h"
#include "listing/Listing.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>

namespace quorvel {

// How the one who started a read follows it: asked before every message,
// and shown the listing each time it has grown, on the reading thread, so
// that it can take the new rows while the read goes on (and let go of them:
// Listing::forgetRows). Told of every call into the target while it is
// inside, a message or an accessible object's question or release.
class ReadControl : public CallObserver {
public:
    virtual bool cancelled() = 0;
    virtual void progress(Listing& listing) = 0;
    void callStarted(bool) override {}
    void callReturned() override {}
    // The clock and the pause that asking a busy program again is timed by.
    virtual std::uint64_t nowMs() { return steadyMs(); }
    virtual void pause(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
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
    // (unanswered then). A program that turns it away as busy is asked again
    // after a pause, for as long as a message may take from the first ask.
    // A program gone stops the read, and so does one that does not answer
    // (or stays busy); a refusal from a window that is no more counts as gone.
    AccessAnswer ask(WindowHandle window, const std::function<AccessAnswer()>& question);
    // Where the objects a read asks tell their calls.
    CallObserver& observer() { return control_; }

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

    // How long a busy program is waited for between asks.
    static constexpr std::uint32_t busyPauseMs = 20;

private:
    bool mayContinue();
    void stopUnanswered(WindowHandle window, const MessageResult& r);

    ReadControl& control_;
    ReadEnd end_ = ReadEnd::complete;
};

} // namespace quorvel
