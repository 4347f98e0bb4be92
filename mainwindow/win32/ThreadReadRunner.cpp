#include "mainwindow/win32/ThreadReadRunner.h"

#include "desktop/win32/ComApartment.h"
#include "desktop/win32/Win32Accessible.h"
#include "listreader/ListItemReader.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace quorvel {

struct ThreadReadRunner::Shared {
    explicit Shared(HWND w) : window(w) {}
    const HWND window;
    Win32Desktop desktop;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<WindowHandle> next; // the read to start
    bool quit = false;
};

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

void work(const std::shared_ptr<ThreadReadRunner::Shared>& s)
{
    // Each read releases every accessible object it got before it ends.
    ComApartment apartment;
    Win32AccessibleWindows accessible;
    for (;;) {
        WindowHandle target = 0;
        {
            std::unique_lock lock(s->mutex);
            s->wake.wait(lock, [&] { return s->next || s->quit; });
            if (s->quit)
                return;
            target = *s->next;
            s->next.reset();
        }
        WorkerControl control(s->window, s->cancelled);
        auto* listing = new Listing(readListItems(s->desktop, target, control, {&accessible}));
        if (!::PostMessageW(s->window, ThreadReadRunner::finishedMessage, 0, reinterpret_cast<LPARAM>(listing)))
            delete listing; // the window is gone
    }
}

} // namespace

ThreadReadRunner::ThreadReadRunner(HWND window)
    : shared_(std::make_shared<Shared>(window)), worker_([s = shared_] { work(s); })
{
}

ThreadReadRunner::~ThreadReadRunner()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->quit = true;
        shared_->cancelled = true;
    }
    shared_->wake.notify_one();
    // A worker still in a message at the end of the process is let go: it
    // holds all it uses, and the process ends it.
    worker_.detach();
}

void ThreadReadRunner::start(WindowHandle target, std::uint64_t read)
{
    read_ = read;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->cancelled = false;
        shared_->next = target;
    }
    shared_->wake.notify_one();
}

void ThreadReadRunner::cancel()
{
    shared_->cancelled.store(true, std::memory_order_relaxed);
}

Listing ThreadReadRunner::takeListing(LPARAM lParam)
{
    std::unique_ptr<Listing> listing(reinterpret_cast<Listing*>(lParam));
    return std::move(*listing);
}

} // namespace quorvel
