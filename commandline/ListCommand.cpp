#include "commandline/ListCommand.h"

#include "commandline/CensusOnThread.h"
#include "finding/Finding.h"
#include "finding/Matching.h"

#include <algorithm>
#include "finding/OverviewRendering.h"

namespace quorvel {

int runListCommand(const ReadRequest& request, Desktop& desktop, CommandOutput& output, ReadControl& control,
                   AccessibleWindows* accessible, std::uint32_t boundMs, Clock& clock, std::u16string& line)
{
    std::u16string why;
    if (!output.prepare(request.out, why)) {
        line = why;
        return exitcode::badArguments;
    }
    const Selector* only = request.selector ? &*request.selector : nullptr;
    const auto cancelled = [&] { return control.cancelled(); };
    CensusOnThread asked(desktop, accessible, control, boundMs);
    // The lists of the windows the selector names, and the other windows
    // alone, which name most lists' windows alone; every window's lists only
    // where a selector printed needs them to name its list alone on the whole
    // desktop. Accessible lists asked for only where the selector may name one.
    Desk desk;
    std::vector<OverviewRow> rows;
    const Look look = lookUntil(
        [&] {
            KeptCensus census(asked);
            desk = survey(desktop, {only, &census, only, true});
            rows = desk.cancelled ? std::vector<OverviewRow>{} : overview(desk, only, desktop, cancelled);
            if (std::any_of(rows.begin(), rows.end(), [](const OverviewRow& r) { return r.selector.empty(); }))
                nameInWhole(rows, desk, survey(desktop, {nullptr, &census, only}));
            return desk.cancelled ? Look::cancelled : rows.empty() && only ? Look::none : Look::found;
        },
        request.waitSeconds.value_or(0), clock, cancelled);
    if (look != Look::found) {
        output.abandon();
        line = look == Look::cancelled ? u"cancelled" : u"no list matches " + selectorText(*only);
        return exitcode::nothingToRead;
    }
    std::u16string text;
    switch (request.format) {
    case OutputFormat::csv:
        text = renderOverviewCsv(desk, rows, request.safeCsv);
        break;
    case OutputFormat::json:
        text = renderOverviewJson(desk, rows);
        break;
    case OutputFormat::text:
        text = renderOverviewText(desk, rows);
        break;
    }
    if (!output.write(text, why)) {
        // Standard output that went away is the reader's choice: no word.
        line = output.streams() ? u"" : why;
        return exitcode::badArguments;
    }
    return exitcode::complete;
}

} // namespace quorvel
