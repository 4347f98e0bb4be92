#include "finding/Matching.h"

#include "listing/JsonRendering.h"
#include "listing/TextMatch.h"
#include "listing/Utf8.h"

namespace quorvel {

namespace {

// exe: with a "\" in it, the program's full path, else its file name.
bool exeMatches(const Clause& c, const TopWindow& w)
{
    if (w.program.path.empty())
        return false;
    return matchesPattern(c.value.find(u'\\') != std::u16string::npos ? w.program.path : w.exe(), c.value);
}

bool clauseHolds(const Clause& c, const TopWindow& w)
{
    switch (c.key) {
    case Key::title:
        return matchesPattern(w.title, c.value);
    case Key::exe:
        return exeMatches(c, w);
    case Key::pid:
        return c.number == w.processId;
    case Key::wclass:
        return matchesPattern(w.className, c.value);
    case Key::handle:
        return c.number == w.handle;
    default:
        return true;
    }
}

// An id clause names the id's 32 bits, whether written signed or not.
bool idHolds(const Clause& c, const std::optional<std::int32_t>& id)
{
    return id && static_cast<std::uint32_t>(c.number) == static_cast<std::uint32_t>(*id);
}

bool tellerClauseHolds(const Clause& c, const ListEntry& l)
{
    switch (c.key) {
    case Key::className:
        return matchesPattern(l.className, c.value);
    case Key::nn:
        return !l.nn.empty() && sameText(l.nn, c.value);
    case Key::id:
        return idHolds(c, l.id);
    default:
        return true;
    }
}

} // namespace

bool windowMatches(const Selector& selector, const TopWindow& window)
{
    for (const Clause& c : selector.clauses) {
        if (!clauseHolds(c, window))
            return false;
    }
    return true;
}

bool listMatches(const Selector& selector, const ListEntry& list)
{
    for (const Clause& c : selector.clauses) {
        if (!tellerClauseHolds(c, list))
            return false;
        if (c.key == Key::kind && !matchesPattern(kindWord(list.kind), c.value))
            return false;
        if (c.key == Key::name && (!list.accessible() || !matchesPattern(list.name, c.value)))
            return false;
    }
    return true;
}

bool mayTellMatches(const Selector& selector, const TopWindow& top, const ListEntry& teller)
{
    if (!admitsAccessible(selector) || !windowMatches(selector, top))
        return false;
    for (const Clause& c : selector.clauses) {
        if (!tellerClauseHolds(c, teller))
            return false;
    }
    return true;
}

bool admitsAccessible(const Selector& selector)
{
    const Clause* kind = selector.find(Key::kind);
    return selector.namesWindow() && (!kind || matchesPattern(kindWord(ListKind::accessible), kind->value));
}

std::vector<std::size_t> matchingLists(const Selector& selector, const Desk& desk)
{
    const Clause* nth = selector.find(Key::nth);
    std::vector<std::size_t> out;
    std::size_t window = desk.windows.size(), place = 0;
    for (std::size_t i = 0; i < desk.lists.size(); ++i) {
        const ListEntry& l = desk.lists[i];
        if (!windowMatches(selector, desk.windows[l.window]) || !listMatches(selector, l))
            continue;
        place = l.window == window ? place + 1 : 1;
        window = l.window;
        if (!nth || static_cast<std::int64_t>(place) == nth->number)
            out.push_back(i);
    }
    return out;
}

} // namespace quorvel
