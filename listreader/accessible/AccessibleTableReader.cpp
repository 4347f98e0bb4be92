#include "listreader/accessible/AccessibleTableReader.h"

#include "listreader/Answers.h"
#include "listreader/accessible/AccessibleListReader.h"

namespace quorvel {

namespace {

struct Row {
    std::vector<std::u16string> cells;
    std::vector<bool> unreadable; // a cell the program would not tell
    bool headers = true;          // every cell a column header
    bool ledByRowHeader = false;  // a row header before its cells
};

class TableRead {
public:
    TableRead(AccessibleQuery& query, Accessible& table) : q_(query), table_(table), refusals_(query.reading) {}

    void run()
    {
        q_.reading.listing.report = true;
        ChildBatches batches(q_, table_, accessibleBatch);
        std::vector<AccessibleChild> batch;
        for (bool more = true; more && batches.next(batch);) {
            for (std::size_t i = 0; more && i < batch.size(); ++i)
                more = child(batch[i]);
        }
        if (rows_ == 0)
            setColumns(0, false); // the rows held back need their cells
        refusals_.settle();
        q_.reading.progress();
    }

private:
    // One child of the table; false where the rows end.
    bool child(AccessibleChild& child)
    {
        std::uint32_t role = 0;
        const AccessAnswer a = q_.role(itemOf(child, table_), role);
        if (a == AccessAnswer::noSuchChild || q_.reading.stopped())
            return false;
        if (a != AccessAnswer::answered)
            return refusals_.refused(); // maybe a row: one the program would not tell
        if (role == acc::roleColumnHeader && rows_ == 0)
            columnHeader(itemOf(child, table_));
        else if (role == acc::roleRow && child.kind == AccessibleChild::Kind::object)
            return row(*child.object);
        return true;
    }

    void columnHeader(AccessibleItem header)
    {
        std::u16string name;
        q_.name(header, name);
        if (headerNames_.size() < static_cast<std::size_t>(maxColumns))
            headerNames_.push_back(std::move(name));
        headersInRow_ = false;
    }

    bool row(Accessible& object)
    {
        Row r = cellsOf(object);
        if (q_.reading.stopped())
            return false;
        if (!r.cells.empty() && r.headers && rows_ == 0 && headerNames_.empty()) {
            headerNames_ = std::move(r.cells);
            headersInRow_ = true;
            return true;
        }
        if (rows_ == 0 && r.cells.empty())
            return refusals_.refused(); // a row told with no cells at all: its width is not known yet
        Listing& listing = q_.reading.listing;
        if (rows_ == 0)
            setColumns(r.cells.size(), r.ledByRowHeader);
        ++rows_;
        refusals_.settle();
        // A row is a row even where none of its cells could be read.
        if (r.cells.empty())
            r.unreadable.assign(listing.cellsPerRow(), true);
        q_.markStates({&object}, listing.rows());
        listing.addRow(r.cells, 0, &r.unreadable);
        q_.reading.progress();
        return true;
    }

    // The column names and the cells per row, from the header names or else
    // the first row's cells.
    void setColumns(std::size_t cells, bool ledByRowHeader)
    {
        Listing& listing = q_.reading.listing;
        // Over a column of row headers a header row has a corner cell of its own.
        if (headersInRow_ && ledByRowHeader && headerNames_.size() == cells + 1)
            headerNames_.erase(headerNames_.begin());
        listing.columns = headerNames_;
        listing.setCellsPerRow(headerNames_.empty() ? cells : headerNames_.size());
    }

    Row cellsOf(Accessible& row)
    {
        Row r;
        ChildBatches batches(q_, row, accessibleBatch, maxColumns);
        std::vector<AccessibleChild> batch;
        while (batches.next(batch)) {
            for (AccessibleChild& child : batch) {
                const AccessibleItem cell = itemOf(child, row);
                std::uint32_t role = 0;
                const AccessAnswer a = q_.role(cell, role);
                if (a == AccessAnswer::noSuchChild || q_.reading.stopped())
                    return r;
                if (role == acc::roleRowHeader) {
                    r.ledByRowHeader = r.ledByRowHeader || r.cells.empty();
                    continue;
                }
                const bool header = role == acc::roleColumnHeader;
                r.headers = r.headers && header;
                std::u16string text;
                r.unreadable.push_back(!textOf(cell, header, text));
                r.cells.push_back(std::move(text));
            }
        }
        return r;
    }

    // A cell's text: its value, where it has one (an empty one too), else its
    // name. False when the program would not tell either, or refused the
    // value: the cell is unreadable, never shown by its name.
    bool textOf(AccessibleItem cell, bool header, std::u16string& text)
    {
        const AccessAnswer value = header ? AccessAnswer::noValue : q_.value(cell, text);
        if (value == AccessAnswer::answered)
            return true;
        text.clear();
        return value == AccessAnswer::noValue && q_.name(cell, text) == AccessAnswer::answered;
    }

    AccessibleQuery& q_;
    Accessible& table_;
    Refusals refusals_;
    std::vector<std::u16string> headerNames_;
    bool headersInRow_ = false;
    std::size_t rows_ = 0;
};

} // namespace

void readAccessibleTable(AccessibleQuery& query, Accessible& table)
{
    TableRead(query, table).run();
}

} // namespace quorvel
