// Reads the list the handle field names, one read at a time, without holding
// up the window: a runner does the reading and reports back on the window's
// thread; the controller keeps the newest read, drops what older ones bring,
// appends each batch of rows to the item field as it comes and tells the
// read's course in the frame's caption.
#pragma once

#include "desktop/Desktop.h"
#include "listing/Listing.h"
#include "mainwindow/OutcomeCaption.h"
#include "reading/ReadMailbox.h"

#include <cstdint>
#include <optional>

namespace quorvel {

class ReadController;

// Where reads run. start begins one read of target and returns; the runner
// hands its rows on in batches and its listing at the end through the
// controller's readProgress and readFinished, on the window's thread, in
// that order, each batch once, and always ending in one readFinished. cancel
// asks the running read to stop at its next message.
class ReadRunner {
public:
    virtual ~ReadRunner() = default;
    // at: a point of the screen the list to read is under, where the window
    // holds several.
    virtual void start(WindowHandle target, std::uint64_t read, std::optional<Point> at) = 0;
    virtual void cancel() = 0;
};

// The list the newest read that ended found, for naming it again.
struct ReadFound {
    WindowHandle handle = 0;
    ListKind kind = ListKind::none;
    // Of an accessible list: which of the window's lists, and their names.
    std::size_t listNumber = 0;
    std::vector<std::u16string> listNames;
};

class ReadController {
public:
    ReadController(Desktop& desktop, ReadRunner& runner, WindowHandle txtList, WindowHandle frame);

    // Reads target, or tells that no window has it (nullopt: a value no
    // handle holds); at, where it was pointed at. The item field is emptied;
    // a read running now is cancelled, and this one starts once it has ended.
    void read(std::optional<WindowHandle> target, std::optional<Point> at = std::nullopt);
    // Stops the running read (its items so far are shown) and the one waiting.
    void cancel();
    bool reading() const { return running_ != 0; }
    // None before the first read that found a list, and from a newer read's start to its end.
    const std::optional<ReadFound>& lastFound() const { return found_; }

    void readProgress(std::uint64_t read, const RowBatch& batch);
    // last: the rows not handed on before; listing: what the read found, its
    // rows counted (a read given up ends so too, not answering).
    void readFinished(std::uint64_t read, const RowBatch& last, const Listing& listing);

private:
    void startWaiting();
    // Appends the batch's rows; false when the field would not take them,
    // which ends the read: out of memory, with the rows the field holds.
    bool show(std::uint64_t read, const RowBatch& batch);
    void ended(std::uint64_t read, const ReadStatus& status);
    void showCaption(const ReadStatus& status);

    Desktop& desktop_;
    ReadRunner& runner_;
    WindowHandle txtList_, frame_;
    // Reads are numbered from 1; 0 names none.
    std::uint64_t newest_ = 0;
    std::uint64_t running_ = 0;
    std::optional<WindowHandle> waiting_;
    std::optional<Point> waitingAt_;
    WindowHandle runningTarget_ = 0;
    // The counts of the running read's last batch.
    RowBatch shown_;
    std::optional<ReadFound> found_;
};

} // namespace quorvel
