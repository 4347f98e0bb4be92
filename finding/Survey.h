// Surveys the desktop's windows for the lists Quorvel reads: every control
// its class table knows, as one list where several windows make one (a combo
// box and its Edit), and the lists a window's program tells only through
// accessibility, asked for where no control Quorvel knows lies.
#pragma once

#include "finding/Desk.h"
#include "finding/Selector.h"

namespace quorvel {

// Where the names of the lists a window tells through accessibility come
// from, in the order a read walks them, with the read's bounds.
class AccessibleCensus {
public:
    virtual ~AccessibleCensus() = default;
    enum class Answer { told, unanswered, denied, cancelled };
    virtual Answer listNames(WindowHandle window, std::vector<std::u16string>& names) = 0;
};

struct SurveyScope {
    // Only the top-level windows whose window clauses this matches; none: all.
    const Selector* windows = nullptr;
    // Accessible lists are asked for only here; none: they are not looked for.
    AccessibleCensus* census = nullptr;
    // ...and only in windows where a list this names could be told; none: everywhere.
    const Selector* told = nullptr;
    // The other top-level windows kept too, without their lists: enough to
    // name a window alone, and cheaper than all their descendants.
    bool keepOthers = false;
};

// The visible, uncloaked top-level windows topmost first, each with its
// lists in the order of its descendants. A program that did not answer the
// census, or refused, is not asked again.
Desk survey(WindowTree& tree, const SurveyScope& scope);

// A census that asks no program: the names a read found one window to tell,
// and none elsewhere.
class ToldCensus : public AccessibleCensus {
public:
    ToldCensus(WindowHandle window, std::vector<std::u16string> names) : window_(window), names_(std::move(names)) {}
    Answer listNames(WindowHandle window, std::vector<std::u16string>& names) override
    {
        if (window == window_)
            names = names_;
        return Answer::told;
    }

private:
    WindowHandle window_;
    std::vector<std::u16string> names_;
};

// System controls that tell no list of their own through accessibility.
bool tellsNoList(const std::u16string& className);

} // namespace quorvel
