#include "commandline/FindForRead.h"

#include "commandline/CensusOnThread.h"
#include "commandline/CommandLine.h"
#include "finding/Finding.h"
#include "listing/Utf8.h"

namespace quorvel {

ReadTarget findReadTarget(const ReadRequest& request, Desktop& desktop, ReadControl& control,
                          AccessibleWindows* accessible, std::uint32_t boundMs, Clock& clock)
{
    const Selector& selector = *request.selector;
    CensusOnThread census(desktop, accessible, control, boundMs);
    FoundList found;
    const Look look = lookUntil(
        [&] {
            found = findList(selector, desktop, &census);
            return found.outcome;
        },
        request.waitSeconds.value_or(0), clock, [&] { return control.cancelled(); });
    const std::u16string understood = selectorText(selector);
    ReadTarget target;
    switch (look) {
    case Look::found:
        target.handle = found.list.handle;
        target.number = found.list.place;
        return target;
    case Look::many:
        target.exitCode = exitcode::ambiguous;
        target.line = decimal(static_cast<long long>(found.matches.size())) + u" lists match " + understood +
                      u"; each is named alone by one of these selectors:";
        target.matches = std::move(found.matches);
        return target;
    case Look::cancelled:
        target.exitCode = exitcode::nothingToRead;
        target.line = u"cancelled while looking for a list that matches " + understood;
        return target;
    case Look::none:
        break;
    }
    target.exitCode = exitcode::nothingToRead;
    target.line = u"no list matches " + understood;
    return target;
}

} // namespace quorvel
