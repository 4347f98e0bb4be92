#include "mainwindow/win32/ThreadReadRunner.h"

#include "desktop/win32/ComApartment.h"
#include "desktop/win32/Win32Accessible.h"
#include "reading/Pace.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

namespace quorvel {

namespace {

// Workers given up and not yet ended, for the whole process.
std::atomic<int> workersLeft{0};

} // namespace

// One reading thread and what it shares with the window: kept alive by both,
// so that a worker stuck in a call when the window goes touches nothing freed.
struct ThreadReadRunner::Worker {
    explicit Worker(HWND w) : window(w), idle(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    ~Worker()
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
    std::optional<Point> nextAt;
    bool quit = false;
    bool givenUp = false;
};

namespace {

void wakeWindow(HWND window, ReadMailbox& mailbox)
{
    if (mailbox.claimWake() &&
        !::PostMessageW(window, ThreadReadRunner::wakeMessage, static_cast<WPARAM>(mailbox.read), 0))
        mailbox.wakeFailed();
}

// Puts every row in the mailbox as soon as it is read, so that a read given
// up shows all it read; wakes the window at the pace its field takes them.
class WorkerControl : public ReadControl {
public:
    WorkerControl(HWND window, ReadMailbox& mailbox) : window_(window), mailbox_(mailbox) {}
    bool cancelled() override { return mailbox_.cancelled.load(std::memory_order_relaxed); }
    void progress(const Listing& listing) override
    {
        mailbox_.put(feed.next(listing));
        if (pace_.due(steadyMs()))
            wakeWindow(window_, mailbox_);
    }
    void callStarted() override { mailbox_.watch.beat(steadyMs()); }
    void callReturned() override { mailbox_.watch.beat(steadyMs()); }
    RowFeed feed;

private:
    HWND window_;
    ReadMailbox& mailbox_;
    Pace pace_;
};

Listing outOfMemory(WindowHandle target)
{
    Listing listing;
    listing.handle = target;
    listing.end = ReadEnd::outOfMemory;
    return listing;
}

void runOne(ThreadReadRunner::Worker& w, WindowHandle target, std::optional<Point> at, ReadMailbox& mailbox,
            AccessibleWindows& accessible)
{
    WorkerControl control(w.window, mailbox);
    Listing listing;
    RowBatch last;
    try {
        listing = readListItems(w.desktop, target, control, {&accessible, at});
        last = control.feed.next(listing);
    } catch (const std::bad_alloc&) {
        // The listing could not be held: the read ends, what it held is gone.
        listing = outOfMemory(target);
    } catch (const std::length_error&) {
        listing = outOfMemory(target);
    }
    mailbox.watch.finish();
    ::SetEvent(w.idle); // the read has let go of the target
    mailbox.finish(last, std::move(listing));
    wakeWindow(w.window, mailbox);
}

void work(const std::shared_ptr<ThreadReadRunner::Worker>& w)
{
    {
        // Each read releases every accessible object it got before it ends.
        ComApartment apartment;
        Win32AccessibleWindows accessible;
        for (;;) {
            std::shared_ptr<ReadMailbox> mailbox;
            WindowHandle target = 0;
            std::optional<Point> at;
            {
                std::unique_lock lock(w->mutex);
                w->wake.wait(lock, [&] { return w->next || w->quit; });
                if (w->quit)
                    break;
                mailbox = std::move(w->next);
                target = w->nextTarget;
                at = w->nextAt;
            }
            runOne(*w, target, at, *mailbox, accessible);
        }
    }
    std::lock_guard lock(w->mutex);
    if (w->givenUp)
        --workersLeft;
}

} // namespace

ThreadReadRunner::ThreadReadRunner(HWND window) : window_(window)
{
    newWorker();
}

void ThreadReadRunner::newWorker()
{
    worker_ = std::make_shared<Worker>(window_);
    // Let go at once: it holds all it uses, and the process may end it.
    std::thread([w = worker_] { work(w); }).detach();
}

ThreadReadRunner::~ThreadReadRunner()
{
    if (current_)
        current_->cancelled = true;
    const bool busy = ::WaitForSingleObject(worker_->idle, 0) != WAIT_OBJECT_0;
    {
        std::lock_guard lock(worker_->mutex);
        worker_->quit = true;
        worker_->givenUp = busy;
        workersLeft += busy;
    }
    worker_->wake.notify_one();
}

void ThreadReadRunner::start(WindowHandle target, std::uint64_t read, std::optional<Point> at)
{
    current_ = std::make_shared<ReadMailbox>(read);
    ::ResetEvent(worker_->idle);
    {
        std::lock_guard lock(worker_->mutex);
        worker_->next = current_;
        worker_->nextTarget = target;
        worker_->nextAt = at;
    }
    worker_->wake.notify_one();
    ::SetTimer(window_, pollTimerId, pollMs, nullptr);
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
        ::KillTimer(window_, pollTimerId);
        controller.readFinished(mailbox->read, taken.batch, std::move(*taken.listing));
        return;
    }
    if (!mailbox->watch.stuck(steadyMs())) {
        if (taken.batch.any())
            controller.readProgress(mailbox->read, taken.batch);
        return;
    }
    // Stuck in a call that may never return: the worker is left to end by
    // itself, dropping what it gets, and the next read gets a fresh one.
    mailbox->cancelled = true;
    {
        std::lock_guard lock(worker_->mutex);
        worker_->quit = worker_->givenUp = true;
        ++workersLeft;
    }
    worker_->wake.notify_one();
    newWorker();
    current_.reset();
    ::KillTimer(window_, pollTimerId);
    controller.readGivenUp(mailbox->read, taken.batch);
}

void ThreadReadRunner::waitLetGo(DWORD ms)
{
    // A question to an accessible object takes a moment; one in flight for
    // longer is one the program may never answer.
    constexpr std::uint64_t callMs = 250;
    const std::uint64_t until = steadyMs() + ms;
    while (::WaitForSingleObject(worker_->idle, 50) != WAIT_OBJECT_0 && steadyMs() < until) {
        if (current_ && current_->watch.stuck(steadyMs(), callMs))
            return;
    }
}

bool ThreadReadRunner::workerLeft()
{
    return workersLeft.load() > 0;
}

} // namespace quorvel
