#include "listing/CsvRendering.h"

#include "listing/Utf8.h"

#include <string>

namespace quorvel {

namespace {

void appendField(std::u16string& out, std::u16string_view field)
{
    if (field.find_first_of(u",\"\r\n") == std::u16string_view::npos) {
        out += field;
        return;
    }
    out += u'"';
    for (char16_t c : field) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

template <typename Cells> void appendRecord(std::u16string& out, std::size_t count, Cells cell)
{
    // A record of one empty field would be a blank line, which many readers
    // skip: quoted, it stays a record.
    if (count == 1 && cell(0).empty())
        out += u"\"\"";
    for (std::size_t c = 0; c < count; ++c) {
        if (c)
            out += u',';
        appendField(out, cell(c));
    }
    out += u"\r\n";
}

} // namespace

std::u16string renderCsv(const Listing& listing, bool headers, std::size_t firstRow)
{
    std::u16string out;
    if (headers && firstRow == 0 && listing.report && !listing.columns.empty())
        appendRecord(out, listing.columns.size(),
                     [&](std::size_t c) { return std::u16string_view(listing.columns[c]); });
    const bool tree = listing.tree();
    for (std::size_t r = firstRow; r < listing.rows(); ++r) {
        // An item that could not be read is left out; a row keeps its place, the cell empty.
        if (listing.cellsPerRow() == 1 && listing.unreadable(r, 0))
            continue;
        if (tree) {
            const std::u16string depth = decimal(listing.depth(r));
            appendRecord(out, 2, [&](std::size_t c) { return c ? listing.cell(r, 0) : std::u16string_view(depth); });
        } else {
            appendRecord(out, listing.cellsPerRow(), [&](std::size_t c) { return listing.cell(r, c); });
        }
    }
    return out;
}

} // namespace quorvel
