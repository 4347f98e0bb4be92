#include "mainwindow/ReadController.h"

#include "listing/TextRendering.h"
#include "listreader/ListItemReader.h"

#include <utility>

namespace quorvel {

void InlineReadRunner::start(WindowHandle target, std::uint64_t read)
{
    struct Control : ReadControl {
        InlineReadRunner& runner;
        std::uint64_t read;
        Control(InlineReadRunner& r, std::uint64_t n) : runner(r), read(n) {}
        bool cancelled() override { return runner.cancelled_; }
        void progress(std::size_t items) override { runner.controller_->readProgress(read, items); }
    } control(*this, read);
    cancelled_ = false;
    Listing listing = readListItems(desktop_, target, control);
    // A read started from inside this one (a nested change) has run already.
    cancelled_ = false;
    controller_->readFinished(read, std::move(listing));
}

ReadController::ReadController(Desktop& desktop, ReadRunner& runner, WindowHandle txtList, WindowHandle frame)
    : desktop_(desktop), runner_(runner), txtList_(txtList), frame_(frame)
{
}

void ReadController::read(std::optional<WindowHandle> target)
{
    ++newest_;
    desktop_.setWindowText(txtList_, u"");
    waiting_ = target;
    if (running_)
        runner_.cancel(); // the newest starts once that one has ended
    if (!target) {
        // A value beyond every handle: no window has it.
        showCaption({.end = ReadEnd::noWindow});
        return;
    }
    if (running_)
        showCaption({.reading = true, .handle = *target});
    else
        startWaiting();
}

void ReadController::startWaiting()
{
    runningTarget_ = *waiting_;
    waiting_.reset();
    running_ = newest_;
    showCaption({.reading = true, .handle = runningTarget_});
    runner_.start(runningTarget_, running_);
}

void ReadController::cancel()
{
    if (waiting_) {
        // Never started: it ends here, having read nothing.
        waiting_.reset();
        showCaption({.end = ReadEnd::cancelled});
    }
    if (running_)
        runner_.cancel();
}

void ReadController::readProgress(std::uint64_t read, std::size_t items)
{
    if (read == newest_ && read == running_)
        showCaption({.reading = true, .items = items, .handle = runningTarget_});
}

void ReadController::readFinished(std::uint64_t read, Listing listing)
{
    if (read == running_)
        running_ = 0;
    if (read == newest_) {
        // One assignment: rewriting the field per item costs quadratic time.
        desktop_.setWindowText(txtList_, renderText(listing));
        showCaption({.end = listing.end,
                     .items = listing.rows(),
                     .handle = listing.handle,
                     .className = std::move(listing.className),
                     .listName = std::move(listing.listName),
                     .listNumber = listing.listNumber,
                     .listCount = listing.listCount});
    }
    if (!running_ && waiting_)
        startWaiting();
}

void ReadController::showCaption(const ReadStatus& status)
{
    const std::vector<std::u16string> choices = captionChoices(status, desktop_.numberFormat());
    Rect frame;
    std::u16string caption = choices.front();
    if (desktop_.getWindowRect(frame_, frame)) {
        // The caption is drawn from a little inside the frame's left edge.
        const int width = frame.right - frame.left;
        caption = fitCaption(choices, width - width / 10,
                             [this](const std::u16string& c) { return desktop_.textWidth(frame_, c); });
    }
    desktop_.setWindowText(frame_, caption);
}

} // namespace quorvel
