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
    explicit OutlineRead(AccessibleQuery& query) : q_(query) {}

    // The items under container, which nest that deep.
    void read(Accessible& container, int nesting)
    {
        ancestors_.push_back(container.identity());
        items(container, nesting);
        ancestors_.pop_back();
    }

private:
    struct Item {
        std::u16string text;
        int depth = -1;    // none: not an item
        bool told = false; // its name was given
    };

    // The items under container, which nest that deep. Below the top only
    // children that are outline items count: other parts of an item (its
    // picture, its check box) are no items of the tree.
    void items(Accessible& container, int nesting)
    {
        ChildBatches batches(q_, container, accessibleBatch);
        std::vector<AccessibleChild> batch;
        for (bool more = true; more && !ended_ && batches.next(batch);) {
            std::vector<Item> got(batch.size());
            bool answered = false;
            for (std::size_t i = 0; more && i < batch.size(); ++i)
                more = ask(itemOf(batch[i], container), nesting, got[i], answered);
            if (!answered && !q_.reading.stopped())
                return; // no child answered: the count lies
            for (std::size_t i = 0; i < got.size() && !ended_; ++i) {
                const bool object = batch[i].kind == AccessibleChild::Kind::object;
                // An item that is one it lies in ends the tree before it shows again.
                ended_ = object && std::count(ancestors_.begin(), ancestors_.end(), batch[i].object->identity());
                if (got[i].depth < 0 || ended_)
                    continue;
                q_.markStates(itemOf(batch[i], container), q_.reading.listing.rows());
                if (got[i].told)
                    q_.reading.listing.addItem(got[i].text, got[i].depth);
                else
                    q_.reading.listing.addUnreadableItem(got[i].depth);
                if (object && nesting + 1 < maxOutlineDepth)
                    read(*batch[i].object, nesting + 1);
            }
            q_.reading.progress();
        }
    }

    // One child's text and depth; false where the children end: one the
    // container does not have (a count that claims too many), or a stop.
    bool ask(AccessibleItem item, int nesting, Item& out, bool& answered)
    {
        std::uint32_t role = acc::roleOutlineItem;
        if (nesting > 0 && over(q_.role(item, role)))
            return false;
        if (role != acc::roleOutlineItem)
            return true;
        const AccessAnswer named = q_.name(item, out.text);
        std::u16string value;
        const bool valued = !over(named) && q_.value(item, value) == AccessAnswer::answered;
        if (over(named) || q_.reading.stopped())
            return false;
        const std::optional<int> level = valued ? levelOf(value) : std::nullopt;
        if (level && !top_)
            top_ = *level - nesting;
        out.depth = level ? std::max(*level - *top_, 0) : nesting;
        out.told = named == AccessAnswer::answered;
        answered = answered || out.told;
        return true;
    }

    bool over(AccessAnswer a) const { return a == AccessAnswer::absent || q_.reading.stopped(); }

    AccessibleQuery& q_;
    std::optional<int> top_;
    std::vector<std::uintptr_t> ancestors_;
    bool ended_ = false;
};

// A combo box's items are those of its list, among its first few children.
void readComboBox(AccessibleQuery& query, Accessible& combo)
{
    constexpr std::int32_t parts = 8;
    ChildBatches batches(query, combo, parts, parts);
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
    while (batches.next(batch)) {
        // Each item goes into the listing once it is told, so that a read
        // given up in a call shows every item before. A refused name is an
        // unreadable item, held back until one after it answers: a batch in
        // which none answers lies past the end of a count that claims too many.
        std::size_t refused = 0;
        bool any = false;
        const auto keepRefused = [&] {
            for (; any && refused > 0; --refused)
                listing.addUnreadableItem();
        };
        for (AccessibleChild& child : batch) {
            std::u16string text;
            const AccessAnswer a = query.name(itemOf(child, list), text);
            if (a == AccessAnswer::absent || query.reading.stopped()) {
                keepRefused();
                query.reading.progress();
                return;
            }
            if (a != AccessAnswer::answered) {
                ++refused;
                continue;
            }
            any = true;
            keepRefused();
            query.markStates(itemOf(child, list), listing.rows());
            listing.addItem(text);
            query.reading.progress();
        }
        if (!any)
            return;
        keepRefused();
        query.reading.progress();
    }
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
    listing.listNames = std::move(list.names);
    listing.listCount = list.count;
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
    listing.listNumber = list.number;
    query.name({list.object.get()}, listing.listName);
    Accessible& object = *list.object;
    switch (list.role) {
    case acc::roleOutline:
        listing.role = ListRole::tree;
        OutlineRead(query).read(object, 0);
        break;
    case acc::roleTable:
        listing.role = ListRole::table;
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
