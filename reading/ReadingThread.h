// The thread reads run on, for the window and the command line alike: the
// owner's thread stays free while a target is slow, hung or huge. One worker
// takes one read at a time, handing its rows to the read's mailbox and
// waking the owner at a pace. A read inside one call into the target for
// longer than the call may take (an accessible object's program that hangs)
// is given up by the owner: it ends not answering with all it handed on, its
// worker is left to end by itself when the call returns, and the next read
// gets a fresh worker. Workers left so are counted for the whole process,
// which must then end without tearing down what they hold.
#pragma once

#include "listreader/ListItemReader.h"
#include "reading/ReadMailbox.h"

#include <functional>
#include <memory>

namespace quorvel {

struct ReadJob {
    WindowHandle target = 0;
    // Where the list is chosen among a window's accessible ones, and whether
    // states are read; accessible is the thread's own.
    ReadOptions options;
    Handing handing;
    // Asked on the reading thread before every message, beside the mailbox's own cancel.
    std::function<bool()> cancelled;
};

class ReadingThread {
public:
    // The desktop a worker reads through, one per worker: a thread's own.
    using MakeDesktop = std::function<std::shared_ptr<OtherWindows>()>;
    // Tells the owner its read's mailbox has news, on the reading thread.
    using Wake = std::function<void(ReadMailbox&)>;

    // accessible: where lists only accessibility tells come from (none: not
    // read); each worker enters it for its thread.
    ReadingThread(MakeDesktop makeDesktop, AccessibleWindows* accessible, Wake wake);
    // Cancels the read; a worker still inside one is left to end by itself.
    ~ReadingThread();
    ReadingThread(const ReadingThread&) = delete;
    ReadingThread& operator=(const ReadingThread&) = delete;

    // Starts a read, once the one before it has ended.
    std::shared_ptr<ReadMailbox> start(std::uint64_t read, ReadJob job);
    void cancel();
    // Gives the read under way up if one call of it has been inside too
    // long; its mailbox then holds its end, and a read waiting to start goes
    // to a fresh worker.
    bool giveUpIfOverdue(std::uint64_t nowMs, std::uint64_t boundMs = answerBoundMs);
    // Waits at most ms for the worker to let go of its target: until no read
    // holds anything there, or the read is inside a call with no time limit
    // (which holds nothing there that waiting would free) for over callMs.
    void waitLetGo(std::uint32_t ms, std::uint64_t callMs = 250);

    // Workers given up, or left inside a read when their thread's owner went,
    // that have not ended yet.
    static int workersLeft();

    struct Worker;

private:
    void newWorker();
    void leave(bool giveUp);
    void queue(std::shared_ptr<ReadMailbox> mailbox, ReadJob job);
    std::shared_ptr<ReadMailbox> running() const;

    MakeDesktop makeDesktop_;
    AccessibleWindows* accessible_;
    Wake wake_;
    std::shared_ptr<Worker> worker_;
};

// One read on a reading thread of its own, waited for on the caller's: the
// rows it hands on come to onRows as they come, outside any lock the read's
// watch needs (false from it cancels the read), and a read inside one call for
// longer than boundMs is given up. Its end, with the listing as handed on.
Listing readAndWait(OtherWindows& desktop, AccessibleWindows* accessible, ReadJob job, std::uint32_t boundMs,
                    const std::function<bool(const std::u16string& rows)>& onRows = {});

} // namespace quorvel
