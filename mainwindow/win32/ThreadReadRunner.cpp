#include "mainwindow/win32/ThreadReadRunner.h"

#include "listreader/ListItemReader.h"

#include <system_error>

namespace quorvel {

namespace {

class WorkerControl : public ReadControl {
public:
    WorkerControl(HWND window, const std::atomic<bool>& cancelled) : window_(window), cancelled_(cancelled) {}
    bool cancelled() override { return cancelled_.load(std::memory_order_relaxed); }
    void progress(std::size_t items) override
    {
        const ULONGLONG now = ::GetTickCount64();
        if (now - last_ < ThreadReadRunner::progressIntervalMs)
            return;
        last_ = now;
        ::PostMessageW(window_, ThreadReadRunner::progressMessage, items, 0);
    }

private:
    HWND window_;
    const std::atomic<bool>& cancelled_;
    ULONGLONG last_ = ::GetTickCount64();
};

void post(HWND window, Listing* listing)
{
    if (!::PostMessageW(window, ThreadReadRunner::finishedMessage, 0, reinterpret_cast<LPARAM>(listing)))
        delete listing; // the window is gone
}

} // namespace

ThreadReadRunner::ThreadReadRunner(HWND window) : window_(window), desktop_(std::make_shared<Win32Desktop>()) {}

ThreadReadRunner::~ThreadReadRunner()
{
    if (!worker_.joinable())
        return;
    cancel();
    // Still in a message at the end of the process: let it go, it holds all it uses.
    worker_.detach();
}

void ThreadReadRunner::start(WindowHandle target, std::uint64_t read)
{
    joinWorker();
    read_ = read;
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    try {
        worker_ = std::thread([window = window_, desktop = desktop_, cancelled = cancelled_, target] {
            WorkerControl control(window, *cancelled);
            post(window, new Listing(readListItems(*desktop, target, control)));
        });
    } catch (const std::system_error&) {
        // No thread to be had: the read ends before it began.
        auto* none = new Listing;
        none->handle = target;
        none->end = ReadEnd::cancelled;
        post(window_, none);
    }
}

void ThreadReadRunner::cancel()
{
    if (cancelled_)
        cancelled_->store(true, std::memory_order_relaxed);
}

Listing ThreadReadRunner::takeListing(LPARAM lParam)
{
    std::unique_ptr<Listing> listing(reinterpret_cast<Listing*>(lParam));
    return std::move(*listing);
}

void ThreadReadRunner::joinWorker()
{
    if (worker_.joinable())
        worker_.join();
}

} // namespace quorvel
