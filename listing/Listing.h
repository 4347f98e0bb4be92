// What one read of a list found: the kind of list, its rows of cells (or
// items with their depth), the column names of a report list view, which
// rows are selected or checked, and how the read ended. The window's field,
// the command line's text, CSV and JSON are renderings of it.
#pragma once

#include "desktop/Desktop.h"

#include <cstddef>
#include <cstdint>
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

// How a read ended. Only complete means every item the list has was had:
// even then some of their texts may be unreadable (Listing::unreadableRows).
enum class ReadEnd {
    complete,      // every item, none at all included
    notAnswering,  // the target stopped answering mid-read
    windowGone,    // the target's window (or its program) went away mid-read
    memoryFailed,  // the target's memory could not be had, written or read mid-read
    cancelled,     // stopped by the user, a newer read or the window closing
    outOfMemory,   // Quorvel itself ran out of memory holding or handing on the listing
    refused,       // the program refused to tell the list, or too many of its items in a row
    noWindow,      // no window has the handle
    nothingToRead, // a window that holds no list Quorvel reads
    accessDenied,  // the system refused: the target runs with higher rights
};

// The states of an item that a list may tell. A partly checked item (a
// section some of whose parts are checked) is not checked; it is told with
// the checked ones, where a list has any.
enum class ItemState { selected, checked, partly };

// A read that ended with items missing (not one that found nothing to read).
constexpr bool isPartial(ReadEnd e)
{
    return e == ReadEnd::notAnswering || e == ReadEnd::windowGone || e == ReadEnd::memoryFailed ||
           e == ReadEnd::cancelled || e == ReadEnd::outOfMemory || e == ReadEnd::refused;
}

class Listing {
public:
    ListKind kind = ListKind::none;
    WindowHandle handle = 0;
    std::u16string className;
    // The window whose list was read, where it is not the window named
    // (handle 0): the combo box of an Edit, the list view of a header, the
    // ComboBoxEx of the combo box or Edit inside it.
    struct Window {
        WindowHandle handle = 0;
        std::u16string className;
    } readFrom;
    ReadEnd end = ReadEnd::complete;
    // A list view in report view: rows of cells, one per column, in the order
    // the columns are shown, and their names in that order.
    bool report = false;
    std::vector<std::u16string> columns;

    // Of an accessible list: its role, its accessible name, and which of the
    // window's lists it is (from 1; 0 when not known) of how many.
    struct AccessibleList {
        ListRole role = ListRole::list;
        std::u16string name;
        std::size_t number = 0, count = 0;
        // The names of all of them, in that order.
        std::vector<std::u16string> names;
    } accessible;
    // Items with depths: a tree view's or an accessible tree's.
    bool tree() const
    {
        return kind == ListKind::treeView || (kind == ListKind::accessible && accessible.role == ListRole::tree);
    }

    // Cells per row; 1 unless set before the first row.
    void setCellsPerRow(std::size_t cells);
    std::size_t cellsPerRow() const { return cellsPerRow_; }

    // A row of cellsPerRow() cells; depth is a tree item's level below the
    // top. unreadable, when given, flags each cell whose text the list has but
    // Quorvel could not get whole; such a cell holds no text.
    void addRow(std::span<const std::u16string> cells, int depth = 0, const std::vector<bool>* unreadable = nullptr);
    void addItem(std::u16string_view text, int depth = 0);
    // An item (or a row, every cell of it) the list says it has, whose text
    // could not be had whole.
    void addUnreadableItem(int depth = 0);

    // A listing handed on as it grows lets go of the rows handed on: they are
    // still counted, their states and what the list is stay, but their cells
    // are gone. Rows from firstHeld() on are held.
    void forgetRows();
    std::size_t firstHeld() const { return firstHeld_; }
    // Takes on what from says of the list, and the rows it holds that begin
    // where this listing's rows end: with their cells and states, or (without
    // rows) only counted. Out of memory, it throws and changes nothing.
    void append(const Listing& from, bool withRows = true);

    // Rows added, those let go of included; cells, depths and flags only of held ones.
    std::size_t rows() const { return firstHeld_ + depths_.size(); }
    std::u16string_view cell(std::size_t row, std::size_t column) const;
    int depth(std::size_t row) const { return depths_[row - firstHeld_]; }
    // True when every cell of the row is empty (unreadable ones count as empty).
    bool rowEmpty(std::size_t row) const;
    bool unreadable(std::size_t row, std::size_t column) const;
    // Rows with any cell unreadable, and whether a row is one of them.
    std::size_t unreadableRows() const { return unreadableRows_; }
    bool rowUnreadable(std::size_t row) const;
    // Whether every item was had whole: read to the end, nothing unreadable.
    bool whole() const { return end == ReadEnd::complete && unreadableRows_ == 0; }

    // Whether the read told which rows are in a state: not when it was not
    // asked to, nor where the list has no such state (a status bar; check
    // state in a list view without check boxes).
    bool tells(ItemState s) const { return states_[index(s)].told; }
    void tell(ItemState s) { states_[index(s)].told = true; }
    // Marks a row as in the state; a row may be marked before it is added,
    // as a list's current item is asked before its items.
    void mark(ItemState s, std::size_t row);
    bool in(ItemState s, std::size_t row) const;
    // The rows added that are in the state, ascending.
    std::span<const std::size_t> rowsIn(ItemState s) const;

    // Of a list view or tree view with a state image list, when the read
    // asked for states: each row's state image index (0: none), whatever the
    // program means by it.
    bool stateImageList = false;
    void setStateImage(std::size_t row, unsigned image);
    unsigned stateImage(std::size_t row) const;

private:
    // Where a held row's cells begin in ends_.
    std::size_t firstCell(std::size_t row) const { return (row - firstHeld_) * cellsPerRow_; }

    std::size_t cellsPerRow_ = 1;
    std::size_t firstHeld_ = 0;
    // Every cell's text back to back, and where each ends: one string, not
    // one per cell, so a 300,000-cell list view costs little more than its text.
    std::u16string text_;
    std::vector<std::size_t> ends_;
    std::vector<int> depths_;
    // The held unreadable cells, by row * cellsPerRow + column, ascending:
    // there are few if any.
    std::vector<std::size_t> unreadableCells_;
    std::size_t unreadableRows_ = 0;
    // The rows in each state, ascending: compact as the unreadable cells, so
    // a long list with few rows selected costs little.
    struct StateRows {
        bool told = false;
        std::vector<std::size_t> rows;
    };
    static std::size_t index(ItemState s) { return static_cast<std::size_t>(s); }
    StateRows states_[3];
    std::vector<std::uint8_t> stateImages_; // of the held rows, from firstHeld()
};

} // namespace quorvel
