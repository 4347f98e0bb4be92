#include "commandline/CommandLine.h"

#include "commandline/Arguments.h"
#include "commandline/VersionLine.h"
#include "handle/HandleText.h"
#include "listing/CsvRendering.h"
#include "listing/JsonRendering.h"
#include "listing/OutcomeWords.h"
#include "listing/TextRendering.h"
#include "listing/Utf8.h"
#include "reading/ReadingThread.h"

#include <utility>

namespace quorvel {

namespace {

constexpr std::u16string_view program = u"quorvel: ";

void printLine(CommandOutput& output, std::u16string_view line)
{
    output.printError(std::u16string(program) + std::u16string(line) + u"\r\n");
}

int badArguments(CommandOutput& output, std::u16string_view why)
{
    printLine(output, why);
    output.printError(usage());
    return exitcode::badArguments;
}

// Output that can't be written is no fault of the arguments: said in one line.
int outputFailed(CommandOutput& output, std::u16string_view why)
{
    printLine(output, why);
    return exitcode::badArguments;
}

// The listing from firstRow on in the format asked for; JSON only whole.
std::u16string render(const Listing& listing, const ReadRequest& request, std::size_t firstRow = 0)
{
    switch (request.format) {
    case OutputFormat::csv:
        return renderCsv(listing, request.rendering(), firstRow);
    case OutputFormat::json:
        return renderJson(listing, request.rendering());
    case OutputFormat::text:
        break;
    }
    return renderText(listing, request.rendering(), firstRow);
}

// The line that says why nothing was read, or how far a partial read got
// and how many of its items could not be read.
std::u16string endLine(const Listing& listing, const std::u16string& handleText)
{
    const std::u16string window = u"window " + decimal(listing.handle);
    const std::size_t read = listing.rows() - listing.unreadableRows();
    std::u16string line;
    switch (listing.end) {
    case ReadEnd::noWindow:
        return u"no window has the handle " + (listing.handle ? decimal(listing.handle) : handleText);
    case ReadEnd::nothingToRead:
        return window + u" (class " + listing.className + u") holds no list Quorvel reads";
    case ReadEnd::accessDenied:
        return u"access denied to " + window + u": its program runs with higher rights";
    case ReadEnd::complete:
        return decimal(static_cast<long long>(listing.unreadableRows())) + u" of " + countOf(listing.rows(), listing) +
               u" could not be read";
    case ReadEnd::cancelled:
        line = u"cancelled after " + countOf(read, listing);
        break;
    default:
        line = u"stopped after " + countOf(read, listing) + u": " + std::u16string(stopReason(listing.end));
        break;
    }
    if (listing.unreadableRows())
        line += u"; " + unreadableClause(listing);
    return line;
}

// The line that says which states asked for a list can't tell.
std::u16string untoldLine(const Listing& listing, const RowFilter& only)
{
    const bool selected = only.selected && !listing.tells(ItemState::selected);
    const bool checked = only.checked && !listing.tells(ItemState::checked);
    return u"window " + decimal(listing.handle) + u" (class " + listing.className + u") can't tell which items are " +
           (selected ? u"selected" : u"") + (selected && checked ? u" or " : u"") + (checked ? u"checked" : u"");
}

} // namespace

namespace {

// Reads on the reading thread, writing what comes as it comes where the
// output streams (outside any lock the watch needs: output that blocks
// pauses the read, and never ends it); else keeps the listing whole for the
// end. A read inside one call for longer than boundMs is given up. Output
// that went away cancels the read: broken says so.
Listing readAndStream(OtherWindows& desktop, WindowHandle target, const ReadRequest& request, bool streaming,
                      CommandOutput& output, ReadControl& control, AccessibleWindows* accessible, std::uint32_t boundMs,
                      bool& broken)
{
    Handing handing;
    if (streaming) {
        // Nothing goes out before the list has told the states asked for:
        // one that never does writes nothing at all (not even the headers).
        handing.render = [&request](const Listing& listing, std::size_t first) -> std::optional<std::u16string> {
            if (!request.only.toldBy(listing))
                return std::nullopt;
            return render(listing, request, first);
        };
    } else {
        handing.keepRows = true;
    }
    // JSON tells the states whenever the list has them; text and CSV only filter by them.
    const bool states = request.format == OutputFormat::json || request.only.any();
    ReadingThread thread([&desktop] { return std::shared_ptr<OtherWindows>(&desktop, [](OtherWindows*) {}); },
                         accessible, [](ReadMailbox& mailbox) { mailbox.wakeOwner(); });
    const std::shared_ptr<ReadMailbox> mailbox =
        thread.start(1, {target, {nullptr, std::nullopt, request.name, states}, std::move(handing), [&control] {
                             return control.cancelled();
                         }});
    bool full = false;
    for (;;) {
        mailbox->waitForNews(100);
        thread.giveUpIfOverdue(steadyMs(), boundMs);
        ReadMailbox::Taken taken = mailbox->take();
        std::u16string why;
        try {
            if (!broken && !full && !taken.batch.text.empty() && !output.write(taken.batch.text, why)) {
                broken = true;
                mailbox->cancel();
            }
        } catch (const std::bad_alloc&) {
            // The rows written stay; the read ends out of memory.
            full = true;
            mailbox->cancel();
        }
        if (taken.listing) {
            if (full)
                taken.listing->end = ReadEnd::outOfMemory;
            return std::move(*taken.listing);
        }
    }
}

int outOfMemory(CommandOutput& output, const Listing& listing, const std::u16string& handle)
{
    output.abandon();
    Listing ended;
    ended.append(listing, false);
    ended.end = ReadEnd::outOfMemory;
    printLine(output, endLine(ended, handle));
    return exitcode::partial;
}

} // namespace

int runCommandLine(std::span<const std::u16string> args, OtherWindows& desktop, CommandOutput& output,
                   ReadControl& control, AccessibleWindows* accessible, std::uint32_t boundMs)
{
    const Arguments arguments = parseArguments(args);
    if (arguments.action == Arguments::Action::help) {
        output.printOut(usage());
        return exitcode::complete;
    }
    if (arguments.action == Arguments::Action::version) {
        output.printOut(versionLine() + u"\r\n");
        return exitcode::complete;
    }
    if (arguments.action == Arguments::Action::wrong)
        return badArguments(output, arguments.wrong);
    const ReadRequest& request = arguments.read;
    std::u16string why;
    if (!output.prepare(request.out, why))
        return outputFailed(output, why);

    const bool streaming = output.streams() && request.format != OutputFormat::json;
    bool broken = false;
    Listing listing;
    if (std::optional<WindowHandle> target = targetHandle(handleTextValue(request.handle)))
        listing = readAndStream(desktop, *target, request, streaming, output, control, accessible, boundMs, broken);
    else
        listing.end = ReadEnd::noWindow;
    if (listing.end != ReadEnd::complete && !isPartial(listing.end)) {
        output.abandon();
        const bool unnamed = request.name && listing.end == ReadEnd::nothingToRead;
        printLine(output, unnamed ? u"no list named " + *request.name : endLine(listing, request.handle));
        return exitcode::nothingToRead;
    }
    // Standard output that went away mid-read is the reader's choice: no word.
    if (broken)
        return exitcode::badArguments;
    if (!request.only.toldBy(listing)) {
        output.abandon();
        printLine(output, untoldLine(listing, request.only));
        return exitcode::badArguments;
    }
    if (!streaming) {
        // A listing that could not be held whole is not written at all: the
        // file stays as it was.
        if (listing.end == ReadEnd::outOfMemory)
            return outOfMemory(output, listing, request.handle);
        try {
            if (!output.write(render(listing, request), why))
                return outputFailed(output, why);
        } catch (const std::bad_alloc&) {
            return outOfMemory(output, listing, request.handle);
        } catch (const std::length_error&) {
            return outOfMemory(output, listing, request.handle);
        }
    }
    if (listing.whole())
        return exitcode::complete;
    printLine(output, endLine(listing, request.handle));
    return exitcode::partial;
}

} // namespace quorvel
