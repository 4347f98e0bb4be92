#include "commandline/CensusOnThread.h"

#include "commandline/ReadOnThread.h"

namespace quorvel {

AccessibleCensus::Answer CensusOnThread::listNames(WindowHandle window, std::vector<std::u16string>& names)
{
    names.clear();
    if (!accessible_)
        return Answer::told;
    ReadOptions options{accessible_};
    options.namesOnly = true;
    ThreadedRead read = readOnThread(desktop_, window, control_, options, boundMs_);
    threadLeft_ = threadLeft_ || read.givenUp;
    switch (read.listing.end) {
    case ReadEnd::complete:
        names = std::move(read.listing.listNames);
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
