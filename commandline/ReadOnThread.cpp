#include "commandline/ReadOnThread.h"

#include "reading/CallWatch.h"
#include "reading/Pace.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace quorvel {

namespace {

struct Shared {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false, givenUp = false;
    Listing result, copy;
    CallWatch watch;
};

// Passes the read on to the caller's control until it is given up; from its
// first question to an accessible object on, keeps a copy of the listing as
// it grows, for a give-up to show.
class WatchedControl : public ReadControl {
public:
    WatchedControl(ReadControl& inner, std::shared_ptr<Shared> shared) : inner_(inner), s_(std::move(shared)) {}
    bool cancelled() override
    {
        std::lock_guard lock(s_->mutex);
        return s_->givenUp || inner_.cancelled();
    }
    void progress(const Listing& listing) override
    {
        std::lock_guard lock(s_->mutex);
        if (s_->givenUp)
            return;
        inner_.progress(listing);
        if (copying_)
            s_->copy.catchUp(listing);
    }
    void callStarted() override { beat(); }
    void callReturned() override { beat(); }

private:
    void beat()
    {
        s_->watch.beat(steadyMs());
        copying_ = true;
    }

    ReadControl& inner_;
    std::shared_ptr<Shared> s_;
    bool copying_ = false;
};

} // namespace

ThreadedRead readOnThread(OtherWindows& desktop, WindowHandle target, ReadControl& control, const ReadOptions& options,
                          std::uint32_t boundMs)
{
    auto s = std::make_shared<Shared>();
    s->copy.handle = target;
    s->copy.className = desktop.className(target);
    auto watched = std::make_shared<WatchedControl>(control, s);
    std::thread reader([s, watched, &desktop, target, options] {
        // What the thread holds to ask accessible objects, let go once every one of them is.
        const std::shared_ptr<void> scope = options.accessible ? options.accessible->enterThread() : nullptr;
        Listing listing = readListItems(desktop, target, *watched, options);
        s->watch.finish();
        std::lock_guard lock(s->mutex);
        s->result = std::move(listing);
        s->done = true;
        s->ended.notify_all();
    });
    std::unique_lock lock(s->mutex);
    while (!s->done && !s->givenUp) {
        s->ended.wait_for(lock, std::chrono::milliseconds(100));
        s->givenUp = !s->done && s->watch.stuck(steadyMs(), boundMs);
    }
    if (s->givenUp) {
        reader.detach();
        ThreadedRead read{std::move(s->copy), true};
        read.listing.end = ReadEnd::notAnswering;
        return read;
    }
    lock.unlock();
    reader.join();
    return {std::move(s->result), false};
}

} // namespace quorvel
