#include "mainwindow/ThreadedReads.h"

#include "listing/TextRendering.h"

namespace quorvel {

ThreadedReads::ThreadedReads(OwnWindow& own, WindowHandle window, ReadingThread::MakeDesktop makeDesktop,
                             AccessibleWindows* accessible, std::function<bool(std::uint64_t)> post,
                             std::uint64_t boundMs)
    : own_(own), window_(window), boundMs_(boundMs),
      thread_(std::move(makeDesktop), accessible, [post = std::move(post)](ReadMailbox& mailbox) {
          if (mailbox.claimWake() && !post(mailbox.read))
              mailbox.wakeFailed();
      })
{
}

void ThreadedReads::start(WindowHandle target, std::uint64_t read, std::optional<Point> at)
{
    // The window keeps no rows: they go into the field as lines, and the
    // reading thread lets go of them.
    Handing handing{[](const Listing& listing, std::size_t first) { return renderText(listing, {}, first); }};
    current_ = thread_.start(read, {target, {.at = at}, std::move(handing), nullptr});
    own_.setTimer(window_, pollTimerId, pollMs);
}

void ThreadedReads::cancel()
{
    thread_.cancel();
}

void ThreadedReads::woken(std::uint64_t read, ReadController& controller)
{
    // Only the read now running has anything left to hand on: the others
    // have ended, and their wake-ups are stale.
    if (current_ && read == current_->read)
        handOn(controller);
}

void ThreadedReads::polled(ReadController& controller)
{
    if (!current_)
        return;
    // Stuck in a call that may never return: the read ends here.
    thread_.giveUpIfOverdue(steadyMs(), boundMs_);
    handOn(controller);
}

void ThreadedReads::handOn(ReadController& controller)
{
    const std::shared_ptr<ReadMailbox> mailbox = current_;
    ReadMailbox::Taken taken = mailbox->take();
    if (taken.listing) {
        current_.reset();
        own_.killTimer(window_, pollTimerId);
        controller.readFinished(mailbox->read, taken.batch, *taken.listing);
    } else if (taken.batch.any()) {
        controller.readProgress(mailbox->read, taken.batch);
    }
}

} // namespace quorvel
