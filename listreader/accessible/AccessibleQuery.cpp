#include "listreader/accessible/AccessibleQuery.h"

#include <algorithm>

namespace quorvel {

namespace {

// A text longer than any item is none: refused, and not kept.
AccessAnswer tooLong(AccessAnswer a, std::u16string& text)
{
    if (text.size() <= maxAccessibleText)
        return a;
    text.clear();
    return AccessAnswer::refused;
}

} // namespace

AccessAnswer AccessibleQuery::clientObject(AccessibleWindows& windows, std::unique_ptr<Accessible>& object)
{
    return reading.ask(window_, [&] { return windows.clientObject(window_, object, reading.observer()); });
}

AccessAnswer AccessibleQuery::role(AccessibleItem item, std::uint32_t& role)
{
    role = 0;
    if (!item.object)
        return AccessAnswer::refused;
    return reading.ask(window_, [&] { return item.object->role(item.id, role); });
}

AccessAnswer AccessibleQuery::name(AccessibleItem item, std::u16string& text)
{
    return askText(item, &Accessible::name, text);
}

AccessAnswer AccessibleQuery::value(AccessibleItem item, std::u16string& text)
{
    return askText(item, &Accessible::value, text);
}

AccessAnswer AccessibleQuery::askText(AccessibleItem item, TextQuestion question, std::u16string& text)
{
    text.clear();
    if (!item.object)
        return AccessAnswer::refused;
    const AccessAnswer a = reading.ask(window_, [&] { return (item.object->*question)(item.id, text); });
    return tooLong(a, text);
}

void AccessibleQuery::markStates(AccessibleItem item, std::size_t row)
{
    std::uint32_t state = 0;
    if (!reading.states || !item.object ||
        reading.ask(window_, [&] { return item.object->state(item.id, state); }) != AccessAnswer::answered)
        return;
    if (state & acc::stateSelected)
        reading.listing.mark(ItemState::selected, row);
    if (state & acc::stateChecked)
        reading.listing.mark(ItemState::checked, row);
    if (state & acc::stateMixed)
        reading.listing.mark(ItemState::partly, row);
}

AccessAnswer AccessibleQuery::childCount(Accessible& object, std::int32_t& count)
{
    count = 0;
    return reading.ask(window_, [&] { return object.childCount(count); });
}

AccessAnswer AccessibleQuery::child(Accessible& object, std::int32_t index, AccessibleChild& out)
{
    out = {};
    return reading.ask(window_, [&] { return object.child(index, out); });
}

AccessAnswer AccessibleQuery::hasEnumerator(Accessible& object, bool& has)
{
    has = false;
    return reading.ask(window_, [&] { return object.hasEnumerator(has); });
}

AccessAnswer AccessibleQuery::enumerate(Accessible& object, std::int32_t index, std::int32_t count,
                                        std::vector<AccessibleChild>& out)
{
    return reading.ask(window_, [&] {
        out.clear();
        return object.enumerate(index, count, out);
    });
}

AccessAnswer AccessibleQuery::hitTest(Accessible& object, Point at, AccessibleChild& found)
{
    found = {};
    return reading.ask(window_, [&] { return object.hitTest(at, found); });
}

bool ChildBatches::start()
{
    started_ = true;
    std::int32_t claimed = 0;
    counted_ = query_.childCount(object_, claimed) == AccessAnswer::answered;
    end_ = counted_ ? std::max(claimed, 0) : INT32_MAX;
    if (!query_.reading.stopped())
        query_.hasEnumerator(object_, enumerates_);
    return !query_.reading.stopped();
}

bool ChildBatches::next(std::vector<AccessibleChild>& children)
{
    children.clear();
    Reading& reading = query_.reading;
    if (ended_ || reading.stopped() || (!started_ && !start()))
        return false;
    const std::int32_t end = std::min(end_, limit_);
    // Uncounted, one more than may be read is asked for, to tell a list that
    // ends there from one that goes on.
    const std::int32_t count = std::min({batch_, end - first_, counted_ ? INT32_MAX : maxUncounted + 1 - first_});
    if (count <= 0) {
        ended_ = true;
        return false;
    }
    if (enumerates_) {
        const AccessAnswer a = query_.enumerate(object_, first_, count, children);
        if (a == AccessAnswer::refused && refused_ == Refused::endsRead)
            reading.stop(ReadEnd::refused);
        if (a != AccessAnswer::answered)
            children.clear();
        // Fewer than asked for are the last, whatever the count says.
        ended_ = static_cast<std::int32_t>(children.size()) < count;
    } else {
        for (std::int32_t i = 0; i < count && !ended_; ++i) {
            AccessibleChild child;
            ended_ = query_.child(object_, first_ + i, child) != AccessAnswer::answered;
            if (!ended_)
                children.push_back(std::move(child));
        }
    }
    first_ += static_cast<std::int32_t>(children.size());
    if (!counted_ && first_ > maxUncounted) {
        children.pop_back();
        reading.stop(ReadEnd::refused);
    }
    return !children.empty();
}

bool Refusals::refused(int depth)
{
    if (reading_.stopped())
        return false;
    run_.hold(depth);
    if (run_.size() <= maxRefusedRun)
        return true;
    run_.drop();
    reading_.stop(ReadEnd::refused);
    return false;
}

} // namespace quorvel
