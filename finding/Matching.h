// Which windows and lists a selector names: every clause must hold; values
// match whole, in any case, with * and ? as wildcards where a key takes them.
#pragma once

#include "finding/Desk.h"
#include "finding/Selector.h"

namespace quorvel {

// The window clauses alone.
bool windowMatches(const Selector& selector, const TopWindow& window);
// The list clauses but nth.
bool listMatches(const Selector& selector, const ListEntry& list);
// Whether an accessible list could match, by the facts of the window that
// tells it, before any is asked for: the window clauses hold, and the class,
// nn and id clauses hold for that window.
bool mayTellMatches(const Selector& selector, const TopWindow& top, const ListEntry& teller);
// Whether the selector could name an accessible list at all: it names the
// window, and its kind, if any, may be accessible.
bool admitsAccessible(const Selector& selector);

// The lists the selector names, in the desk's order. With nth, the nth of
// those every other clause names, in each top-level window that has so many.
std::vector<std::size_t> matchingLists(const Selector& selector, const Desk& desk);

} // namespace quorvel
