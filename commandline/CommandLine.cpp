#include "commandline/CommandLine.h"

#include "commandline/Arguments.h"
#include "commandline/FindForRead.h"
#include "commandline/ListCommand.h"
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

// --list, or a --read selector's list found (and waited for): the exit code
// when that is the end, else the list to read.
std::optional<int> findFirst(const Arguments& arguments, Desktop& desktop, CommandOutput& output, ReadControl& control,
                             AccessibleWindows* accessible, std::uint32_t boundMs, ReadTarget& target)
{
    SteadyClock clock;
    std::optional<int> code;
    if (arguments.action == Arguments::Action::list) {
        std::u16string line;
        code = runListCommand(arguments.read, desktop, output, control, accessible, boundMs, clock, line);
        if (!line.empty())
            printLine(output, line);
    } else if (arguments.read.selector) {
        target = findReadTarget(arguments.read, desktop, control, accessible, boundMs, clock);
        if ((code = target.exitCode)) {
            output.abandon();
            printLine(output, target.line);
            for (const std::u16string& match : target.matches)
                output.printError(match + u"\r\n");
        }
    }
    return code;
}

// Reads on the reading thread, writing what comes as it comes where the
// output streams (outside any lock the watch needs: output that blocks
// pauses the read, and never ends it); else keeps the listing whole for the
// end. A read inside one call for longer than boundMs is given up. Output
// that went away cancels the read: broken says so.
Listing readAndStream(OtherWindows& desktop, WindowHandle target, const ReadOptions& options,
                      const ReadRequest& request, bool streaming, CommandOutput& output, ReadControl& control,
                      AccessibleWindows* accessible, std::uint32_t boundMs, bool& broken)
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
    bool full = false;
    Listing listing = readAndWait(desktop, accessible,
                                  {target, options, std::move(handing), [&control] { return control.cancelled(); }},
                                  boundMs, [&](const std::u16string& rows) {
                                      std::u16string why;
                                      try {
                                          broken = !output.write(rows, why);
                                      } catch (const std::bad_alloc&) {
                                          full = true; // the rows written stay; the read ends out of memory
                                      }
                                      return !broken && !full;
                                  });
    if (full)
        listing.end = ReadEnd::outOfMemory;
    return listing;
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

int runCommandLine(std::span<const std::u16string> args, Desktop& desktop, CommandOutput& output, ReadControl& control,
                   AccessibleWindows* accessible, std::uint32_t boundMs)
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
    if (arguments.action == Arguments::Action::read && !output.prepare(request.out, why))
        return outputFailed(output, why);
    ReadTarget found;
    if (std::optional<int> code = findFirst(arguments, desktop, output, control, accessible, boundMs, found))
        return *code;

    const bool streaming = output.streams() && request.format != OutputFormat::json;
    bool broken = false;
    Listing listing;
    // JSON tells the states whenever the list has them; text and CSV only filter by them.
    const bool states = request.format == OutputFormat::json || request.only.any();
    const std::optional<WindowHandle> target =
        request.selector ? std::optional(found.handle) : targetHandle(handleTextValue(request.handle));
    if (target)
        listing = readAndStream(desktop, *target, {nullptr, std::nullopt, request.name, states, found.number}, request,
                                streaming, output, control, accessible, boundMs, broken);
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
