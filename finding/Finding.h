// Finds the one list a selector names, or tells why there is none: no list
// matches, or several do, each then with a selector that names it alone.
#pragma once

#include "finding/Survey.h"
#include "finding/Waiting.h"

namespace quorvel {

struct FoundList {
    Look outcome = Look::none;
    ListEntry list;                      // the one found
    std::vector<std::u16string> matches; // several: a selector for each
};

// Surveys only the windows the selector's window clauses name, and asks for
// accessible lists only where one it names could be told.
FoundList findList(const Selector& selector, WindowTree& tree, AccessibleCensus* census);

// A census that asks each window once and keeps the answer.
class KeptCensus : public AccessibleCensus {
public:
    explicit KeptCensus(AccessibleCensus& census) : census_(census) {}
    Answer listNames(WindowHandle window, std::vector<std::u16string>& names) override;

private:
    AccessibleCensus& census_;
    std::vector<std::pair<WindowHandle, std::pair<Answer, std::vector<std::u16string>>>> kept_;
};

} // namespace quorvel
