#include "commandline/CommandLine.h"

#include "commandline/Arguments.h"
#include "commandline/FindForRead.h"
#include "commandline/ListCommand.h"
#include "commandline/ReadOnThread.h"
#include "commandline/VersionLine.h"
#include "handle/HandleText.h"
#include "listing/CsvRendering.h"
#include "listing/JsonRendering.h"
#include "listing/OutcomeWords.h"
#include "listing/TextRendering.h"
#include "listing/Utf8.h"
#include "listreader/ListItemReader.h"
#include "reading/Pace.h"

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

// Writes the rows to standard output as they are read, paced like the
// window's: the first at once, then at most four times a second. A reader
// that goes away (a closed pipe) stops the read at its next message.
class StreamedRead : public ReadControl {
public:
    StreamedRead(ReadControl& control, CommandOutput& output, const ReadRequest& request)
        : control_(control), output_(output), request_(request)
    {
    }
    bool cancelled() override { return broken_ || control_.cancelled(); }
    void progress(const Listing& listing) override
    {
        // Nothing goes out before the list has told the states asked for:
        // one that never does writes nothing at all (not even the headers).
        if (request_.only.toldBy(listing) && listing.rows() > written_ && pace_.due(steadyMs()))
            writeRest(listing);
        control_.progress(listing);
    }
    // The rows not written yet; false when output failed, now or before.
    bool finish(const Listing& listing)
    {
        writeRest(listing);
        return !broken_;
    }
    bool broken() const { return broken_; }

private:
    // The rows not written yet; the column names come with the first.
    void writeRest(const Listing& listing)
    {
        std::u16string why;
        const std::u16string text = render(listing, request_, std::exchange(written_, listing.rows()));
        if (!broken_ && !text.empty() && !output_.write(text, why))
            broken_ = true;
    }

    ReadControl& control_;
    CommandOutput& output_;
    const ReadRequest& request_;
    Pace pace_;
    std::size_t written_ = 0;
    bool broken_ = false;
};

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
                             AccessibleWindows* accessible, bool* threadLeft, std::uint32_t boundMs, ReadTarget& target)
{
    SteadyClock clock;
    bool left = false;
    std::optional<int> code;
    if (arguments.action == Arguments::Action::list) {
        std::u16string line;
        code = runListCommand(arguments.read, desktop, output, control, accessible, left, boundMs, clock, line);
        if (!line.empty())
            printLine(output, line);
    } else if (arguments.read.selector) {
        target = findReadTarget(arguments.read, desktop, control, accessible, left, boundMs, clock);
        if ((code = target.exitCode)) {
            output.abandon();
            printLine(output, target.line);
            for (const std::u16string& match : target.matches)
                output.printError(match + u"\r\n");
        }
    }
    if (threadLeft)
        *threadLeft = left;
    return code;
}

} // namespace

int runCommandLine(std::span<const std::u16string> args, Desktop& desktop, CommandOutput& output, ReadControl& control,
                   AccessibleWindows* accessible, bool* threadLeft, std::uint32_t boundMs)
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
    if (std::optional<int> code =
            findFirst(arguments, desktop, output, control, accessible, threadLeft, boundMs, found))
        return *code;

    const bool streaming = output.streams() && request.format != OutputFormat::json;
    StreamedRead streamed(control, output, request);
    ReadControl& reading = streaming ? static_cast<ReadControl&>(streamed) : control;
    ThreadedRead read;
    // JSON tells the states whenever the list has them; text and CSV only filter by them.
    const bool states = request.format == OutputFormat::json || request.only.any();
    const std::optional<WindowHandle> target =
        request.selector ? std::optional(found.handle) : targetHandle(handleTextValue(request.handle));
    if (target)
        read = readOnThread(desktop, *target, reading, {accessible, std::nullopt, request.name, states, found.number},
                            boundMs);
    else
        read.listing.end = ReadEnd::noWindow;
    if (threadLeft)
        *threadLeft = *threadLeft || read.givenUp;
    Listing& listing = read.listing;
    if (listing.end != ReadEnd::complete && !isPartial(listing.end)) {
        output.abandon();
        const bool unnamed = request.name && listing.end == ReadEnd::nothingToRead;
        printLine(output, unnamed ? u"no list named " + *request.name : endLine(listing, request.handle));
        return exitcode::nothingToRead;
    }
    if (!request.only.toldBy(listing)) {
        output.abandon();
        printLine(output, untoldLine(listing, request.only));
        return exitcode::badArguments;
    }
    if (streaming ? !streamed.finish(listing) : !output.write(render(listing, request), why)) {
        // Standard output that went away mid-read is the reader's choice: no word.
        if (streaming)
            return exitcode::badArguments;
        return outputFailed(output, why);
    }
    if (listing.whole())
        return exitcode::complete;
    printLine(output, endLine(listing, request.handle));
    return exitcode::partial;
}

} // namespace quorvel
