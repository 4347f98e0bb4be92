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
    TableRead(AccessibleQuery& query, Accessible& table) : q_(query), table_(table) {}

    void run()
    {
        q_.reading.listing.report = true;
        ChildBatches batches(q_, table_, accessibleBatch);
        std::vector<AccessibleChild> batch;
        while (batches.next(batch)) {
            bool any = false;
            for (AccessibleChild& child : batch) {
                std::uint32_t role = 0;
                const AccessAnswer a = q_.role(itemOf(child, table_), role);
                if (a == AccessAnswer::absent || q_.reading.stopped())
                    return;
                any = any || a == AccessAnswer::answered;
                if (role == acc::roleColumnHeader && rows_ == 0)
                    columnHeader(itemOf(child, table_));
                else if (role == acc::roleRow && child.kind == AccessibleChild::Kind::object)
                    row(*child.object);
            }
            if (!any)
                return; // no child answered: past the end of a count that lies
        }
    }

private:
    void columnHeader(AccessibleItem header)
    {
        std::u16string name;
        q_.name(header, name);
        headerNames_.push_back(std::move(name));
        headersInRow_ = false;
    }

    void row(Accessible& object)
    {
        Row r = cellsOf(object);
        if (q_.reading.stopped() || r.cells.empty())
            return;
        if (r.headers && rows_ == 0 && headerNames_.empty()) {
            headerNames_ = std::move(r.cells);
            headersInRow_ = true;
            return;
        }
        Listing& listing = q_.reading.listing;
        if (rows_++ == 0) {
            // Over a column of row headers a header row has a corner cell of its own.
            if (headersInRow_ && r.ledByRowHeader && headerNames_.size() == r.cells.size() + 1)
                headerNames_.erase(headerNames_.begin());
            listing.columns = headerNames_;
            listing.setCellsPerRow(headerNames_.empty() ? r.cells.size() : headerNames_.size());
        }
        q_.markStates({&object}, listing.rows());
        listing.addRow(r.cells, 0, &r.unreadable);
        q_.reading.progress();
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
                if (a == AccessAnswer::absent || q_.reading.stopped())
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
    // name. False when the program would not tell: the cell is unreadable.
    bool textOf(AccessibleItem cell, bool header, std::u16string& text)
    {
        const AccessAnswer value = header ? AccessAnswer::absent : q_.value(cell, text);
        if (value == AccessAnswer::answered)
            return true;
        return q_.name(cell, text) == AccessAnswer::answered;
    }

    AccessibleQuery& q_;
    Accessible& table_;
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
