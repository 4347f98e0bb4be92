#include "finding/Overview.h"

#include "desktop/ControlMessages.h"
#include "finding/Matching.h"
#include "finding/Naming.h"

namespace quorvel {

namespace {

// The message that asks a control of this kind how many items it holds.
unsigned countMessage(ListKind kind)
{
    switch (kind) {
    case ListKind::listBox:
        return win::LB_GETCOUNT;
    case ListKind::comboBox:
    case ListKind::comboBoxEx:
        return win::CB_GETCOUNT;
    case ListKind::listView:
        return win::LVM_GETITEMCOUNT;
    case ListKind::treeView:
        return win::TVM_GETCOUNT;
    case ListKind::header:
        return win::HDM_GETITEMCOUNT;
    case ListKind::tabControl:
        return win::TCM_GETITEMCOUNT;
    case ListKind::statusBar:
        return win::SB_GETPARTS;
    case ListKind::toolbar:
        return win::TB_BUTTONCOUNT;
    default:
        return 0;
    }
}

} // namespace

std::vector<OverviewRow> overview(Desk& desk, const Selector* only, OtherWindows& windows,
                                  const std::function<bool()>& cancelled)
{
    const std::vector<std::size_t> named = only ? matchingLists(*only, desk) : std::vector<std::size_t>{};
    const Naming naming(desk);
    std::vector<OverviewRow> rows;
    for (std::size_t n = 0; n < (only ? named.size() : desk.lists.size()); ++n) {
        const std::size_t i = only ? named[n] : n;
        const ListEntry& l = desk.lists[i];
        const std::uint32_t pid = desk.windows[l.window].processId;
        OverviewRow row{i, naming.selectorFor(i)};
        const unsigned message = countMessage(l.kind);
        row.unanswered = message && desk.silent.count(pid) > 0;
        row.denied = message && desk.refusing.count(pid) > 0;
        if (message && !row.unanswered && !row.denied) {
            if (cancelled()) {
                desk.cancelled = true;
                return {};
            }
            const MessageResult r = windows.sendMessage(l.handle, message, 0, 0);
            if (!r.delivered && !windows.isWindow(l.handle))
                continue; // gone since the survey
            if (r.denied)
                desk.refusing.insert(pid);
            else if (!r.delivered)
                desk.silent.insert(pid);
            row.denied = r.denied;
            row.unanswered = !r.delivered && !r.denied;
            if (r.delivered && r.answer >= 0)
                row.items = r.answer;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void nameInWhole(std::vector<OverviewRow>& rows, const Desk& partial, const Desk& whole)
{
    const Naming naming(whole);
    for (OverviewRow& row : rows) {
        const ListEntry& l = partial.lists[row.list];
        for (std::size_t i = 0; row.selector.empty() && i < whole.lists.size(); ++i) {
            if (whole.lists[i].handle == l.handle && whole.lists[i].place == l.place)
                row.selector = naming.selectorFor(i);
        }
    }
}

} // namespace quorvel
