#include "listreader/ItemStates.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"

namespace quorvel {

void readCurrentItem(Reading& reading, WindowHandle list, unsigned message)
{
    if (!reading.states)
        return;
    reading.listing.tell(ItemState::selected);
    // No current item answers -1 (LB_ERR, CB_ERR); a larger index than the
    // list has marks nothing the listing shows.
    const MessageResult current = reading.send(list, message, 0, 0);
    if (current.delivered && low32(current.answer) >= 0)
        reading.listing.mark(ItemState::selected, static_cast<std::size_t>(low32(current.answer)));
}

ViewStates::ViewStates(Reading& reading, WindowHandle view, unsigned message, std::optional<bool> checkBoxes)
    : reading_(reading), view_(view), message_(message), checkBoxesKnown_(checkBoxes.has_value())
{
    if (!reading.states)
        return;
    reading.listing.tell(ItemState::selected);
    if (checkBoxes.value_or(false))
        reading.listing.tell(ItemState::checked);
}

bool ViewStates::read(std::uintptr_t item, std::size_t row)
{
    if (!reading_.states)
        return true;
    const MessageResult r = reading_.send(view_, message_, item, win::ITEM_SELECTED | win::STATE_IMAGE_MASK);
    if (!r.delivered)
        return false;
    const auto bits = static_cast<std::uint32_t>(r.answer);
    Listing& listing = reading_.listing;
    if (bits & win::ITEM_SELECTED)
        listing.mark(ItemState::selected, row);
    const std::uint32_t image = (bits & win::STATE_IMAGE_MASK) >> 12;
    if (image && !checkBoxesKnown_)
        listing.tell(ItemState::checked);
    // Where the view has no check boxes, a state image is one of its own.
    if (image == win::CHECKED_IMAGE && listing.tells(ItemState::checked))
        listing.mark(ItemState::checked, row);
    return true;
}

} // namespace quorvel
