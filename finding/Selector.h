// A list named by what stays across restarts instead of by its handle:
// clauses "key=value" joined by ";" ("exe=regedit.exe; nn=SysListView321"),
// about the top-level window (its title, program, process, class, handle)
// and about the list in it (its class, ClassNN, control id, kind, accessible
// name, place). Spaces around keys and values do not count; ";;" is a ";"
// of the value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

enum class Key {
    // Of the top-level window.
    title,
    exe,
    pid,
    wclass,
    handle,
    // Of the list.
    className, // "class"
    nn,
    id,
    kind,
    name,
    nth,
};

struct Clause {
    Key key;
    std::u16string value;
    // The value of pid, id, handle and nth as a number.
    std::int64_t number = 0;
};

struct Selector {
    std::vector<Clause> clauses;

    const Clause* find(Key key) const;
    // Whether a clause names the top-level window: title, exe, pid, wclass or handle.
    bool namesWindow() const;
};

std::u16string_view keyWord(Key key);
bool isWindowKey(Key key);
// Keys whose values may hold the wildcards * and ?.
bool takesPattern(Key key);

// An argument that holds "=" is a selector; anything else is a handle.
bool isSelector(std::u16string_view text);

struct ParsedSelector {
    Selector selector;
    std::u16string wrong; // what is wrong with it, naming the clause; empty when nothing is
};

// An unknown key, a clause without "=", a key given twice, an empty value
// (but title=, an empty caption), a number that is none, and name, nth or
// kind=accessible without a clause that names the window are wrong.
ParsedSelector parseSelector(std::u16string_view text);

// The selector as understood, clause by clause in the order given:
// "exe=regedit.exe; class=SysListView32".
std::u16string selectorText(const Selector& selector);

} // namespace quorvel
