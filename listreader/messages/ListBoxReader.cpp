#include "listreader/messages/ListBoxReader.h"

#include "desktop/ControlMessages.h"
#include "listreader/Answers.h"
#include "listreader/ControlClass.h"
#include "listreader/ItemStates.h"

#include <algorithm>
#include <cstdint>

namespace quorvel {

namespace {

struct ItemMessages {
    unsigned count, textLength, text, current;
    ControlClass owner;
    std::int32_t ownerDrawn, hasStrings;
};
constexpr ItemMessages listBox{win::LB_GETCOUNT,      win::LB_GETTEXTLEN,
                               win::LB_GETTEXT,       win::LB_GETCURSEL,
                               ControlClass::listBox, win::LBS_OWNERDRAWFIXED | win::LBS_OWNERDRAWVARIABLE,
                               win::LBS_HASSTRINGS};
constexpr ItemMessages comboBox{win::CB_GETCOUNT,       win::CB_GETLBTEXTLEN,
                                win::CB_GETLBTEXT,      win::CB_GETCURSEL,
                                ControlClass::comboBox, win::CBS_OWNERDRAWFIXED | win::CBS_OWNERDRAWVARIABLE,
                                win::CBS_HASSTRINGS};

// A length answer above this is a lie: no control shows a million-character
// item, and believing it would mean allocating without bound.
constexpr std::intptr_t maxItemLength = std::intptr_t{1} << 20;

enum class Fetch { item, failed, noSuchIndex, noAnswer };

// Fetches one item into a buffer sized from the target's own length answer,
// with a spare for text that grew since. The item counts only when the
// answer fits the buffer and the text runs to the answered length: a NUL
// before it means the window system cut the text short. An item the length
// query confirmed but whose text can't be had whole is failed: unreadable.
Fetch fetchItem(Reading& reading, WindowHandle target, const ItemMessages& m, std::int32_t index, std::u16string& item)
{
    const auto wParam = static_cast<std::uintptr_t>(index);
    MessageResult length = reading.send(target, m.textLength, wParam, 0);
    if (!length.delivered)
        return Fetch::noAnswer;
    const std::intptr_t chars = low32(length.answer);
    if (chars == win::LB_ERR)
        return Fetch::noSuchIndex;
    if (chars < 0 || chars > maxItemLength)
        return Fetch::failed;
    const auto capacity = static_cast<std::size_t>(chars) + 1 + std::max<std::size_t>(chars / 2, 256);
    MessageResult text = reading.fetchText(target, m.text, wParam, capacity, item);
    if (!text.delivered)
        return Fetch::noAnswer;
    const std::intptr_t copied = low32(text.answer);
    if (copied < 0 || static_cast<std::size_t>(copied) >= capacity || item.size() != static_cast<std::size_t>(copied))
        return Fetch::failed;
    return Fetch::item;
}

// The style bits mean owner-drawn only on the system's list and combo boxes
// and their superclasses; another class may use them for anything.
bool keepsNoStrings(OtherWindows& desktop, WindowHandle target, ClassInfo targetClass, const ItemMessages& m)
{
    if (targetClass.kind != m.owner || !targetClass.systemStyles)
        return false;
    const std::int32_t style = desktop.getWindowLong(target, win::GWL_STYLE);
    return (style & m.ownerDrawn) != 0 && (style & m.hasStrings) == 0;
}

// A list box that lets the user select many tells each item's selection; in
// one that selects one, the current item is the selected one. Only the
// system's list box and its superclasses mean the style bits so.
bool selectsMany(OtherWindows& desktop, WindowHandle target, ClassInfo targetClass, const ItemMessages& m)
{
    return &m == &listBox && targetClass.kind == ControlClass::listBox && targetClass.systemStyles &&
           (desktop.getWindowLong(target, win::GWL_STYLE) & (win::LBS_MULTIPLESEL | win::LBS_EXTENDEDSEL)) != 0;
}

} // namespace

ListBoxFound readListBox(Reading& reading, WindowHandle target, ClassInfo targetClass)
{
    const ItemMessages* messages = &listBox;
    MessageResult count = reading.send(target, messages->count, 0, 0);
    if (count.delivered && low32(count.answer) == 0) {
        messages = &comboBox;
        count = reading.send(target, messages->count, 0, 0);
        if (count.delivered && low32(count.answer) == 0)
            return ListBoxFound::bothCountsZero;
    }
    if (!count.delivered)
        return ListBoxFound::items;
    reading.listing.kind = messages == &listBox ? ListKind::listBox : ListKind::comboBox;
    // Counting from 0 to count - 1 never needs count - 1 itself, so even
    // INT_MIN is harmless here: it is simply no item.
    const std::int32_t n = low32(count.answer);
    if (n > 0 && keepsNoStrings(reading.desktop, target, targetClass, *messages))
        return ListBoxFound::noStrings;
    const bool eachSelection = reading.states && selectsMany(reading.desktop, target, targetClass, *messages);
    if (eachSelection)
        reading.listing.tell(ItemState::selected);
    else
        readCurrentItem(reading, target, messages->current);
    std::u16string item;
    for (std::int32_t i = 0; i < n; ++i) {
        Fetch fetched = fetchItem(reading, target, *messages, i, item);
        // The length query answers LB_ERR only past the last item; a count
        // that claims more items than exist costs one message, not millions.
        if (fetched == Fetch::noAnswer || fetched == Fetch::noSuchIndex)
            break;
        if (eachSelection) {
            const MessageResult selected = reading.send(target, win::LB_GETSEL, static_cast<std::uintptr_t>(i), 0);
            if (!selected.delivered)
                break;
            if (low32(selected.answer) > 0)
                reading.listing.mark(ItemState::selected, static_cast<std::size_t>(i));
        }
        if (fetched == Fetch::item)
            reading.listing.addItem(item);
        else
            reading.listing.addUnreadableItem();
        reading.progress();
    }
    return ListBoxFound::items;
}

} // namespace quorvel
