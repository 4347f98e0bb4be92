// The window's reads on the reading thread: each read's rows come to the
// window's thread as lines for the item field, at the pace the thread wakes
// the window, and a poll timer takes them too, so a wake-up lost to a full
// queue costs a moment, never a read. The poll also gives up a read stuck in
// a call into its target.
#pragma once

#include "desktop/OwnWindow.h"
#include "mainwindow/ReadController.h"
#include "reading/ReadingThread.h"

#include <functional>
#include <memory>

namespace quorvel {

class ThreadedReads : public ReadRunner {
public:
    static constexpr unsigned pollTimerId = 3;
    static constexpr unsigned pollMs = 250;

    // post: asks the window's thread to call woken with the read's number
    // soon, from any thread; false when it could not.
    ThreadedReads(OwnWindow& own, WindowHandle window, ReadingThread::MakeDesktop makeDesktop,
                  AccessibleWindows* accessible, std::function<bool(std::uint64_t read)> post,
                  std::uint64_t boundMs = answerBoundMs);

    void start(WindowHandle target, std::uint64_t read, std::optional<Point> at) override;
    void cancel() override;

    // On the window's thread: the read numbered read has news (stale
    // numbers are dropped); the poll timer ticked.
    void woken(std::uint64_t read, ReadController& controller);
    void polled(ReadController& controller);
    // Waits at most ms for the read to let go of its target.
    void waitLetGo(std::uint32_t ms) { thread_.waitLetGo(ms); }

private:
    void handOn(ReadController& controller);

    OwnWindow& own_;
    WindowHandle window_;
    std::uint64_t boundMs_;
    ReadingThread thread_;
    std::shared_ptr<ReadMailbox> current_;
};

} // namespace quorvel
