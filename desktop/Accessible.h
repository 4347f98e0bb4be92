// The accessible objects of other programs: what a screen reader is told
// about a window's contents. Programs that draw their lists themselves tell
// their items only this way. Free of <windows.h>, so that the readers above
// run natively against a fake tree.
#pragma once

#include "desktop/CallObserver.h"
#include "desktop/DesktopTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvel {

// How one question to an object of another program went.
enum class AccessAnswer {
    answered,    // an answer, possibly empty: a missing name is an empty one
    refused,     // the object would not tell (an error), its program still there
    noSuchChild, // the object has no such child: past the end of its children
    noValue,     // the object has no value at all, which is not an empty one
    busy,        // its program is inside a call of its own and turned this one away for now
    unanswered,  // its window did not answer in time, or it was not asked (the read had stopped)
    gone,        // its program is gone or has disconnected the object
};

namespace acc {
// A child id of 0 asks about the object itself.
constexpr std::int32_t self = 0;
// Roles, as oleacc.h numbers them.
constexpr std::uint32_t roleClient = 0x0A;
constexpr std::uint32_t roleTable = 0x18;
constexpr std::uint32_t roleColumnHeader = 0x19;
constexpr std::uint32_t roleRowHeader = 0x1A;
constexpr std::uint32_t roleRow = 0x1C;
constexpr std::uint32_t roleCell = 0x1D;
constexpr std::uint32_t roleList = 0x21;
constexpr std::uint32_t roleListItem = 0x22;
constexpr std::uint32_t roleOutline = 0x23;
constexpr std::uint32_t roleOutlineItem = 0x24;
constexpr std::uint32_t roleComboBox = 0x2E;
// States.
constexpr std::uint32_t stateSelected = 0x0002;
constexpr std::uint32_t stateChecked = 0x0010;
constexpr std::uint32_t stateMixed = 0x0020;
} // namespace acc

class Accessible;

// A child as its parent tells it: a simple element, which has no object of
// its own and is asked about through its parent by its id; an object; or
// nothing usable (an empty or foreign answer, an object that is not accessible).
struct AccessibleChild {
    enum class Kind { none, element, object } kind = Kind::none;
    std::int32_t id = 0;
    std::unique_ptr<Accessible> object;
};

// One accessible object of another program, held for as long as this lives.
// Every question names the object itself (acc::self) or one of its simple
// elements by id; each is one call into the program, and may take as long as
// the program takes to answer. So may letting go of the object, when this
// goes. Each call is told to the observer the object was got with.
class Accessible {
public:
    virtual ~Accessible() = default;

    virtual AccessAnswer role(std::int32_t child, std::uint32_t& role) = 0;
    // Texts are cut at their first NUL, and at most maxAccessibleText + 1
    // characters are kept, so that a longer one can be told from one that fits.
    virtual AccessAnswer name(std::int32_t child, std::u16string& name) = 0;
    // noValue where the object has none (S_FALSE, a null text, or no such property).
    virtual AccessAnswer value(std::int32_t child, std::u16string& value) = 0;
    virtual AccessAnswer state(std::int32_t child, std::uint32_t& state) = 0;
    // The count the object claims, which nothing checks.
    virtual AccessAnswer childCount(std::int32_t& count) = 0;
    // The child at index (0 for the first), asked for alone; noSuchChild past the last.
    virtual AccessAnswer child(std::int32_t index, AccessibleChild& out) = 0;
    // Whether the object hands out its children through an enumerator, which
    // tells many in one call.
    virtual AccessAnswer hasEnumerator(bool& has) = 0;
    // Appends up to count children from index on, through the enumerator, in
    // one call; fewer only past the last.
    virtual AccessAnswer enumerate(std::int32_t index, std::int32_t count, std::vector<AccessibleChild>& out) = 0;
    // What is at a point of the screen: a child, the object itself (an
    // element of id acc::self), or none when the point is outside it.
    virtual AccessAnswer hitTest(Point at, AccessibleChild& found) = 0;
    // The same number for every handle on one object while any is held:
    // tells an object met again, as in a walk that leads back to an ancestor.
    virtual std::uintptr_t identity() = 0;
};

// The longest text taken from an object; no list shows a longer item.
constexpr std::size_t maxAccessibleText = std::size_t{1} << 20;

// Where accessible objects come from.
class AccessibleWindows {
public:
    virtual ~AccessibleWindows() = default;
    // What a thread must hold while it asks (COM, on Windows): taken before
    // its first question, let go once every object it got is released.
    virtual std::shared_ptr<void> enterThread() { return nullptr; }
    // The object the window itself makes for its client area; none (and
    // answered) when the window answers that it makes none. The window is
    // asked with the same bound as every message. Every call into the object
    // and the objects got through it, their release included, is told to
    // observer, which must outlive them.
    virtual AccessAnswer clientObject(WindowHandle window, std::unique_ptr<Accessible>& object,
                                      CallObserver& observer) = 0;
};

} // namespace quorvel
