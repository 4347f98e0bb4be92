#include "listing/TextRendering.h"

namespace quorvel {

namespace {

template <typename Cells> void appendLine(std::u16string& out, std::size_t count, int depth, Cells cell)
{
    out.append(static_cast<std::size_t>(depth), u'\t');
    for (std::size_t c = 0; c < count; ++c) {
        if (c)
            out += u'\t';
        out += cell(c);
    }
    out += u"\r\n";
}

} // namespace

std::u16string renderText(const Listing& listing, const RenderOptions& options, std::size_t firstRow)
{
    std::u16string out;
    if (options.headers && firstRow == 0 && listing.report && !listing.columns.empty())
        appendLine(out, listing.columns.size(), 0,
                   [&](std::size_t c) { return std::u16string_view(listing.columns[c]); });
    const std::size_t cells = listing.cellsPerRow();
    for (std::size_t r = firstRow; r < listing.rows(); ++r) {
        if (!listing.rowEmpty(r) && options.only.passes(listing, r))
            appendLine(out, cells, listing.depth(r), [&](std::size_t c) { return listing.cell(r, c); });
    }
    return out;
}

} // namespace quorvel
