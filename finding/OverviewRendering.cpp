#include "finding/OverviewRendering.h"

#include "listing/CsvRendering.h"
#include "listing/JsonRendering.h"
#include "listing/Utf8.h"

#include <array>

namespace quorvel {

namespace {

constexpr std::array<std::u16string_view, 11> columns{u"selector", u"kind", u"items", u"handle", u"class", u"nn",
                                                      u"id",       u"pid",  u"exe",   u"bits",   u"title"};

// A row's values as text, none for a missing one; numbers flagged, for JSON.
struct Value {
    std::optional<std::u16string> text;
    bool number = false;
};

std::array<Value, columns.size()> valuesOf(const Desk& desk, const OverviewRow& row)
{
    const ListEntry& l = desk.lists[row.list];
    const TopWindow& w = desk.windows[l.window];
    const auto number = [](std::optional<std::int64_t> n) {
        return Value{n ? std::optional(decimal(*n)) : std::nullopt, true};
    };
    const auto text = [](const std::u16string& s) { return Value{s.empty() ? std::nullopt : std::optional(s)}; };
    return {text(row.selector),
            text(std::u16string(kindWord(l.kind))),
            number(row.items),
            number(l.handle),
            text(l.className),
            text(l.nn),
            number(l.id ? std::optional<std::int64_t>(*l.id) : std::nullopt),
            number(w.processId),
            text(w.exe()),
            number(w.program.bits ? std::optional<std::int64_t>(w.program.bits) : std::nullopt),
            Value{w.title}};
}

} // namespace

std::u16string renderOverviewText(const Desk& desk, const std::vector<OverviewRow>& rows)
{
    std::u16string out;
    for (std::u16string_view c : columns) {
        out += c;
        out += c == columns.back() ? u"\r\n" : u"\t";
    }
    for (const OverviewRow& row : rows) {
        const auto values = valuesOf(desk, row);
        for (std::size_t c = 0; c < values.size(); ++c) {
            std::u16string field = values[c].text.value_or(u"");
            for (char16_t& ch : field)
                ch = ch == u'\t' || ch == u'\r' || ch == u'\n' ? u' ' : ch;
            out += field.empty() ? u"-" : field;
            out += c + 1 == values.size() ? u"\r\n" : u"\t";
        }
    }
    return out;
}

std::u16string renderOverviewCsv(const Desk& desk, const std::vector<OverviewRow>& rows, bool safeCsv)
{
    std::u16string out;
    for (std::u16string_view c : columns) {
        appendCsvField(out, c, false);
        out += c == columns.back() ? u"\r\n" : u",";
    }
    for (const OverviewRow& row : rows) {
        const auto values = valuesOf(desk, row);
        for (std::size_t c = 0; c < values.size(); ++c) {
            appendCsvField(out, values[c].text.value_or(u""), safeCsv && !values[c].number);
            out += c + 1 == values.size() ? u"\r\n" : u",";
        }
    }
    return out;
}

std::u16string renderOverviewJson(const Desk& desk, const std::vector<OverviewRow>& rows)
{
    std::u16string out = u"{\r\n  \"lists\": [";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r ? u",\r\n    {" : u"\r\n    {";
        const auto values = valuesOf(desk, rows[r]);
        for (std::size_t c = 0; c < values.size(); ++c) {
            out += c ? u", " : u"";
            appendJsonString(out, columns[c]);
            out += u": ";
            if (!values[c].text)
                out += u"null";
            else if (values[c].number)
                out += *values[c].text;
            else
                appendJsonString(out, *values[c].text);
            if (columns[c] == u"items" && (rows[r].unanswered || rows[r].denied))
                out += rows[r].denied ? u", \"denied\": true" : u", \"unanswered\": true";
        }
        out += u"}";
    }
    out += rows.empty() ? u"]\r\n}\r\n" : u"\r\n  ]\r\n}\r\n";
    return out;
}

} // namespace quorvel
