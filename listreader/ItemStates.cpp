#include "listreader/ItemStates.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/ControlClass.h"

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

ViewStates::ViewStates(Reading& reading, WindowHandle view, unsigned stateMessage, unsigned imageListMessage,
                       bool checkBoxStyle)
    : reading_(reading), view_(view), message_(stateMessage)
{
    if (!reading.states)
        return;
    reading.listing.tell(ItemState::selected);
    const MessageResult images = reading.send(view, imageListMessage, win::STATE_IMAGE_LIST, 0);
    images_ = images.delivered && images.answer != 0;
    checks_ = checkBoxStyle || (images_ && stateImagesAreCheckBoxes(reading.desktop.className(topLevel(view))));
    reading.listing.stateImageList = images_;
    if (checks_)
        reading.listing.tell(ItemState::checked);
}

WindowHandle ViewStates::topLevel(WindowHandle window)
{
    // Bounded, as parents that lead back to a child are no window system's.
    for (int depth = 0; depth < 64; ++depth) {
        const WindowHandle parent = reading_.desktop.parentWindow(window);
        if (!parent)
            break;
        window = parent;
    }
    return window;
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
    if (images_)
        listing.setStateImage(row, image);
    if (checks_ && image == win::CHECKED_IMAGE)
        listing.mark(ItemState::checked, row);
    if (checks_ && image == win::PARTLY_CHECKED_IMAGE)
        listing.mark(ItemState::partly, row);
    return true;
}

} // namespace quorvel
