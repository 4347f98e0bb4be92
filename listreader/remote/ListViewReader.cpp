#include "listreader/remote/ListViewReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/ControlClass.h"
#include "listreader/ItemStates.h"
#include "listreader/remote/ColumnOrder.h"
#include "listreader/remote/RemoteTexts.h"

#include <algorithm>

namespace quorvel {

namespace {

constexpr std::uintptr_t LVNI_ALL = 0;
constexpr unsigned LVM_GETNEXTITEM = win::LVM_FIRST + 12;

class ListViewRead {
public:
    ListViewRead(Reading& reading, WindowHandle listView, ClassInfo listViewClass)
        : reading_(reading), listView_(listView), class_(listViewClass),
          memory_(reading.desktop, listView, batchBlockBytes)
    {
    }

    void run()
    {
        Listing& listing = reading_.listing;
        listing.kind = ListKind::listView;
        MessageResult claimed = reading_.send(listView_, win::LVM_GETITEMCOUNT, 0, 0);
        if (!claimed.delivered)
            return;
        ViewStates states(reading_, listView_, win::LVM_GETITEMSTATE, win::LVM_GETIMAGELIST, checkBoxes());
        const WindowHandle header = headerWindow();
        listing.report = reportView(header);
        // A report view with no rows is still a table: its columns are told.
        if ((low32(claimed.answer) <= 0 && !listing.report) || !reading_.opened(memory_, listView_))
            return;
        std::vector<std::int32_t> order = listing.report && header ? columnOrder(header) : std::vector<std::int32_t>{};
        if (!order.empty())
            listing.columns = columnNames(order);
        if (order.empty())
            order = {0};
        listing.setCellsPerRow(order.size());
        if (reading_.stopped() || low32(claimed.answer) <= 0)
            return;
        const std::int32_t rows = realCount(low32(claimed.answer), [this](std::int32_t i) { return rowExists(i); });
        readRows(rows, order, states);
    }

private:
    std::optional<bool> send(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& answer)
    {
        MessageResult r = reading_.send(listView_, msg, wParam, lParam);
        answer = r.answer;
        return r.delivered ? std::optional<bool>(true) : std::nullopt;
    }

    // The list view's own item count, which a subclass answering
    // LVM_GETITEMCOUNT can't change: index i exists when the item after
    // i - 1 is i.
    std::optional<bool> rowExists(std::int32_t i)
    {
        std::intptr_t next = 0;
        if (!send(LVM_GETNEXTITEM, static_cast<std::uintptr_t>(i - 1), static_cast<std::intptr_t>(LVNI_ALL), next))
            return std::nullopt;
        return low32(next) == i;
    }

    std::optional<bool> columnExists(std::int32_t i)
    {
        std::vector<std::uint8_t> column(listViewColumnLayout(memory_.pointerBytes()).size, 0);
        putU32(column, 0, win::LVCF_WIDTH);
        const RemoteAddress at = memory_.block(column.size());
        std::intptr_t ok = 0;
        if (!at || !memory_.write(at, column) ||
            !send(win::LVM_GETCOLUMNW, static_cast<std::uintptr_t>(i), static_cast<std::intptr_t>(at), ok))
            return std::nullopt;
        return ok != 0;
    }

    // The system's list view keeps its check boxes in its extended style; a
    // framework's own copy shows them by its state images alone.
    bool checkBoxes()
    {
        std::intptr_t style = 0;
        if (!reading_.states || !class_.systemStyles || !send(win::LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0, style))
            return false;
        return (static_cast<std::uint32_t>(style) & win::LVS_EX_CHECKBOXES) != 0;
    }

    // The list view's column header, when it has one that is a header.
    WindowHandle headerWindow()
    {
        std::intptr_t header = 0;
        if (!send(win::LVM_GETHEADER, 0, 0, header) || low32(header) == 0)
            return 0;
        const auto window = static_cast<WindowHandle>(low32(header));
        return classifyControl(reading_.desktop.className(window)) == ControlClass::header ? window : 0;
    }

