// Reads the list the handle field names, one read at a time, without holding
// up the window: a runner does the reading and reports back on the window's
// thread; the controller keeps the newest read, drops what older ones bring,
// and writes the item field once per read and the frame's caption as it goes.
#pragma once

#include "desktop/Desktop.h"
#include "listing/Listing.h"
#include "mainwindow/OutcomeCaption.h"

#include <cstdint>
#include <optional>

namespace quorvel {

class ReadController;

// Where reads run. start begins one read of target and returns; the runner
// reports its progress and its listing through the controller's readProgress
// and readFinished, on the window's thread, always in that order and always
// ending in one readFinished. cancel asks the running read to stop at its
// next message.
class ReadRunner {
public:
    virtual ~ReadRunner() = default;
    virtual void start(WindowHandle target, std::uint64_t read) = 0;
    virtual void cancel() = 0;
};

// Runs each read to its end inside start, on the caller's thread: for the
// fake desktop, which has no other thread.
class InlineReadRunner : public ReadRunner {
public:
    InlineReadRunner(Desktop& desktop) : desktop_(desktop) {}
    void setController(ReadController& controller) { controller_ = &controller; }
    void start(WindowHandle target, std::uint64_t read) override;
    void cancel() override { cancelled_ = true; }

private:
    Desktop& desktop_;
    ReadController* controller_ = nullptr;
    bool cancelled_ = false;
};

class ReadController {
public:
    ReadController(Desktop& desktop, ReadRunner& runner, WindowHandle txtList, WindowHandle frame);

    // Reads target, or tells that no window has it (nullopt: a value no
    // handle holds). A read running now is cancelled, and this one starts
    // once it has ended.
    void read(std::optional<WindowHandle> target);
    // Stops the running read (its items so far are shown) and the one waiting.
    void cancel();
    bool reading() const { return running_ != 0; }

    void readProgress(std::uint64_t read, std::size_t items);
    void readFinished(std::uint64_t read, Listing listing);

private:
    void startWaiting();
    void showCaption(const ReadStatus& status);

    Desktop& desktop_;
    ReadRunner& runner_;
    WindowHandle txtList_, frame_;
    // Reads are numbered from 1; 0 names none.
    std::uint64_t newest_ = 0;
    std::uint64_t running_ = 0;
    std::optional<WindowHandle> waiting_;
    WindowHandle runningTarget_ = 0;
};

} // namespace quorvel
