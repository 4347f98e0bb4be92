#include "listing/Listing.h"

#include <algorithm>

namespace quorvel {

void Listing::setCellsPerRow(std::size_t cells)
{
    if (ends_.empty() && cells > 0)
        cellsPerRow_ = cells;
}

void Listing::addRow(std::span<const std::u16string> cells, int depth, const std::vector<bool>* unreadable)
{
    bool anyUnreadable = false;
    for (std::size_t c = 0; c < cellsPerRow_; ++c) {
        if (unreadable && c < unreadable->size() && (*unreadable)[c]) {
            unreadableCells_.push_back(ends_.size());
            anyUnreadable = true;
        } else if (c < cells.size()) {
            text_ += cells[c];
        }
        ends_.push_back(text_.size());
    }
    depths_.push_back(depth);
    unreadableRows_ += anyUnreadable;
}

void Listing::addItem(std::u16string_view text, int depth)
{
    text_ += text;
    ends_.push_back(text_.size());
    for (std::size_t c = 1; c < cellsPerRow_; ++c)
        ends_.push_back(text_.size());
    depths_.push_back(depth);
}

void Listing::addUnreadableItem(int depth)
{
    unreadableCells_.push_back(ends_.size());
    ++unreadableRows_;
    ends_.insert(ends_.end(), cellsPerRow_, text_.size());
    depths_.push_back(depth);
}

void Listing::catchUp(const Listing& from)
{
    kind = from.kind;
    handle = from.handle;
    className = from.className;
    readFrom = from.readFrom;
    end = from.end;
    report = from.report;
    columns = from.columns;
    role = from.role;
    listName = from.listName;
    listNumber = from.listNumber;
    listCount = from.listCount;
    setCellsPerRow(from.cellsPerRow_);
    std::vector<std::u16string> cells(cellsPerRow_);
    std::vector<bool> unreadable(cellsPerRow_);
    for (std::size_t r = rows(); r < from.rows(); ++r) {
        for (std::size_t c = 0; c < cellsPerRow_; ++c) {
            cells[c] = from.cell(r, c);
            unreadable[c] = from.unreadable(r, c);
        }
        addRow(cells, from.depth(r), &unreadable);
    }
}

std::u16string_view Listing::cell(std::size_t row, std::size_t column) const
{
    const std::size_t i = row * cellsPerRow_ + column;
    const std::size_t begin = i ? ends_[i - 1] : 0;
    return std::u16string_view(text_).substr(begin, ends_[i] - begin);
}

bool Listing::rowEmpty(std::size_t row) const
{
    const std::size_t first = row * cellsPerRow_;
    const std::size_t begin = first ? ends_[first - 1] : 0;
    return ends_[first + cellsPerRow_ - 1] == begin;
}

bool Listing::unreadable(std::size_t row, std::size_t column) const
{
    return std::binary_search(unreadableCells_.begin(), unreadableCells_.end(), row * cellsPerRow_ + column);
}

bool Listing::rowUnreadable(std::size_t row) const
{
    const auto first = std::lower_bound(unreadableCells_.begin(), unreadableCells_.end(), row * cellsPerRow_);
    return first != unreadableCells_.end() && *first < (row + 1) * cellsPerRow_;
}

void Listing::mark(ItemState s, std::size_t row)
{
    std::vector<std::size_t>& rows = states_[index(s)].rows;
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at == rows.end() || *at != row)
        rows.insert(at, row);
}

void Listing::setStateImage(std::size_t row, unsigned image)
{
    if (stateImages_.size() <= row)
        stateImages_.resize(row + 1);
    stateImages_[row] = static_cast<std::uint8_t>(image);
}

bool Listing::in(ItemState s, std::size_t row) const
{
    const std::vector<std::size_t>& rows = states_[index(s)].rows;
    return std::binary_search(rows.begin(), rows.end(), row);
}

std::span<const std::size_t> Listing::rowsIn(ItemState s) const
{
    const std::vector<std::size_t>& rows = states_[index(s)].rows;
    return {rows.data(),
            static_cast<std::size_t>(std::lower_bound(rows.begin(), rows.end(), this->rows()) - rows.begin())};
}

} // namespace quorvel
