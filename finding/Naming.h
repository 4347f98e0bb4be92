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
    // Empty where the desk holds too few windows' lists to tell.
    std::u16string selectorFor(std::size_t list) const;

private:
    struct Part {
        std::vector<Clause> clauses;
        // 0: the program or the title; 1: a window class alone; 8: a process id;
        // 16: a handle. A window part that names other windows too adds 2, a place (nth) 4.
        int tier = 0;
        bool pattern = false;  // a value holds a wildcard: counted by matching, not by key
        std::uint64_t key = 0; // the number of its folded values, for counting by key
    };
    std::vector<Part> partsOf(const ListEntry& list);
    void add(std::vector<Part>& parts, std::vector<Clause> clauses, int tier);
    // The lists in the windows wp names that lp names: how many, and those in
    // window in order.
    std::size_t count(const Part& wp, const Part& lp, std::size_t window, std::vector<std::size_t>& mine) const;
    // The windows wp names, and of those how many the desk holds without their lists.
    std::size_t windowsNamed(const Part& wp, std::size_t& unsurveyed) const;
    static std::uint64_t pair(std::uint64_t a, std::uint64_t b) { return a << 32 | b; }

    const Desk& desk_;
    std::vector<std::vector<Part>> windowParts_, listParts_;
    // Each distinct key's number, and what is counted by them.
    std::unordered_map<std::u16string, std::uint64_t> keys_;
    std::unordered_map<std::uint64_t, std::size_t> windowsByKey_, unsurveyedByKey_, listsByKey_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> listsInWindow_;
};

} // namespace quorvel
