#include "commandline/CommandLine.h"

#include "commandline/Arguments.h"
#include "handle/HandleText.h"
#include "listing/CsvRendering.h"
#include "listing/JsonRendering.h"
#include "listing/TextRendering.h"
#include "listing/Utf8.h"
#include "listreader/ListItemReader.h"

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

std::u16string render(const Listing& listing, const ReadRequest& request)
{
    switch (request.format) {
    case OutputFormat::csv:
        return renderCsv(listing, request.headers);
    case OutputFormat::json:
        return renderJson(listing);
    case OutputFormat::text:
        break;
    }
    return renderText(listing, request.headers);
}

std::u16string counted(std::size_t n, const Listing& listing)
{
    const std::u16string_view unit = listing.report ? u" row" : u" item";
    return decimal(static_cast<long long>(n)) + std::u16string(unit) + (n == 1 ? u"" : u"s");
}

// The line that says why nothing was read, or how far a partial read got.
std::u16string endLine(const Listing& listing, const std::u16string& handleText)
{
    const std::u16string window = u"window " + decimal(listing.handle);
    switch (listing.end) {
    case ReadEnd::noWindow:
        return u"no window has the handle " + (listing.handle ? decimal(listing.handle) : handleText);
    case ReadEnd::nothingToRead:
        return window + u" (class " + listing.className + u") holds no list Quorvel reads";
    case ReadEnd::accessDenied:
        return u"access denied to " + window + u": its program runs with higher rights";
    case ReadEnd::cancelled:
        return u"cancelled after " + counted(listing.rows(), listing);
    default:
        break;
    }
    return u"stopped after " + counted(listing.rows(), listing) + u": " + std::u16string(stopReason(listing.end));
}

} // namespace

int runCommandLine(std::span<const std::u16string> args, Desktop& desktop, CommandOutput& output, ReadControl& control,
                   AccessibleWindows* accessible)
{
    const Arguments arguments = parseArguments(args);
    if (arguments.action == Arguments::Action::help) {
        output.printOut(usage());
        return exitcode::complete;
    }
    if (arguments.action == Arguments::Action::wrong)
        return badArguments(output, arguments.wrong);
    const ReadRequest& request = arguments.read;
    std::u16string why;
    if (!output.prepare(request.out, why))
        return badArguments(output, why);

    Listing listing;
    if (std::optional<WindowHandle> target = targetHandle(handleTextValue(request.handle)))
        listing = readListItems(desktop, *target, control, {accessible, std::nullopt, request.name});
    else
        listing.end = ReadEnd::noWindow;
    if (listing.end != ReadEnd::complete && !isPartial(listing.end)) {
        output.abandon();
        const bool unnamed = request.name && listing.end == ReadEnd::nothingToRead;
        printLine(output, unnamed ? u"no list named " + *request.name : endLine(listing, request.handle));
        return exitcode::nothingToRead;
    }
    if (!output.write(render(listing, request), why))
        return badArguments(output, why);
    if (listing.end == ReadEnd::complete)
        return exitcode::complete;
    printLine(output, endLine(listing, request.handle));
    return exitcode::partial;
}

} // namespace quorvel
