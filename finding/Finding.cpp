#include "finding/Finding.h"

#include "finding/Matching.h"
#include "finding/Naming.h"

namespace quorvel {

AccessibleCensus::Answer KeptCensus::listNames(WindowHandle window, std::vector<std::u16string>& names)
{
    for (const auto& [w, answer] : kept_) {
        if (w == window) {
            names = answer.second;
            return answer.first;
        }
    }
    const Answer a = census_.listNames(window, names);
    if (a != Answer::cancelled)
        kept_.push_back({window, {a, names}});
    return a;
}

FoundList findList(const Selector& selector, WindowTree& tree, AccessibleCensus* census)
{
    std::optional<KeptCensus> kept;
    if (census && admitsAccessible(selector))
        kept.emplace(*census);
    AccessibleCensus* asked = kept ? &*kept : nullptr;
    Desk desk = survey(tree, {&selector, asked, &selector});
    FoundList found;
    if (desk.cancelled) {
        found.outcome = Look::cancelled;
        return found;
    }
    const std::vector<std::size_t> lists = matchingLists(selector, desk);
    if (lists.size() == 1) {
        found.outcome = Look::found;
        found.list = desk.lists[lists.front()];
        return found;
    }
    if (lists.empty())
        return found;
    // Each named alone on the whole desk: survey it all, asking no window twice.
    std::vector<std::pair<WindowHandle, std::size_t>> which; // by handle and place
    for (std::size_t i : lists)
        which.emplace_back(desk.lists[i].handle, desk.lists[i].place);
    Desk whole = survey(tree, {nullptr, asked, &selector});
    const Naming naming(whole);
    for (std::size_t i = 0; i < whole.lists.size(); ++i) {
        const ListEntry& l = whole.lists[i];
        for (const auto& [h, place] : which) {
            if (l.handle == h && l.place == place)
                found.matches.push_back(naming.selectorFor(i));
        }
    }
    found.outcome = whole.cancelled ? Look::cancelled : Look::many;
    return found;
}

} // namespace quorvel
