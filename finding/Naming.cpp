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

void Naming::add(std::vector<Part>& parts, std::vector<Clause> clauses, int tier)
{
    const bool pattern = hasWildcard(clauses);
    const std::uint64_t key = pattern ? 0 : keys_.try_emplace(keyOf(clauses), keys_.size() + 1).first->second;
    parts.push_back({std::move(clauses), tier, pattern, key});
}

Naming::Naming(const Desk& desk) : desk_(desk)
{
    for (const TopWindow& w : desk.windows) {
        std::vector<Part> parts;
        const std::optional<std::u16string> exe = w.exe().empty() ? std::nullopt : quotableValue(w.exe(), true);
        const std::u16string title = *quotableValue(w.title, true);
        const std::u16string wclass = generatedClassPattern(w.className).value_or(*quotableValue(w.className, true));
        // An empty title says little: it names a window only where its program can't.
        const bool titled = !title.empty() || !exe;
        if (exe)
            add(parts, {clause(Key::exe, *exe)}, 0);
        if (titled)
            add(parts, {clause(Key::title, title)}, 0);
        add(parts, {clause(Key::wclass, wclass)}, 1); // a class many programs' windows may share
        if (exe && titled)
            add(parts, {clause(Key::exe, *exe), clause(Key::title, title)}, 0);
        if (exe)
            add(parts, {clause(Key::exe, *exe), clause(Key::wclass, wclass)}, 0);
        if (titled)
            add(parts, {clause(Key::title, title), clause(Key::wclass, wclass)}, 0);
        add(parts, {clause(Key::pid, decimal(w.processId), w.processId)}, 8);
        add(parts, {clause(Key::pid, decimal(w.processId), w.processId), clause(Key::title, title)}, 8);
        add(parts, {clause(Key::handle, decimal(w.handle), w.handle)}, 16);
        for (const Part& p : parts) {
            if (!p.pattern)
                ++(w.surveyed ? windowsByKey_ : unsurveyedByKey_)[p.key];
        }
        windowParts_.push_back(std::move(parts));
    }
    for (std::size_t i = 0; i < desk.lists.size(); ++i) {
        const ListEntry& l = desk.lists[i];
        listParts_.push_back(partsOf(l));
        for (const Part& lp : listParts_.back()) {
            if (lp.pattern)
                continue;
            listsInWindow_[pair(l.window, lp.key)].push_back(i);
            for (const Part& wp : windowParts_[l.window]) {
                if (!wp.pattern)
                    ++listsByKey_[pair(wp.key, lp.key)];
            }
        }
    }
}

std::vector<Naming::Part> Naming::partsOf(const ListEntry& l)
{
    std::vector<Part> parts;
    const std::optional<std::u16string> generated = generatedClassPattern(l.className);
    const Clause cls = clause(Key::className, generated.value_or(*quotableValue(l.className, true)));
    const std::optional<std::u16string> nn = generated ? std::nullopt : quotableValue(l.nn, false);
    const Clause kind = clause(Key::kind, std::u16string(kindWord(l.kind)));
    const std::optional<Clause> id = l.id ? std::optional(clause(Key::id, decimal(*l.id), *l.id)) : std::nullopt;
    if (!l.accessible()) {
        // Each part names a kind of control, so that no accessible list matches it.
        add(parts, {kind}, 0);
        if (nn)
            add(parts, {clause(Key::nn, *nn)}, 0);
        add(parts, {cls}, 0);
        if (id) {
            add(parts, {kind, *id}, 0);
            add(parts, {cls, *id}, 0);
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
        add(parts, named, 0);
    }
    teller.push_back(kind);
    add(parts, teller, 0);
    return parts;
}

std::size_t Naming::windowsNamed(const Part& wp, std::size_t& unsurveyed) const
{
    if (!wp.pattern) {
        const auto in = windowsByKey_.find(wp.key), out = unsurveyedByKey_.find(wp.key);
        unsurveyed = out == unsurveyedByKey_.end() ? 0 : out->second;
        return (in == windowsByKey_.end() ? 0 : in->second) + unsurveyed;
    }
    const Selector s{wp.clauses};
    std::size_t n = 0;
    unsurveyed = 0;
    for (const TopWindow& w : desk_.windows) {
        if (windowMatches(s, w)) {
            ++n;
            unsurveyed += !w.surveyed;
        }
    }
    return n;
}

std::size_t Naming::count(const Part& wp, const Part& lp, std::size_t window, std::vector<std::size_t>& mine) const
{
    mine.clear();
    if (!wp.pattern && !lp.pattern) {
        const auto in = listsInWindow_.find(pair(window, lp.key));
        if (in != listsInWindow_.end())
            mine = in->second;
        const auto all = listsByKey_.find(pair(wp.key, lp.key));
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
    // The best a part skipped for windows whose lists the desk lacks might have made.
    std::pair<int, std::size_t> skipped{99, 0};
    std::vector<std::size_t> mine;
    for (const Part& wp : windowParts_[l.window]) {
        // A part that names the window alone keeps naming its list when the
        // program opens another window; an accessible list's window is always
        // named alone, as the census asked no other. A window whose lists the
        // desk does not hold may hold one like this.
        std::size_t unsurveyed = 0;
        const std::size_t windows = windowsNamed(wp, unsurveyed);
        if (unsurveyed && !l.accessible()) {
            for (const Part& lp : listParts_[list]) {
                Selector s{wp.clauses};
                s.clauses.insert(s.clauses.end(), lp.clauses.begin(), lp.clauses.end());
                skipped = std::min(skipped, std::pair(wp.tier + 2, selectorText(s).size()));
            }
        }
        if (unsurveyed || (l.accessible() && windows != 1))
            continue;
        for (const Part& lp : listParts_[list]) {
            const std::size_t n = count(wp, lp, l.window, mine);
            const auto at = std::find(mine.begin(), mine.end(), list);
            if (at == mine.end() || (n != 1 && n != mine.size()))
                continue;
            Selector s{wp.clauses};
            s.clauses.insert(s.clauses.end(), lp.clauses.begin(), lp.clauses.end());
            const int tier = wp.tier + (windows == 1 ? 0 : 2) + (n == 1 ? 0 : 4);
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
    return skipped < std::pair(bestTier, best.size()) ? std::u16string() : best;
}

} // namespace quorvel
