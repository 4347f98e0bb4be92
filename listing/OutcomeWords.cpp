#include "listing/OutcomeWords.h"

#include "listing/Utf8.h"

namespace quorvel {

namespace {

struct Words {
    ReadEnd end;
    std::u16string_view reason;
    std::u16string_view brief;
    std::u16string_view json = {}; // empty: the reason
};

constexpr Words words[] = {
    {ReadEnd::complete, u"", u""},
    {ReadEnd::notAnswering, u"the target stopped answering", u"not answering"},
    {ReadEnd::windowGone, u"the target's window went away", u"the window closed"},
    {ReadEnd::memoryFailed, u"the target's memory could not be read", u"its memory could not be read"},
    {ReadEnd::cancelled, u"cancelled", u""},
    {ReadEnd::outOfMemory, u"Quorvel ran out of memory", u"out of memory"},
    {ReadEnd::refused, u"the program refused", u"the program refused", u"refused"},
    {ReadEnd::noWindow, u"no window has the handle", u""},
    {ReadEnd::nothingToRead, u"the window holds no list Quorvel reads", u""},
    {ReadEnd::accessDenied, u"access denied: the target runs with higher rights", u""},
};

const Words& wordsFor(ReadEnd end)
{
    for (const Words& w : words) {
        if (w.end == end)
            return w;
    }
    return words[0];
}

} // namespace

std::u16string_view stopReason(ReadEnd end)
{
    return wordsFor(end).reason;
}

std::u16string_view briefReason(ReadEnd end)
{
    return wordsFor(end).brief;
}

std::u16string_view jsonReason(ReadEnd end)
{
    const Words& w = wordsFor(end);
    return w.json.empty() ? w.reason : w.json;
}

std::u16string countOf(std::size_t n, const Listing& listing)
{
    const std::u16string unit = listing.report ? u" row" : u" item";
    return decimal(static_cast<long long>(n)) + unit + (n == 1 ? u"" : u"s");
}

std::u16string unreadableClause(const Listing& listing)
{
    return countOf(listing.unreadableRows(), listing) + u" could not be read";
}

} // namespace quorvel
