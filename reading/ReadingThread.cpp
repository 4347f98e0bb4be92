#include "reading/ReadingThread.h"

#include "reading/Pace.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

namespace quorvel {

namespace {

std::atomic<int> left{0};

} // namespace

// One reading thread and what it shares with its owner: kept alive by both,
// so that a worker inside a call when its owner goes touches nothing freed.
struct ReadingThread::Worker {
    std::mutex mutex;
    std::condition_variable changed;
    std::shared_ptr<ReadMailbox> next; // the read to start, and its job
    ReadJob job;
    std::shared_ptr<ReadMailbox> running; // the read under way
    bool busy = false;                    // a read holds something in a target
    bool quit = false;
    bool counted = false; // among the workers left
    bool ended = false;   // its thread has let go of all it held
};

namespace {

// Hands every row to the mailbox as soon as it is read, so that a read given
// up shows all it read, and times each call into the target.
class WorkerControl : public ReadControl {
public:
    WorkerControl(ReadMailbox& mailbox, const ReadJob& job, const ReadingThread::Wake& wake)
        : mailbox_(mailbox), job_(job), wake_(wake)
    {
    }
    bool cancelled() override { return mailbox_.cancelled() || (job_.cancelled && job_.cancelled()); }
    void progress(Listing& listing) override
    {
        mailbox_.hand(listing);
        if (pace_.due(steadyMs()))
            wake_(mailbox_);
    }
    void callStarted(bool bounded) override { mailbox_.watch.entered(steadyMs(), bounded); }
    void callReturned() override { mailbox_.watch.left(); }

private:
    ReadMailbox& mailbox_;
    const ReadJob& job_;
    const ReadingThread::Wake& wake_;
    Pace pace_;
};

void runOne(OtherWindows& desktop, ReadMailbox& mailbox, const ReadJob& job, const ReadingThread::Wake& wake)
{
    WorkerControl control(mailbox, job, wake);
    Listing listing;
    try {
        listing = readListItems(desktop, job.target, control, job.options);
    } catch (const std::bad_alloc&) {
        listing.end = ReadEnd::outOfMemory;
    } catch (const std::length_error&) {
        listing.end = ReadEnd::outOfMemory;
    }
    mailbox.watch.finish();
    mailbox.finish(listing);
}

void work(std::shared_ptr<ReadingThread::Worker> w, ReadingThread::MakeDesktop makeDesktop,
          AccessibleWindows* accessible, ReadingThread::Wake wake)
{
    {
        // What the thread holds to ask accessible objects, let go once every one of them is.
        const std::shared_ptr<void> scope = accessible ? accessible->enterThread() : nullptr;
        const std::shared_ptr<OtherWindows> desktop = makeDesktop();
        for (;;) {
            std::shared_ptr<ReadMailbox> mailbox;
            ReadJob job;
            {
                std::unique_lock lock(w->mutex);
                w->changed.wait(lock, [&] { return w->next || w->quit; });
                if (w->quit)
                    break;
                mailbox = std::move(w->next);
                job = std::move(w->job);
                w->running = mailbox;
            }
            job.options.accessible = accessible;
            runOne(*desktop, *mailbox, job, wake);
            {
                std::lock_guard lock(w->mutex);
                w->running.reset();
                w->busy = w->next != nullptr;
            }
            w->changed.notify_all();
            wake(*mailbox);
        }
    }
    {
        std::lock_guard lock(w->mutex);
        if (w->counted)
            --left;
        w->ended = true;
    }
    w->changed.notify_all();
}

} // namespace

ReadingThread::ReadingThread(MakeDesktop makeDesktop, AccessibleWindows* accessible, Wake wake)
    : makeDesktop_(std::move(makeDesktop)), accessible_(accessible), wake_(std::move(wake))
{
    newWorker();
}

void ReadingThread::newWorker()
{
    worker_ = std::make_shared<Worker>();
    // Let go at once: it holds all it uses, and the process may end with it inside a call.
    std::thread(work, worker_, makeDesktop_, accessible_, wake_).detach();
}

// The worker goes: at once if idle, else once its read has ended, counted
// among those left until then.
void ReadingThread::leave(bool giveUp)
{
    {
        std::lock_guard lock(worker_->mutex);
        worker_->quit = true;
        worker_->next.reset();
        worker_->counted = giveUp || worker_->busy;
        left += worker_->counted;
    }
    worker_->changed.notify_all();
}

ReadingThread::~ReadingThread()
{
    cancel();
    leave(false);
    // A worker that holds nothing ends at once: waited for, so that it has
    // left COM before the process goes on to end.
    std::unique_lock lock(worker_->mutex);
    if (!worker_->counted)
        worker_->changed.wait_for(lock, std::chrono::milliseconds(answerBoundMs), [&] { return worker_->ended; });
}

std::shared_ptr<ReadMailbox> ReadingThread::start(std::uint64_t read, ReadJob job)
{
    auto mailbox = std::make_shared<ReadMailbox>(read, job.handing);
    queue(mailbox, std::move(job));
    return mailbox;
}

void ReadingThread::queue(std::shared_ptr<ReadMailbox> mailbox, ReadJob job)
{
    {
        std::lock_guard lock(worker_->mutex);
        worker_->next = std::move(mailbox);
        worker_->job = std::move(job);
        worker_->busy = true;
    }
    worker_->changed.notify_all();
}

std::shared_ptr<ReadMailbox> ReadingThread::running() const
{
    std::lock_guard lock(worker_->mutex);
    return worker_->running;
}

void ReadingThread::cancel()
{
    std::shared_ptr<ReadMailbox> next;
    {
        std::lock_guard lock(worker_->mutex);
        next = worker_->next;
    }
    for (const auto& mailbox : {running(), next}) {
        if (mailbox)
            mailbox->cancel();
    }
}

bool ReadingThread::giveUpIfOverdue(std::uint64_t nowMs, std::uint64_t boundMs)
{
    const std::shared_ptr<ReadMailbox> stuck = running();
    if (!stuck || !stuck->watch.overdue(nowMs, boundMs))
        return false;
    stuck->giveUp();
    // A read waiting for this worker goes to a fresh one.
    std::shared_ptr<ReadMailbox> next;
    ReadJob job;
    {
        std::lock_guard lock(worker_->mutex);
        next = std::move(worker_->next);
        job = std::move(worker_->job);
    }
    leave(true);
    newWorker();
    if (next)
        queue(std::move(next), std::move(job));
    return true;
}

void ReadingThread::waitLetGo(std::uint32_t ms, std::uint64_t callMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(worker_->mutex);
    while (worker_->busy && std::chrono::steady_clock::now() < until) {
        if (worker_->running && worker_->running->watch.unboundedFor(steadyMs()) > callMs)
            return;
        worker_->changed.wait_for(lock, std::chrono::milliseconds(50));
    }
}

int ReadingThread::workersLeft()
{
    return left.load();
}

Listing readAndWait(OtherWindows& desktop, AccessibleWindows* accessible, ReadJob job, std::uint32_t boundMs,
                    const std::function<bool(const std::u16string& rows)>& onRows)
{
    ReadingThread thread([&desktop] { return std::shared_ptr<OtherWindows>(&desktop, [](OtherWindows*) {}); },
                         accessible, [](ReadMailbox& mailbox) { mailbox.wakeOwner(); });
    const std::shared_ptr<ReadMailbox> mailbox = thread.start(1, std::move(job));
    for (bool taking = true;;) {
        mailbox->waitForNews(100);
        thread.giveUpIfOverdue(steadyMs(), boundMs);
        ReadMailbox::Taken taken = mailbox->take();
        if (taking && onRows && !taken.batch.text.empty() && !onRows(taken.batch.text)) {
            taking = false;
            mailbox->cancel();
        }
        if (taken.listing)
            return std::move(*taken.listing);
    }
}

} // namespace quorvel
