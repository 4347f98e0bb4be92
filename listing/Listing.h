// What one read of a list found: the kind of list, its rows of cells (or
// items with their depth), the column names of a report list view, and how
// the read ended. The window's field, the command line's text, CSV and JSON
// are renderings of it.
#pragma once

#include "desktop/Desktop.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

enum class ListKind {
    none,
    listBox,
    comboBox,
    comboBoxEx,
    listView,
    treeView,
    header,
    tabControl,
    statusBar,
    toolbar,
    accessible, // a list its program tells only to accessibility clients
};

// What an accessible list is, which sets how it renders: as a list box, a
// tree view, or a report list view.
enum class ListRole { list, tree, table };

// How a read ended. Only complete means the listing is the whole list.
enum class ReadEnd {
    complete,      // every item, none at all included
    notAnswering,  // the target stopped answering mid-read
    windowGone,    // the target's window (or its program) went away mid-read
    memoryFailed,  // the target's memory could not be had, written or read mid-read
    cancelled,     // stopped by the user, a newer read or the window closing
    noWindow,      // no window has the handle
    nothingToRead, // a window that holds no list Quorvel reads
    accessDenied,  // the system refused: the target runs with higher rights
};

// A read that ended with items missing (not one that found nothing to read).
constexpr bool isPartial(ReadEnd e)
{
    return e == ReadEnd::notAnswering || e == ReadEnd::windowGone || e == ReadEnd::memoryFailed ||
           e == ReadEnd::cancelled;
}

class Listing {
public:
    ListKind kind = ListKind::none;
    WindowHandle handle = 0;
    std::u16string className;
    ReadEnd end = ReadEnd::complete;
    // A list view in report view: rows of cells, one per column, in the order
    // the columns are shown, and their names in that order.
    bool report = false;
    std::vector<std::u16string> columns;

    // Of an accessible list: its role, its accessible name, and which of the
    // window's lists it is (from 1; 0 when not known) of how many.
    ListRole role = ListRole::list;
    std::u16string listName;
    std::size_t listNumber = 0, listCount = 0;
    // Items with depths: a tree view's or an accessible tree's.
    bool tree() const { return kind == ListKind::treeView || (kind == ListKind::accessible && role == ListRole::tree); }

    // Cells per row; 1 unless set before the first row.
    void setCellsPerRow(std::size_t cells);
    std::size_t cellsPerRow() const { return cellsPerRow_; }

    // A row of cellsPerRow() cells; depth is a tree item's level below the top.
    void addRow(std::span<const std::u16string> cells, int depth = 0);
    void addItem(std::u16string_view text, int depth = 0);

    std::size_t rows() const { return depths_.size(); }
    std::u16string_view cell(std::size_t row, std::size_t column) const;
    int depth(std::size_t row) const { return depths_[row]; }
    // True when every cell of the row is empty.
    bool rowEmpty(std::size_t row) const;

private:
    std::size_t cellsPerRow_ = 1;
    // Every cell's text back to back, and where each ends: one string, not
    // one per cell, so a 300,000-cell list view costs little more than its text.
    std::u16string text_;
    std::vector<std::size_t> ends_;
    std::vector<int> depths_;
};

} // namespace quorvel
