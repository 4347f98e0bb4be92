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
    return reading.ask(window_, [&] { return windows.clientObject(window_, object); });
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

AccessAnswer AccessibleQuery::children(Accessible& object, std::int32_t first, std::int32_t count,
                                       std::vector<AccessibleChild>& out)
{
    return reading.ask(window_, [&] { return object.children(first, count, out); });
}

AccessAnswer AccessibleQuery::hitTest(Accessible& object, Point at, AccessibleChild& found)
{
    found = {};
    return reading.ask(window_, [&] { return object.hitTest(at, found); });
}

bool ChildBatches::next(std::vector<AccessibleChild>& children)
{
    children.clear();
    if (claimed_ < 0 && query_.childCount(object_, claimed_) != AccessAnswer::answered)
        claimed_ = 0;
    const std::int32_t end = std::min(std::max(claimed_, 0), limit_);
    if (first_ >= end)
        return false;
    const std::int32_t count = std::min(batch_, end - first_);
    if (query_.children(object_, first_, count, children) != AccessAnswer::answered)
        children.clear();
    // Fewer than asked for are the last, whatever the count says.
    first_ = static_cast<std::int32_t>(children.size()) < count ? end : first_ + count;
    return !children.empty();
}

} // namespace quorvel
