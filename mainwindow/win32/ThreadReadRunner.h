// Runs reads on a worker thread with a desktop of its own, so the window
// keeps answering while a target is slow, hung or huge. One thread for the
// life of the window takes one read at a time (the controller never starts a
// read before the last one has ended). Each read puts its rows and its
// listing in a mailbox and wakes the window with a message carrying the
// read's number; a timer takes from the mailbox as well, so a wake-up lost
// to a full queue costs a moment, never a read.
#pragma once

#include "desktop/win32/Win32Desktop.h"
#include "mainwindow/ReadController.h"
#include "mainwindow/ReadMailbox.h"

#include <memory>
#include <thread>
#include <windows.h>

namespace quorvel {

class ThreadReadRunner : public ReadRunner {
public:
    // wParam: the number of the read that has rows or its end for the window.
    static constexpr UINT wakeMessage = WM_APP + 1;
    // While a read runs: takes what it has, in case a wake-up was lost.
    static constexpr UINT pollTimerId = 3;
    static constexpr UINT pollMs = 500;

    explicit ThreadReadRunner(HWND window);
    ~ThreadReadRunner() override;

    void start(WindowHandle target, std::uint64_t read) override;
    void cancel() override;

    // On the window's thread: hands what the read numbered read (0: the one
    // running) has for the window on to the controller.
    void deliver(std::uint64_t read, ReadController& controller);
    // Waits at most ms for the reading thread to let go of its target; true
    // once no read holds anything there.
    bool waitIdle(DWORD ms);

    struct Shared;

private:
    // Shared with the worker, so that a worker still stuck in a message when
    // the window goes touches nothing freed.
    std::shared_ptr<Shared> shared_;
    std::shared_ptr<ReadMailbox> current_;
    std::thread worker_;
};

} // namespace quorvel
