// Runs reads on a worker thread with a desktop of its own, so the window
// keeps answering while a target is slow, hung or huge. One worker takes one
// read at a time. Each read puts its rows and its listing in a mailbox and
// wakes the window with a message carrying the read's number; a timer takes
// from the mailbox as well, so a wake-up lost to a full queue costs a moment,
// never a read. A read that waits longer than a message may take in a call
// with no time limit of its own (an accessible object's program that hangs)
// is given up on that timer: it ends "not answering" with the rows it put,
// its worker is left to end by itself, and the next read gets a fresh one.
#pragma once

#include "desktop/win32/Win32Desktop.h"
#include "listreader/ListItemReader.h"
#include "mainwindow/ReadController.h"
#include "reading/ReadMailbox.h"

#include <memory>
#include <windows.h>

namespace quorvel {

class ThreadReadRunner : public ReadRunner {
public:
    // wParam: the number of the read that has rows or its end for the window.
    static constexpr UINT wakeMessage = WM_APP + 1;
    // While a read runs: takes what it has, in case a wake-up was lost, and
    // gives it up when it is stuck.
    static constexpr UINT pollTimerId = 3;
    static constexpr UINT pollMs = 250;

    explicit ThreadReadRunner(HWND window);
    ~ThreadReadRunner() override;

    void start(WindowHandle target, std::uint64_t read, std::optional<Point> at) override;
    void cancel() override;

    // On the window's thread: hands what the read numbered read (0: the one
    // running) has for the window on to the controller.
    void deliver(std::uint64_t read, ReadController& controller);
    // Waits at most ms for the reading thread to let go of its target: until
    // no read holds anything there, or the read waits in a call with no time
    // limit, which holds nothing there that waiting would free.
    void waitLetGo(DWORD ms);
    // Whether a worker given up, or left busy when its window went, is still
    // out, maybe stuck in a call: the process must then end without tearing
    // down what that worker holds.
    static bool workerLeft();

    struct Worker;

private:
    void newWorker();

    HWND window_;
    std::shared_ptr<Worker> worker_;
    std::shared_ptr<ReadMailbox> current_;
};

} // namespace quorvel