    // The system's list view and its superclasses keep their view in their
    // style bits. A framework's own copy of the control need not; there the
    // view is told by what report view looks like: a column header shown,
    // which the other views hide.
    bool reportView(WindowHandle header)
    {
        OtherWindows& desktop = reading_.desktop;
        if (class_.systemStyles)
            return (desktop.getWindowLong(listView_, win::GWL_STYLE) & win::LVS_TYPEMASK) == win::LVS_REPORT;
        return header && (desktop.getWindowLong(header, win::GWL_STYLE) & win::WS_VISIBLE) != 0;
    }

    // The columns' indexes in the order they are shown. Empty when there are
    // none or the list view can't tell.
    std::vector<std::int32_t> columnOrder(WindowHandle header)
    {
        MessageResult claimed = reading_.send(header, win::HDM_GETITEMCOUNT, 0, 0);
        if (!claimed.delivered)
            return {};
        const std::int32_t columns =
            realCount(std::min(low32(claimed.answer), maxColumns), [this](std::int32_t i) { return columnExists(i); });
        if (columns <= 0)
            return {};
        return shownColumnOrder(reading_, memory_, listView_, win::LVM_GETCOLUMNORDERARRAY, columns);
    }

    // The names of the columns in order, fetched in one batch; none when the
    // read stops on the way.
    std::vector<std::u16string> columnNames(const std::vector<std::int32_t>& order)
    {
        const TextMessage m{listView_, win::LVM_GETCOLUMNW, listViewColumnLayout(memory_.pointerBytes()), false};
        std::vector<TextQuery> queries;
        for (std::int32_t column : order)
            queries.push_back({static_cast<std::uintptr_t>(column), win::LVCF_TEXT, 0, 0});
        std::vector<std::u16string> names;
        if (!fetchTexts(reading_, memory_, m, queries, names))
            names.clear();
        return names;
    }

    void readRows(std::int32_t rows, const std::vector<std::int32_t>& order, ViewStates& states)
    {
        const TextMessage m{listView_, win::LVM_GETITEMTEXTW, listViewItemLayout(memory_.pointerBytes()), true};
        std::vector<TextQuery> queries;
        std::vector<std::u16string> texts;
        std::vector<bool> failed, rowFailed;
        // 64 bits: a count near INT_MAX must not overflow the last step.
        // Rows are put together as their cells arrive, a round at a time.
        std::size_t round = 0;
        for (std::int64_t first = 0, count = 0; first < rows; first += count) {
            count = std::min<std::int64_t>(static_cast<std::int64_t>(roundItems(round++)), rows - first);
            queries.clear();
            for (std::int64_t r = first; r < first + count; ++r) {
                for (std::int32_t column : order)
                    queries.push_back({static_cast<std::uintptr_t>(r), win::LVIF_TEXT, column, 0});
            }
            texts.clear();
            failed.clear();
            bool complete = fetchTexts(reading_, memory_, m, queries, texts, &failed);
            // Whole rows only: a row cut short by the end of the read is not shown.
            for (std::size_t at = 0; at + order.size() <= texts.size(); at += order.size()) {
                const std::size_t row = reading_.listing.rows();
                if (!states.read(row, row)) {
                    complete = false;
                    break;
                }
                rowFailed.assign(failed.begin() + static_cast<std::ptrdiff_t>(at),
                                 failed.begin() + static_cast<std::ptrdiff_t>(at + order.size()));
                reading_.listing.addRow(std::span(texts).subspan(at, order.size()), 0, &rowFailed);
            }
            reading_.progress();
            if (!complete)
                break;
        }
    }

    Reading& reading_;
    WindowHandle listView_;
    ClassInfo class_;
    RemoteMemory memory_;
};

} // namespace

void readListView(Reading& reading, WindowHandle listView, ClassInfo listViewClass)
{
    ListViewRead(reading, listView, listViewClass).run();
}

} // namespace quorvel
