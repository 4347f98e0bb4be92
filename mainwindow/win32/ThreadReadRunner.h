// Runs reads on a worker thread with a desktop of its own, so the window
// keeps answering while a target is slow, hung or huge. One thread for the
// life of the window takes one read at a time (the controller never starts a
// read before the last one has ended); it posts its progress and its listing
// to the window, which hands them to the controller.
#pragma once

#include "desktop/win32/Win32Desktop.h"
#include "mainwindow/ReadController.h"

#include <memory>
#include <thread>
#include <windows.h>

namespace quorvel {

class ThreadReadRunner : public ReadRunner {
public:
    // wParam: the items read so far.
    static constexpr UINT progressMessage = WM_APP + 1;
    // lParam: the Listing, which the window takes over with takeListing.
    static constexpr UINT finishedMessage = WM_APP + 2;
    // The least time between two progress messages: each repaints the frame's
    // caption, which on a busy single CPU takes time from the read itself.
    static constexpr ULONGLONG progressIntervalMs = 250;

    explicit ThreadReadRunner(HWND window);
    ~ThreadReadRunner() override;

    void start(WindowHandle target, std::uint64_t read) override;
    void cancel() override;

    // The read now running, whose messages are the only ones in the queue.
    std::uint64_t read() const { return read_; }
    static Listing takeListing(LPARAM lParam);

    struct Shared;

private:
    // Shared with the worker, so that a worker still stuck in a message when
    // the window goes touches nothing freed.
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    std::uint64_t read_ = 0;
};

} // namespace quorvel
