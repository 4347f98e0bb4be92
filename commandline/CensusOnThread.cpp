#include "commandline/CensusOnThread.h"

#include "reading/ReadingThread.h"

namespace quorvel {

AccessibleCensus::Answer CensusOnThread::listNames(WindowHandle window, std::vector<std::u16string>& names)
{
    names.clear();
    if (!accessible_)
        return Answer::told;
    ReadOptions options;
    options.namesOnly = true;
    Listing listing =
        readAndWait(desktop_, accessible_, {window, options, {}, [this] { return control_.cancelled(); }}, boundMs_);
    switch (listing.end) {
    case ReadEnd::complete:
        names = std::move(listing.accessible.names);
        return Answer::told;
    case ReadEnd::notAnswering:
        return Answer::unanswered;
    case ReadEnd::accessDenied:
        return Answer::denied;
    case ReadEnd::cancelled:
        return Answer::cancelled;
    default:
        return Answer::told; // gone, or nothing to tell
    }
}

} // namespace quorvel
