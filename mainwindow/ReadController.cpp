#include "mainwindow/ReadController.h"

#include "mainwindow/FieldAppend.h"

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
    if (read != newest_ || read != running_ || !show(read, batch))
        return;
    showCaption({.reading = true, .items = batch.items, .unreadable = batch.unreadable, .handle = runningTarget_});
}

bool ReadController::show(std::uint64_t read, const RowBatch& batch)
{
    // Appended, not set: earlier rows are not laid out again, and the user's
    // selection and scroll position stay where they are.
    if (!batch.text.empty() && !appendToField(desktop_, txtList_, batch.text)) {
        runner_.cancel();
        ended(read, {.end = ReadEnd::outOfMemory,
                     .items = shown_.items,
                     .unreadable = shown_.unreadable,
                     .handle = runningTarget_});
        return false;
    }
    shown_.items = batch.items;
    shown_.unreadable = batch.unreadable;
    return true;
}

void ReadController::readFinished(std::uint64_t read, const RowBatch& last, const Listing& listing)
{
    if (read != running_ || (read == newest_ && !show(read, last)))
        return;
    if (read == newest_ && listing.kind != ListKind::none)
        found_ = ReadFound{listing.handle, listing.kind, listing.accessible.number, listing.accessible.names};
    ended(read, {.end = listing.end,
                 .items = listing.rows() - listing.unreadableRows(),
                 .unreadable = listing.unreadableRows(),
                 .handle = listing.handle ? listing.handle : runningTarget_,
                 .className = listing.className,
                 .listName = listing.accessible.name,
                 .listNumber = listing.accessible.number,
                 .listCount = listing.accessible.count});
}

// A read ends once: what comes of it later (a read the field ended) is dropped.
void ReadController::ended(std::uint64_t read, const ReadStatus& status)
{
    if (read != running_)
        return;
    running_ = 0;
    if (read == newest_)
        showCaption(status);
    if (waiting_)
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
