#include "listing/JsonRendering.h"

#include "listing/OutcomeWords.h"
#include "listing/Utf8.h"

#include <iterator>
#include <span>
#include <vector>

namespace quorvel {

namespace {

constexpr std::u16string_view newline = u"\r\n";

void appendString(std::u16string& out, std::u16string_view text)
{
    static constexpr char16_t hex[] = u"0123456789abcdef";
    out += u'"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else if (c < 0x20) {
            out += u"\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += isLoneSurrogate(text, i) ? u'\uFFFD' : c;
        }
    }
    out += u'"';
}

void appendMember(std::u16string& out, std::u16string_view name)
{
    out += u",";
    out += newline;
    out += u"  ";
    appendString(out, name);
    out += u": ";
}

// An array with one element per line; element(i) appends the i-th.
template <typename Element> void appendArray(std::u16string& out, std::size_t count, Element element)
{
    out += u'[';
    for (std::size_t i = 0; i < count; ++i) {
        out += i ? u"," : u"";
        out += newline;
        out += u"    ";
        element(i);
    }
    if (count) {
        out += newline;
        out += u"  ";
    }
    out += u']';
}

// Numbers on one line: [0, 3, 5].
template <typename Numbers> void appendNumbers(std::u16string& out, const Numbers& numbers)
{
    out += u'[';
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        out += i ? u", " : u"";
        out += decimal(static_cast<long long>(numbers[i]));
    }
    out += u']';
}

} // namespace

std::u16string_view kindWord(ListKind kind)
{
    switch (kind) {
    case ListKind::listBox:
        return u"listbox";
    case ListKind::comboBox:
        return u"combobox";
    case ListKind::comboBoxEx:
        return u"comboboxex";
    case ListKind::listView:
        return u"listview";
    case ListKind::treeView:
        return u"treeview";
    case ListKind::header:
        return u"header";
    case ListKind::tabControl:
        return u"tab";
    case ListKind::statusBar:
        return u"statusbar";
    case ListKind::toolbar:
        return u"toolbar";
    case ListKind::accessible:
        return u"accessible";
    case ListKind::none:
        break;
    }
    return u"none";
}

std::u16string renderJson(const Listing& listing, const RenderOptions& options)
{
    const RowFilter& only = options.only;
    // The rows written, when not every one is.
    std::vector<std::size_t> written;
    for (std::size_t r = 0; only.any() && r < listing.rows(); ++r) {
        if (only.passes(listing, r))
            written.push_back(r);
    }
    const std::size_t count = only.any() ? written.size() : listing.rows();
    const auto rowAt = [&](std::size_t i) { return only.any() ? written[i] : i; };

    std::u16string out = u"{";
    out += newline;
    out += u"  \"handle\": " + decimal(listing.handle);
    appendMember(out, u"class");
    appendString(out, listing.className);
    if (listing.readFrom.handle) {
        appendMember(out, u"readFrom");
        out += u"{\"handle\": " + decimal(listing.readFrom.handle) + u", \"class\": ";
        appendString(out, listing.readFrom.className);
        out += u'}';
    }
    appendMember(out, u"kind");
    appendString(out, kindWord(listing.kind));
    if (listing.kind == ListKind::accessible) {
        static constexpr std::u16string_view roles[] = {u"list", u"tree", u"table"};
        appendMember(out, u"role");
        appendString(out, roles[static_cast<int>(listing.accessible.role)]);
        appendMember(out, u"name");
        appendString(out, listing.accessible.name);
        appendMember(out, u"list");
        out += decimal(static_cast<long long>(listing.accessible.number));
        appendMember(out, u"lists");
        out += decimal(static_cast<long long>(listing.accessible.count));
    }
    appendMember(out, u"complete");
    out += listing.whole() ? u"true" : u"false";
    if (listing.end != ReadEnd::complete) {
        appendMember(out, u"stopped");
        appendString(out, jsonReason(listing.end));
    }
    if (listing.unreadableRows()) {
        appendMember(out, u"unreadable");
        out += decimal(static_cast<long long>(listing.unreadableRows()));
    }
    // A cell's text, or null where it could not be read.
    const auto appendCell = [&](std::size_t r, std::size_t c) {
        if (listing.unreadable(r, c))
            out += u"null";
        else
            appendString(out, listing.cell(r, c));
    };
    const std::size_t cells = listing.cellsPerRow();
    if (only.any()) {
        appendMember(out, u"indexes");
        appendNumbers(out, written);
    }
    if (listing.report) {
        appendMember(out, u"columns");
        out += u'[';
        for (std::size_t c = 0; c < listing.columns.size(); ++c) {
            out += c ? u", " : u"";
            appendString(out, listing.columns[c]);
        }
        out += u']';
        appendMember(out, u"rows");
        appendArray(out, count, [&](std::size_t i) {
            const std::size_t r = rowAt(i);
            out += u'[';
            for (std::size_t c = 0; c < cells; ++c) {
                out += c ? u", " : u"";
                appendCell(r, c);
            }
            out += u']';
        });
    } else {
        appendMember(out, u"items");
        appendArray(out, count, [&](std::size_t i) {
            const std::size_t r = rowAt(i);
            if (!listing.tree()) {
                appendCell(r, 0);
                return;
            }
            out += u"{\"text\": ";
            appendCell(r, 0);
            out += u", \"depth\": " + decimal(listing.depth(r)) + u"}";
        });
    }
    // Each state the list tells, as places in the rows written; partly
    // checked with checked, where any row written is.
    static constexpr std::u16string_view stateNames[] = {u"selected", u"checked", u"partly"};
    for (ItemState s : {ItemState::selected, ItemState::checked, ItemState::partly}) {
        if (!listing.tells(s == ItemState::partly ? ItemState::checked : s))
            continue;
        std::vector<std::size_t> places;
        for (std::size_t i = 0; only.any() && i < count; ++i) {
            if (listing.in(s, written[i]))
                places.push_back(i);
        }
        const std::span<const std::size_t> shown = only.any() ? places : listing.rowsIn(s);
        if (s == ItemState::partly && shown.empty())
            continue;
        appendMember(out, stateNames[static_cast<int>(s)]);
        appendNumbers(out, shown);
    }
    if (listing.stateImageList) {
        std::vector<unsigned> images(count);
        for (std::size_t i = 0; i < count; ++i)
            images[i] = listing.stateImage(rowAt(i));
        appendMember(out, u"stateImages");
        appendNumbers(out, images);
    }
    out += newline;
    out += u"}";
    out += newline;
    return out;
}

void appendJsonString(std::u16string& out, std::u16string_view text)
{
    appendString(out, text);
}

} // namespace quorvel
