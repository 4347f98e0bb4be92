#include "listing/Listing.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quorvel {

namespace {

// Room for need elements, growing as push_back would, so that appends one by
// one cost linear time.
template <typename Container> void makeRoom(Container& c, std::size_t need)
{
    if (c.capacity() < need)
        c.reserve(std::max(need, 2 * c.capacity()));
}

} // namespace

void Listing::setCellsPerRow(std::size_t cells)
{
    if (rows() == 0 && cells > 0)
        cellsPerRow_ = cells;
}

void Listing::addRow(std::span<const std::u16string> cells, int depth, const std::vector<bool>* unreadable)
{
    bool anyUnreadable = false;
    const std::size_t first = rows() * cellsPerRow_;
    for (std::size_t c = 0; c < cellsPerRow_; ++c) {
        if (unreadable && c < unreadable->size() && (*unreadable)[c]) {
            unreadableCells_.push_back(first + c);
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
    for (std::size_t c = 0; c < cellsPerRow_; ++c)
        unreadableCells_.push_back(rows() * cellsPerRow_ + c);
    ++unreadableRows_;
    ends_.insert(ends_.end(), cellsPerRow_, text_.size());
    depths_.push_back(depth);
}

void Listing::forgetRows()
{
    stateImages_.erase(stateImages_.begin(), stateImages_.begin() + static_cast<std::ptrdiff_t>(
                                                                        std::min(stateImages_.size(), depths_.size())));
    firstHeld_ = rows();
    text_.clear();
    ends_.clear();
    depths_.clear();
    unreadableCells_.clear();
    // Marks ahead of the rows (a current item asked before the items) stay.
    for (StateRows& s : states_)
        s.rows.erase(s.rows.begin(), std::lower_bound(s.rows.begin(), s.rows.end(), firstHeld_));
}

void Listing::append(const Listing& from, bool withRows)
{
    // Rows held there that this one has already are not added twice.
    const std::size_t skip = std::min(rows() > from.firstHeld_ ? rows() - from.firstHeld_ : 0, from.depths_.size());
    const bool continues = from.firstHeld_ + skip == rows() && (rows() == 0 || cellsPerRow_ == from.cellsPerRow_);
    const std::size_t cells = from.cellsPerRow_;
    const std::size_t textFrom = skip ? from.ends_[skip * cells - 1] : 0;
    // All that may run out of memory comes first, so that an append that
    // fails leaves this listing as it was. What the list is changes seldom
    // while it is read: copied only when it has.
    const bool newName = className != from.className, newList = accessible.name != from.accessible.name,
               newColumns = columns != from.columns, newFrom = readFrom.className != from.readFrom.className,
               newNames = accessible.names != from.accessible.names;
    std::u16string name = newName ? from.className : std::u16string();
    std::u16string fromName = newFrom ? from.readFrom.className : std::u16string();
    std::u16string list = newList ? from.accessible.name : std::u16string();
    std::vector<std::u16string> names = newColumns ? from.columns : std::vector<std::u16string>();
    std::vector<std::u16string> lists = newNames ? from.accessible.names : std::vector<std::u16string>();
    for (std::size_t s = 0; s < std::size(states_) && withRows; ++s)
        makeRoom(states_[s].rows, states_[s].rows.size() + from.states_[s].rows.size());
    if (continues && withRows) {
        makeRoom(text_, text_.size() + from.text_.size() - textFrom);
        makeRoom(ends_, ends_.size() + from.ends_.size() - skip * cells);
        makeRoom(depths_, depths_.size() + from.depths_.size() - skip);
        makeRoom(unreadableCells_, unreadableCells_.size() + from.unreadableCells_.size());
        if (!from.stateImages_.empty())
            stateImages_.resize(std::max(stateImages_.size(), rows() + from.depths_.size() - skip - firstHeld_));
    }
    // Nothing below allocates.
    kind = from.kind;
    handle = from.handle;
    if (newName)
        className.swap(name);
    if (newFrom)
        readFrom.className.swap(fromName);
    readFrom.handle = from.readFrom.handle;
    stateImageList = stateImageList || from.stateImageList;
    end = from.end;
    report = from.report;
    if (newColumns)
        columns.swap(names);
    accessible.role = from.accessible.role;
    if (newList)
        accessible.name.swap(list);
    if (newNames)
        accessible.names.swap(lists);
    accessible.number = from.accessible.number;
    accessible.count = from.accessible.count;
    setCellsPerRow(cells);
    for (std::size_t s = 0; s < std::size(states_); ++s) {
        states_[s].told = states_[s].told || from.states_[s].told;
        for (std::size_t row : from.states_[s].rows) {
            if (withRows)
                mark(static_cast<ItemState>(s), row);
        }
    }
    if (!continues)
        return;
    std::size_t unreadableRows = 0, lastRow = SIZE_MAX;
    for (std::size_t c : from.unreadableCells_) {
        if (c / cells < from.firstHeld_ + skip)
            continue;
        if (withRows)
            unreadableCells_.push_back(c);
        unreadableRows += c / cells != lastRow;
        lastRow = c / cells;
    }
    unreadableRows_ += unreadableRows;
    if (!withRows) {
        firstHeld_ += from.depths_.size() - skip;
        return;
    }
    const std::size_t base = text_.size();
    text_.append(from.text_, textFrom);
    for (std::size_t i = skip * cells; i < from.ends_.size(); ++i)
        ends_.push_back(base + from.ends_[i] - textFrom);
    depths_.insert(depths_.end(), from.depths_.begin() + static_cast<std::ptrdiff_t>(skip), from.depths_.end());
    for (std::size_t r = from.firstHeld_ + skip; r < from.rows() && !from.stateImages_.empty(); ++r)
        stateImages_[r - firstHeld_] = static_cast<std::uint8_t>(from.stateImage(r));
}

std::u16string_view Listing::cell(std::size_t row, std::size_t column) const
{
    const std::size_t i = firstCell(row) + column;
    const std::size_t begin = i ? ends_[i - 1] : 0;
    return std::u16string_view(text_).substr(begin, ends_[i] - begin);
}

bool Listing::rowEmpty(std::size_t row) const
{
    const std::size_t first = firstCell(row);
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
    if (row < firstHeld_)
        return;
    if (stateImages_.size() <= row - firstHeld_)
        stateImages_.resize(row - firstHeld_ + 1);
    stateImages_[row - firstHeld_] = static_cast<std::uint8_t>(image);
}

unsigned Listing::stateImage(std::size_t row) const
{
    return row >= firstHeld_ && row - firstHeld_ < stateImages_.size() ? stateImages_[row - firstHeld_] : 0;
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
