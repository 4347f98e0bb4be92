#include "listing/CsvRendering.h"

#include "listing/Utf8.h"

#include <string>

namespace quorvel {

namespace {

// What a spreadsheet takes for the start of a formula (OWASP's list for CSV
// injection): a cell such as =HYPERLINK(...) in another program's list must
// not run when the CSV is opened.
bool formulaLike(std::u16string_view field)
{
    return !field.empty() && std::u16string_view(u"=+-@\t\r").find(field[0]) != std::u16string_view::npos;
}

void appendField(std::u16string& out, std::u16string_view field, bool safe)
{
    const bool mark = safe && formulaLike(field);
    if (!mark && field.find_first_of(u",\"\r\n") == std::u16string_view::npos) {
        out += field;
        return;
    }
    out += mark ? u"\"'" : u"\"";
    for (char16_t c : field) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

template <typename Cells> void appendRecord(std::u16string& out, bool safe, std::size_t count, Cells cell)
{
    // A record of one empty field would be a blank line, which many readers
    // skip: quoted, it stays a record.
    if (count == 1 && cell(0).empty())
        out += u"\"\"";
    for (std::size_t c = 0; c < count; ++c) {
        if (c)
            out += u',';
        appendField(out, cell(c), safe);
    }
    out += u"\r\n";
}

} // namespace

std::u16string renderCsv(const Listing& listing, const RenderOptions& options, std::size_t firstRow)
{
    std::u16string out;
    const bool safe = options.safeCsv;
    if (options.headers && firstRow == 0 && listing.report && !listing.columns.empty())
        appendRecord(out, safe, listing.columns.size(),
                     [&](std::size_t c) { return std::u16string_view(listing.columns[c]); });
    const bool tree = listing.tree();
    for (std::size_t r = firstRow; r < listing.rows(); ++r) {
        // An item that could not be read is left out; a row keeps its place, the cell empty.
        if ((listing.cellsPerRow() == 1 && listing.unreadable(r, 0)) || !options.only.passes(listing, r))
            continue;
        if (tree) {
            const std::u16string depth = decimal(listing.depth(r));
            appendRecord(out, safe, 2,
                         [&](std::size_t c) { return c ? listing.cell(r, 0) : std::u16string_view(depth); });
        } else {
            appendRecord(out, safe, listing.cellsPerRow(), [&](std::size_t c) { return listing.cell(r, c); });
        }
    }
    return out;
}

void appendCsvField(std::u16string& out, std::u16string_view field, bool safeCsv)
{
    appendField(out, field, safeCsv);
}

} // namespace quorvel
