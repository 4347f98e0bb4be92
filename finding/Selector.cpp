#include "finding/Selector.h"

#include "handle/HandleText.h"
#include "listing/JsonRendering.h"
#include "listing/TextMatch.h"

#include <array>
#include <optional>

namespace quorvel {

namespace {

constexpr std::array<std::pair<Key, std::u16string_view>, 11> keys{{
    {Key::title, u"title"},
    {Key::exe, u"exe"},
    {Key::pid, u"pid"},
    {Key::wclass, u"wclass"},
    {Key::handle, u"handle"},
    {Key::className, u"class"},
    {Key::nn, u"nn"},
    {Key::id, u"id"},
    {Key::kind, u"kind"},
    {Key::name, u"name"},
    {Key::nth, u"nth"},
}};

constexpr ListKind kinds[] = {ListKind::listBox,  ListKind::comboBox,   ListKind::comboBoxEx, ListKind::listView,
                              ListKind::treeView, ListKind::tabControl, ListKind::statusBar,  ListKind::header,
                              ListKind::toolbar,  ListKind::accessible};

std::optional<Key> keyNamed(std::u16string_view word)
{
    for (const auto& [key, name] : keys) {
        if (sameText(word, name))
            return key;
    }
    return std::nullopt;
}

std::u16string_view trimmed(std::u16string_view s)
{
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t'))
        s.remove_suffix(1);
    return s;
}

// Decimal digits, or hexadecimal after 0x; nullopt for anything else or a
// number past 32 bits.
std::optional<std::int64_t> numberOf(std::u16string_view text, bool hex)
{
    int base = 10;
    if (hex && text.size() > 2 && text[0] == u'0' && folded(text[1]) == u'x') {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t n = 0;
    for (char16_t c : text) {
        const char16_t f = folded(c);
        const int digit = c >= u'0' && c <= u'9' ? c - u'0' : base == 16 && f >= u'a' && f <= u'f' ? f - u'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        n = n * base + digit;
    }
    return n <= 0xFFFFFFFF ? std::optional(n) : std::nullopt;
}

// The clauses of text, ";;" read as a ";" of the value.
std::vector<std::u16string> clausesOf(std::u16string_view text)
{
    std::vector<std::u16string> out(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u';')
            out.back() += text[i];
        else if (i + 1 < text.size() && text[i + 1] == u';')
            out.back() += text[i++];
        else
            out.emplace_back();
    }
    return out;
}

// The number a clause's value stands for, or why it is none.
std::u16string checkNumber(Clause& c, std::u16string_view clause)
{
    const std::u16string quoted = u"\"" + std::u16string(clause) + u"\"";
    if (c.key == Key::handle) {
        const std::optional<WindowHandle> h = targetHandle(handleTextValue(c.value));
        c.number = h.value_or(0);
        return h ? u"" : quoted + u": handle takes a window handle";
    }
    const std::optional<std::int64_t> n = numberOf(c.value, c.key == Key::id);
    c.number = n.value_or(0);
    if (c.key == Key::id)
        return n ? u"" : quoted + u": id takes a decimal number or 0x and hexadecimal digits";
    return n && (c.key != Key::nth || *n > 0)
               ? u""
               : quoted + u": " + std::u16string(keyWord(c.key)) +
                     (c.key == Key::nth ? u" takes a number from 1" : u" takes a number");
}

std::u16string checkKind(const Clause& c, std::u16string_view clause)
{
    for (ListKind k : kinds) {
        if (matchesPattern(kindWord(k), c.value))
            return u"";
    }
    return u"\"" + std::u16string(clause) +
           u"\": kind is one of listbox, combobox, comboboxex, listview, treeview, tab, statusbar, header, toolbar, "
           u"accessible";
}

} // namespace

const Clause* Selector::find(Key key) const
{
    for (const Clause& c : clauses) {
        if (c.key == key)
            return &c;
    }
    return nullptr;
}

bool Selector::namesWindow() const
{
    for (const Clause& c : clauses) {
        if (isWindowKey(c.key))
            return true;
    }
    return false;
}

std::u16string_view keyWord(Key key)
{
    for (const auto& [k, name] : keys) {
        if (k == key)
            return name;
    }
    return u"";
}

bool isWindowKey(Key key)
{
    return key == Key::title || key == Key::exe || key == Key::pid || key == Key::wclass || key == Key::handle;
}

bool takesPattern(Key key)
{
    return key != Key::nn && key != Key::id && key != Key::pid && key != Key::nth && key != Key::handle;
}

bool isSelector(std::u16string_view text)
{
    return text.find(u'=') != std::u16string_view::npos;
}

ParsedSelector parseSelector(std::u16string_view text)
{
    ParsedSelector parsed;
    Selector& s = parsed.selector;
    for (const std::u16string& raw : clausesOf(text)) {
        const std::u16string_view clause = trimmed(raw);
        if (clause.empty())
            continue; // a ";" at the end, or two with nothing between
        const std::size_t equals = clause.find(u'=');
        if (equals == std::u16string_view::npos) {
            parsed.wrong = u"the clause \"" + std::u16string(clause) + u"\" has no \"=\" (key=value)";
            return parsed;
        }
        const std::u16string_view word = trimmed(clause.substr(0, equals));
        const std::optional<Key> key = keyNamed(word);
        if (!key) {
            parsed.wrong = u"unknown key \"" + std::u16string(word) + u"\" in \"" + std::u16string(clause) + u"\"";
            return parsed;
        }
        if (s.find(*key)) {
            parsed.wrong = std::u16string(keyWord(*key)) + u"= given twice";
            return parsed;
        }
        Clause c{*key, std::u16string(trimmed(clause.substr(equals + 1)))};
        if (c.value.empty() && c.key != Key::title) {
            parsed.wrong = u"the clause \"" + std::u16string(clause) + u"\" has no value";
            return parsed;
        }
        const bool numeric = c.key == Key::pid || c.key == Key::id || c.key == Key::nth || c.key == Key::handle;
        parsed.wrong = numeric ? checkNumber(c, clause) : c.key == Key::kind ? checkKind(c, clause) : u"";
        if (!parsed.wrong.empty())
            return parsed;
        s.clauses.push_back(std::move(c));
    }
    const Clause* kind = s.find(Key::kind);
    const Key needy = s.find(Key::name) ? Key::name : s.find(Key::nth) ? Key::nth : Key::kind;
    if ((needy != Key::kind || (kind && sameText(kind->value, u"accessible"))) && !s.namesWindow())
        parsed.wrong = std::u16string(keyWord(needy)) + (needy == Key::kind ? u"=accessible" : u"=") +
                       u" needs a clause that names the window: title, exe, pid, wclass or handle";
    if (s.clauses.empty())
        parsed.wrong = u"the selector \"" + std::u16string(text) + u"\" has no clause";
    return parsed;
}

std::u16string selectorText(const Selector& selector)
{
    std::u16string out;
    for (const Clause& c : selector.clauses) {
        if (!out.empty())
            out += u"; ";
        out += keyWord(c.key);
        out += u'=';
        for (char16_t ch : c.value)
            out += ch == u';' ? u";;" : std::u16string(1, ch);
    }
    return out;
}

} // namespace quorvel
