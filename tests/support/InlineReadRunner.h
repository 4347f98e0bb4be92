// Runs each read to its end inside start, on the caller's thread, handing
// every batch on as it grows: for the fake desktop, which has no other thread.
#pragma once

#include "listing/TextRendering.h"
#include "listreader/ListItemReader.h"
#include "mainwindow/ReadController.h"

namespace quorvel {

class InlineReadRunner : public ReadRunner {
public:
    explicit InlineReadRunner(Desktop& desktop) : desktop_(desktop) {}
    void setController(ReadController& controller) { controller_ = &controller; }
    // Where lists told only through accessibility come from; none: not read.
    AccessibleWindows* accessible = nullptr;
    void cancel() override { cancelled_ = true; }
    void start(WindowHandle target, std::uint64_t read, std::optional<Point> at) override
    {
        struct Control : ReadControl {
            InlineReadRunner& runner;
            std::uint64_t read;
            Control(InlineReadRunner& r, std::uint64_t n) : runner(r), read(n) {}
            bool cancelled() override { return runner.cancelled_; }
            // Every growth is handed on at once, and let go of.
            RowBatch next(Listing& listing)
            {
                RowBatch batch{renderText(listing, {}, listing.firstHeld()), 0, 0};
                listing.forgetRows();
                batch.items = listing.rows() - listing.unreadableRows();
                batch.unreadable = listing.unreadableRows();
                return batch;
            }
            void progress(Listing& listing) override { runner.controller_->readProgress(read, next(listing)); }
        } control(*this, read);
        cancelled_ = false;
        Listing listing = readListItems(desktop_, target, control, {accessible, at});
        // A read started from inside this one (a nested change) has run already.
        cancelled_ = false;
        const RowBatch last = control.next(listing);
        controller_->readFinished(read, last, listing);
    }

private:
    Desktop& desktop_;
    ReadController* controller_ = nullptr;
    bool cancelled_ = false;
};

// For a read that no one cancels or follows.
class UnfollowedRead : public ReadControl {
public:
    bool cancelled() override { return false; }
    void progress(Listing&) override {}
};

} // namespace quorvel
