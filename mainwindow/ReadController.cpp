#include "mainwindow/ReadController.h"

#include <utility>

namespace quorvel {

ReadController::ReadController(Desktop& desktop, ReadRunner& runner, WindowHandle txtList, WindowHandle frame)
    : desktop_(desktop), runner_(runner), txtList_(txtList), frame_(frame)
{
}

void ReadController::read(std::optional<WindowHandle> target, std::optional<Point> at)
{
    ++newest_;
    found_.reset();
    desktop_.setWindowText(txtList_, u"");
    waiting_ = target;
    waitingAt_ = at;
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
    shown_ = {};
    showCaption({.reading = true, .handle = runningTarget_});
    runner_.start(runningTarget_, running_, waitingAt_);
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

void ReadController::readProgress(std::uint64_t read, const RowBatch& batch)
{
    if (read != newest_ || read != running_)
        return;
    // Appended, not set: earlier rows are not laid out again, and the user's
    // selection and scroll position stay where they are.
    if (!batch.text.empty())
        desktop_.appendWindowText(txtList_, batch.text);
    shown_.items = batch.items;
    shown_.unreadable = batch.unreadable;
    showCaption({.reading = true, .items = batch.items, .unreadable = batch.unreadable, .handle = runningTarget_});
}

void ReadController::readGivenUp(std::uint64_t read, const RowBatch& last)
{
    if (read != running_)
        return;
    if (last.any())
        readProgress(read, last);
    ended(read, {},
          {.end = ReadEnd::notAnswering,
           .items = shown_.items,
           .unreadable = shown_.unreadable,
           .handle = runningTarget_});
}

void ReadController::readFinished(std::uint64_t read, const RowBatch& last, Listing listing)
{
    if (read == newest_ && listing.kind != ListKind::none)
        found_ = ReadFound{listing.handle, listing.kind, listing.listNumber, std::move(listing.listNames)};
    ended(read, last,
          {.end = listing.end,
           .items = listing.rows() - listing.unreadableRows(),
           .unreadable = listing.unreadableRows(),
           .handle = listing.handle,
           .className = std::move(listing.className),
           .listName = std::move(listing.listName),
           .listNumber = listing.listNumber,
           .listCount = listing.listCount});
}

void ReadController::ended(std::uint64_t read, const RowBatch& last, const ReadStatus& status)
{
    if (read == running_)
        running_ = 0;
    if (read == newest_) {
        if (!last.text.empty())
            desktop_.appendWindowText(txtList_, last.text);
        showCaption(status);
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
