#include "finding/Naming.h"

#include "finding/Matching.h"
#include "listing/JsonRendering.h"
#include "listing/TextMatch.h"
#include "listing/Utf8.h"

#include <algorithm>

namespace quorvel {

namespace {

constexpr char16_t separator = u'\x1F';

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (folded(c) >= u'a' && folded(c) <= u'f');
}

bool isAlnum(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (folded(c) >= u'a' && folded(c) <= u'z');
}

Clause clause(Key key, std::u16string value, std::int64_t number = 0)
{
    return {key, std::move(value), number};
}

bool hasWildcard(const std::vector<Clause>& clauses)
{
    return std::any_of(clauses.begin(), clauses.end(), [](const Clause& c) {
        return takesPattern(c.key) && c.value.find_first_of(u"*?") != std::u16string::npos;
    });
}

std::u16string keyOf(const std::vector<Clause>& clauses)
{
    std::u16string key;
    for (const Clause& c : clauses) {
        key += keyWord(c.key);
        key += u'=';
        key += foldedText(c.value);
        key += separator;
    }
    return key;
}

} // namespace

std::optional<std::u16string> quotableValue(std::u16string_view value, bool pattern)
{
    std::u16string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char16_t c = value[i];
        const bool end = (i == 0 || i + 1 == value.size()) && (c == u' ' || c == u'\t');
        const bool expands = c == u'"' || c == u'%' || c == u'$' || c == u'`';
        if (c < 0x20 || end || expands || (pattern && c == u'*')) {
            if (!pattern)
                return std::nullopt;
            out += u'?';
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::u16string> generatedClassPattern(std::u16string_view name)
{
    // Windows Forms: "WindowsForms<version>.<class>.app.<domain>.<hash>_r<n>_ad<n>".
    if (const std::size_t app = name.find(u".app.");
        app != std::u16string_view::npos && name.size() > app + 5 && sameText(name.substr(0, 12), u"WindowsForms"))
        return std::u16string(name.substr(0, app + 5)) + u"*";
    // Elsewhere an address or a GUID: a run of six hexadecimal digits or more,
    // a digit among them, standing apart from letters.
    for (std::size_t i = 0; i < name.size();) {
        std::size_t j = i;
        bool digit = false;
        while (j < name.size() && isHexDigit(name[j]))
            digit = digit || (name[j] >= u'0' && name[j] <= u'9'), ++j;
        const bool apart = (i == 0 || !isAlnum(name[i - 1])) && (j == name.size() || !isAlnum(name[j]));
        if (j - i >= 6 && digit && apart) {
            std::u16string prefix(name.substr(0, i));
            while (!prefix.empty() && prefix.back() == u';')
                prefix.pop_back();
            return prefix + u"*";
        }
        i = j > i ? j : i + 1;
    }
    return std::nullopt;
}

Naming::Naming(const Desk& desk) : desk_(desk)
{
    for (const TopWindow& w : desk.windows) {
        std::vector<Part> parts;
        const auto add = [&](std::vector<Clause> clauses, int tier) {
            const bool pattern = hasWildcard(clauses);
            parts.push_back({clauses, tier, pattern, pattern ? u"" : keyOf(clauses)});
        };
        const std::optional<std::u16string> exe = w.exe().empty() ? std::nullopt : quotableValue(w.exe(), true);
        const std::u16string title = *quotableValue(w.title, true);
        const std::u16string wclass = generatedClassPattern(w.className).value_or(*quotableValue(w.className, true));
        // An empty title says little: it names a window only where its program can't.
        const bool titled = !title.empty() || !exe;
        if (exe)
            add({clause(Key::exe, *exe)}, 0);
        if (titled)
            add({clause(Key::title, title)}, 0);
        add({clause(Key::wclass, wclass)}, 1); // a class many programs' windows may share
        if (exe && titled)
            add({clause(Key::exe, *exe), clause(Key::title, title)}, 0);
        if (exe)
            add({clause(Key::exe, *exe), clause(Key::wclass, wclass)}, 0);
        if (titled)
            add({clause(Key::title, title), clause(Key::wclass, wclass)}, 0);
        add({clause(Key::pid, decimal(w.processId), w.processId)}, 4);
        add({clause(Key::pid, decimal(w.processId), w.processId), clause(Key::title, title)}, 4);
        add({clause(Key::handle, decimal(w.handle), w.handle)}, 6);
        for (const Part& p : parts) {
            if (!p.pattern)
                ++windowsByKey_[p.key];
        }
        windowParts_.push_back(std::move(parts));
    }
    for (std::size_t i = 0; i < desk.lists.size(); ++i) {
        const ListEntry& l = desk.lists[i];
        for (const Part& lp : listParts(l)) {
            if (lp.pattern)
                continue;
            listsInWindow_[decimal(static_cast<long long>(l.window)) + separator + lp.key].push_back(i);
            for (const Part& wp : windowParts_[l.window]) {
                if (!wp.pattern)
                    ++listsByKey_[wp.key + lp.key];
            }
        }
    }
}

std::vector<Naming::Part> Naming::listParts(const ListEntry& l) const
{
    std::vector<Part> parts;
    const auto add = [&](std::vector<Clause> clauses) {
        const bool pattern = hasWildcard(clauses);
        parts.push_back({clauses, 0, pattern, pattern ? u"" : keyOf(clauses)});
    };
    const std::optional<std::u16string> generated = generatedClassPattern(l.className);
    const Clause cls = clause(Key::className, generated.value_or(*quotableValue(l.className, true)));
    const std::optional<std::u16string> nn = generated ? std::nullopt : quotableValue(l.nn, false);
    const Clause kind = clause(Key::kind, std::u16string(kindWord(l.kind)));
    const std::optional<Clause> id = l.id ? std::optional(clause(Key::id, decimal(*l.id), *l.id)) : std::nullopt;
    if (!l.accessible()) {
        // Each part names a kind of control, so that no accessible list matches it.
        add({kind});
        if (nn)
            add({clause(Key::nn, *nn)});
        add({cls});
        if (id) {
            add({kind, *id});
            add({cls, *id});
        }
        return parts;
    }
    // An accessible list is named by the window that tells it, then by its
    // name or place among that window's lists.
    std::vector<Clause> teller;
    if (!l.nn.empty() && nn)
        teller = {clause(Key::nn, *nn)};
    else if (!l.nn.empty())
        teller = id ? std::vector{cls, *id} : std::vector{cls};
    const std::u16string name = *quotableValue(l.name, true);
    if (!name.empty()) {
        std::vector<Clause> named = teller;
        named.push_back(clause(Key::name, name));
        add(named);
    }
    teller.push_back(kind);
    add(teller);
    return parts;
}

std::size_t Naming::windowsNamed(const Part& wp) const
{
    if (!wp.pattern)
        return windowsByKey_.at(wp.key);
    const Selector s{wp.clauses};
    return static_cast<std::size_t>(std::count_if(desk_.windows.begin(), desk_.windows.end(),
                                                  [&](const TopWindow& w) { return windowMatches(s, w); }));
}

std::size_t Naming::count(const Part& wp, const Part& lp, std::size_t window, std::vector<std::size_t>& mine) const
{
    mine.clear();
    if (!wp.pattern && !lp.pattern) {
        const auto in = listsInWindow_.find(decimal(static_cast<long long>(window)) + separator + lp.key);
        if (in != listsInWindow_.end())
            mine = in->second;
        const auto all = listsByKey_.find(wp.key + lp.key);
        return all == listsByKey_.end() ? 0 : all->second;
    }
    std::vector<Clause> both = wp.clauses;
    both.insert(both.end(), lp.clauses.begin(), lp.clauses.end());
    const Selector s{both};
    std::size_t n = 0;
    for (std::size_t i = 0; i < desk_.lists.size(); ++i) {
        const ListEntry& l = desk_.lists[i];
        if (windowMatches(s, desk_.windows[l.window]) && listMatches(s, l)) {
            ++n;
            if (l.window == window)
                mine.push_back(i);
        }
    }
    return n;
}

std::u16string Naming::selectorFor(std::size_t list) const
{
    const ListEntry& l = desk_.lists[list];
    std::u16string best;
    int bestTier = 99;
    std::vector<std::size_t> mine;
    for (const Part& wp : windowParts_[l.window]) {
        // An accessible list's window is named alone: the census asked no other.
        if (l.accessible() && windowsNamed(wp) != 1)
            continue;
        for (const Part& lp : listParts(l)) {
            const std::size_t n = count(wp, lp, l.window, mine);
            const auto at = std::find(mine.begin(), mine.end(), list);
            if (at == mine.end() || (n != 1 && n != mine.size()))
                continue;
            Selector s{wp.clauses};
            s.clauses.insert(s.clauses.end(), lp.clauses.begin(), lp.clauses.end());
            const int tier = wp.tier + (n == 1 ? 0 : 2);
            if (n != 1) {
                const auto place = static_cast<std::int64_t>(at - mine.begin() + 1);
                s.clauses.push_back(clause(Key::nth, decimal(place), place));
            }
            const std::u16string text = selectorText(s);
            if (tier < bestTier || (tier == bestTier && text.size() < best.size())) {
                best = text;
                bestTier = tier;
            }
        }
    }
    return best;
}

} // namespace quorvel
