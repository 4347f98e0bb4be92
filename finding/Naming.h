// The selector Quorvel prints for a list: one that names it alone on the
// desk surveyed, chosen for what stays across restarts first (the program
// and the window's title over its process id, the list's ClassNN, id or kind
// over its place, a pattern for a class name a build or a run made), then
// for shortness; the top-level window's handle only where nothing else does.
#pragma once

#include "finding/Desk.h"
#include "finding/Selector.h"

#include <optional>
#include <unordered_map>

namespace quorvel {

// A value as a printed selector carries it: inside double quotes on cmd's or
// PowerShell's command line, where ", %, $ and ` would be expanded, and
// without spaces at its ends, which a selector does not count. Such
// characters, control characters and (in a pattern) * become ?; nullopt
// when the value has one and is no pattern.
std::optional<std::u16string> quotableValue(std::u16string_view value, bool pattern);

// A pattern for a class name a build or a run made, and that changes between
// them ("WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1", "ATL:00A3B4C0",
// "HwndWrapper[app.exe;;5b8f...]"); nullopt for a name that looks fixed.
std::optional<std::u16string> generatedClassPattern(std::u16string_view className);

class Naming {
public:
    explicit Naming(const Desk& desk);
    std::u16string selectorFor(std::size_t list) const;

private:
    struct Part {
        std::vector<Clause> clauses;
        // 0: the program or the title; 1: a window class alone; 4: a process id;
        // 6: a handle; a place (nth) adds 2.
        int tier = 0;
        bool pattern = false; // a value holds a wildcard: counted by matching, not by key
        std::u16string key;   // the folded values, for counting by key
    };
    std::vector<Part> listParts(const ListEntry& list) const;
    // The lists in the windows wp names that lp names: how many, and those in
    // window in order.
    std::size_t count(const Part& wp, const Part& lp, std::size_t window, std::vector<std::size_t>& mine) const;
    std::size_t windowsNamed(const Part& wp) const;

    const Desk& desk_;
    std::vector<std::vector<Part>> windowParts_;
    std::unordered_map<std::u16string, std::size_t> windowsByKey_, listsByKey_;
    std::unordered_map<std::u16string, std::vector<std::size_t>> listsInWindow_;
};

} // namespace quorvel
