#include "mainwindow/win32/ThreadReadRunner.h"

#include "desktop/win32/ComApartment.h"
#include "desktop/win32/Win32Accessible.h"
#include "listreader/ListItemReader.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <stdexcept>

namespace quorvel {

struct ThreadReadRunner::Shared {
    explicit Shared(HWND w) : window(w), idle(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    ~Shared()
    {
        if (idle)
            ::CloseHandle(idle);
    }
    const HWND window;
    // Set while no read holds anything in a target.
    const HANDLE idle;
    Win32Desktop desktop;
    std::mutex mutex;
    std::condition_variable wake;
    std::shared_ptr<ReadMailbox> next; // the read to start
    WindowHandle nextTarget = 0;
    bool quit = false;
};

namespace {

void wakeWindow(HWND window, ReadMailbox& mailbox, bool needed)
{
    if (needed && !::PostMessageW(window, ThreadReadRunner::wakeMessage, static_cast<WPARAM>(mailbox.read), 0))
        mailbox.wakeFailed();
}

class WorkerControl : public ReadControl {
public:
    WorkerControl(HWND window, ReadMailbox& mailbox) : window_(window), mailbox_(mailbox) {}
    bool cancelled() override { return mailbox_.cancelled.load(std::memory_order_relaxed); }
    void progress(const Listing& listing) override
    {
        if (auto batch = feed.grown(listing, steadyMs()))
            wakeWindow(window_, mailbox_, mailbox_.put(*batch));
    }
    RowFeed feed;

private:
    HWND window_;
    ReadMailbox& mailbox_;
};

void runOne(ThreadReadRunner::Shared& s, WindowHandle target, ReadMailbox& mailbox, AccessibleWindows& accessible)
{
    WorkerControl control(s.window, mailbox);
    Listing listing;
    RowBatch last;
    try {
        listing = readListItems(s.desktop, target, control, {&accessible});
        last = control.feed.rest(listing);
    } catch (const std::bad_alloc&) {
        // The listing could not be held: the read ends, what it held is gone.
        listing = Listing();
        listing.handle = target;
        listing.end = ReadEnd::outOfMemory;
    } catch (const std::length_error&) {
        listing = Listing();
        listing.handle = target;
        listing.end = ReadEnd::outOfMemory;
    }
    ::SetEvent(s.idle); // the read has let go of the target
    wakeWindow(s.window, mailbox, mailbox.finish(last, std::move(listing)));
}

void work(const std::shared_ptr<ThreadReadRunner::Shared>& s)
{
    // Each read releases every accessible object it got before it ends.
    ComApartment apartment;
    Win32AccessibleWindows accessible;
    for (;;) {
        std::shared_ptr<ReadMailbox> mailbox;
        WindowHandle target = 0;
        {
            std::unique_lock lock(s->mutex);
            s->wake.wait(lock, [&] { return s->next || s->quit; });
            if (s->quit)
                return;
            mailbox = std::move(s->next);
            target = s->nextTarget;
        }
        runOne(*s, target, *mailbox, accessible);
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
    }
    if (current_)
        current_->cancelled = true;
    shared_->wake.notify_one();
    // A worker still in a message at the end of the process is let go: it
    // holds all it uses, and the process ends it.
    worker_.detach();
}

void ThreadReadRunner::start(WindowHandle target, std::uint64_t read)
{
    current_ = std::make_shared<ReadMailbox>(read);
    ::ResetEvent(shared_->idle);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->next = current_;
        shared_->nextTarget = target;
    }
    shared_->wake.notify_one();
    ::SetTimer(shared_->window, pollTimerId, pollMs, nullptr);
}

void ThreadReadRunner::cancel()
{
    if (current_)
        current_->cancelled.store(true, std::memory_order_relaxed);
}

void ThreadReadRunner::deliver(std::uint64_t read, ReadController& controller)
{
    // Only the read now running has anything left to hand on: the others
    // have ended, and their wake-ups are stale.
    if (!current_ || (read && read != current_->read))
        return;
    const std::shared_ptr<ReadMailbox> mailbox = current_;
    ReadMailbox::Taken taken = mailbox->take();
    if (taken.listing) {
        current_.reset();
        ::KillTimer(shared_->window, pollTimerId);
        controller.readFinished(mailbox->read, taken.batch, std::move(*taken.listing));
    } else if (taken.batch.any()) {
        controller.readProgress(mailbox->read, taken.batch);
    }
}

bool ThreadReadRunner::waitIdle(DWORD ms)
{
    return ::WaitForSingleObject(shared_->idle, ms) == WAIT_OBJECT_0;
}

} // namespace quorvel
