#include "listreader/accessible/AccessibleListReader.h"

#include "listreader/accessible/AccessibleTableReader.h"
#include "listreader/accessible/AccessibleWalk.h"

#include <algorithm>

namespace quorvel {

namespace {

// Deeper than any tree a program shows; a deeper one is taken to go round.
constexpr int maxOutlineDepth = 64;

// A level as Windows' own tree proxy gives it in an item's value: "0", "1", ...
std::optional<int> levelOf(const std::u16string& value)
{
    if (value.empty() || value.size() > 2)
        return std::nullopt;
    int level = 0;
    for (char16_t c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        level = level * 10 + (c - u'0');
    }
    return level < maxOutlineDepth ? std::optional<int>(level) : std::nullopt;
}

// A tree's items depth first, each at the depth its value tells as a level,
// else at the depth it nests. The first item is at the top: its level is the
// top's, whether a program counts levels from 0 or from 1.
class OutlineRead {
public:
    explicit OutlineRead(AccessibleQuery& query) : q_(query), refusals_(query.reading) {}

    void run(Accessible& tree)
    {
        read(tree, 0);
        refusals_.settle();
        q_.reading.progress();
    }

private:
    // The items under container, which nest that deep.
    void read(Accessible& container, int nesting)
    {
        ancestors_.push_back(container.identity());
        items(container, nesting);
        ancestors_.pop_back();
    }

    // Below the top only children that are outline items count: other parts
    // of an item (its picture, its check box) are no items of the tree.
    void items(Accessible& container, int nesting)
    {
        ChildBatches batches(q_, container, accessibleBatch);
        std::vector<AccessibleChild> batch;
        while (!ended_ && batches.next(batch)) {
            for (std::size_t i = 0; i < batch.size() && !ended_; ++i) {
                const AccessibleItem item = itemOf(batch[i], container);
                const bool object = batch[i].kind == AccessibleChild::Kind::object;
                // An item that is one it lies in ends the tree before it shows again.
                ended_ = object && std::count(ancestors_.begin(), ancestors_.end(), batch[i].object->identity());
                if (ended_ || !one(item, nesting))
                    return;
                // An item whose name is refused still holds its own items.
                if (object && wasItem_ && nesting + 1 < maxOutlineDepth)
                    read(*batch[i].object, nesting + 1);
            }
            q_.reading.progress();
        }
    }

    // Adds one child, if it is an item; false where the children end: one
    // the container does not have, a run of refusals too long, or a stop.
    bool one(AccessibleItem item, int nesting)
    {
        wasItem_ = false;
        std::uint32_t role = acc::roleOutlineItem;
        const AccessAnswer roled = nesting > 0 ? q_.role(item, role) : AccessAnswer::answered;
        if (over(roled))
            return false;
        if (roled != AccessAnswer::answered)
            return refusals_.refused(nesting);
        if (role != acc::roleOutlineItem)
            return true;
        std::u16string text, value;
        const AccessAnswer named = q_.name(item, text);
        if (over(named))
            return false;
        const bool valued = q_.value(item, value) == AccessAnswer::answered;
        if (q_.reading.stopped())
            return false;
        const std::optional<int> level = valued ? levelOf(value) : std::nullopt;
        if (level && !top_)
            top_ = *level - nesting;
        const int depth = level ? std::max(*level - *top_, 0) : nesting;
        wasItem_ = true;
        if (named != AccessAnswer::answered)
            return refusals_.refused(depth);
        refusals_.settle();
        Listing& listing = q_.reading.listing;
        q_.markStates(item, listing.rows());
        listing.addItem(text, depth);
        return true;
    }

    bool over(AccessAnswer a) const { return a == AccessAnswer::noSuchChild || q_.reading.stopped(); }

    AccessibleQuery& q_;
    Refusals refusals_;
    std::optional<int> top_;
    std::vector<std::uintptr_t> ancestors_;
    bool ended_ = false, wasItem_ = false;
};

// A combo box's items are those of its list, among its first few children.
void readComboBox(AccessibleQuery& query, Accessible& combo)
{
    constexpr std::int32_t parts = 8;
    ChildBatches batches(query, combo, parts, parts, ChildBatches::Refused::endsChildren);
    std::vector<AccessibleChild> batch;
    batches.next(batch);
    for (AccessibleChild& child : batch) {
        std::uint32_t role = 0;
        if (child.kind == AccessibleChild::Kind::object &&
            query.role({child.object.get()}, role) == AccessAnswer::answered && role == acc::roleList) {
            readAccessibleItems(query, *child.object);
            return;
        }
    }
}

} // namespace

void readAccessibleItems(AccessibleQuery& query, Accessible& list)
{
    ChildBatches batches(query, list, accessibleBatch);
    std::vector<AccessibleChild> batch;
    Listing& listing = query.reading.listing;
    Refusals refusals(query.reading);
    // Each item goes into the listing once it is told, so that a read given
    // up in a call shows every item before.
    for (bool more = true; more && batches.next(batch);) {
        for (std::size_t i = 0; more && i < batch.size(); ++i) {
            const AccessibleItem item = itemOf(batch[i], list);
            std::u16string text;
            const AccessAnswer a = query.name(item, text);
            if (a == AccessAnswer::noSuchChild || query.reading.stopped()) {
                more = false;
            } else if (a != AccessAnswer::answered) {
                more = refusals.refused();
            } else {
                refusals.settle();
                query.markStates(item, listing.rows());
                listing.addItem(text);
                query.reading.progress();
            }
        }
    }
    refusals.settle();
    query.reading.progress();
}

bool readAccessibleList(Reading& reading, WindowHandle window, AccessibleWindows& windows, std::optional<Point> at,
                        const std::optional<std::u16string>& name, std::size_t number, bool namesOnly)
{
    AccessibleQuery query(reading, window);
    std::unique_ptr<Accessible> client;
    if (query.clientObject(windows, client) != AccessAnswer::answered || !client)
        return false;
    ChosenList list = chooseList(query, std::move(client), at, name, namesOnly ? SIZE_MAX : number);
    Listing& listing = reading.listing;
    listing.accessible.names = std::move(list.names);
    listing.accessible.count = list.count;
    if (namesOnly) {
        listing.kind = ListKind::accessible;
        return true;
    }
    if (!list.object)
        return false;
    listing.kind = ListKind::accessible;
    // Every accessible item may be selected or checked: an item that can be
    // checked but is not looks like one that can't, so both are told.
    if (reading.states) {
        listing.tell(ItemState::selected);
        listing.tell(ItemState::checked);
    }
    listing.accessible.number = list.number;
    query.name({list.object.get()}, listing.accessible.name);
    Accessible& object = *list.object;
    switch (list.role) {
    case acc::roleOutline:
        listing.accessible.role = ListRole::tree;
        OutlineRead(query).run(object);
        break;
    case acc::roleTable:
        listing.accessible.role = ListRole::table;
        readAccessibleTable(query, object);
        break;
    case acc::roleComboBox:
        readComboBox(query, object);
        break;
    default:
        readAccessibleItems(query, object);
        break;
    }
    return true;
}

} // namespace quorvel
