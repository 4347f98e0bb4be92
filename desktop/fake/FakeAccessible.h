// A tree of accessible objects for native tests: nodes with roles, texts and
// children told as ids or as objects, through an enumerator or one by one,
// counts that lie, refusals, a program that goes, and a hook run at every
// question. Counts the questions asked and the objects held, and tells every
// call, a release included, to the observer the objects were got with.
#pragma once

#include "desktop/Accessible.h"

#include <atomic>
#include <functional>
#include <map>
#include <optional>

namespace quorvel {

struct FakeAccNode {
    std::uint32_t role = 0;
    std::u16string name = {};
    std::optional<std::u16string> value = {}; // none: asking for it answers noValue
    std::vector<int> children = {};           // node indexes, in order; an ancestor's makes a cycle
    bool element = false;                     // told to its parent as a child id, not as an object
    // What childCount claims when not -1; past the real children the object
    // has no such child.
    std::int32_t claimedChildren = -1;
    AccessAnswer answer = AccessAnswer::answered; // to every question about it
    Rect bounds = {};                             // on the screen, for hit tests
    std::uint32_t state = 0;                      // selected, checked, ... as the system numbers them
    bool enumerator = false;                      // hands out its children through one
};

// What a question asks, for a hook to tell them apart.
enum class FakeQuestion { object, role, name, value, state, count, child, enumerator, enumerate, hitTest };

class FakeAccessibleTree : public AccessibleWindows {
public:
    std::vector<FakeAccNode> nodes;
    std::map<WindowHandle, int> clients; // a window's client object
    // Run at every question with the node asked about (the parent, for its
    // children and their count; the window's root, for its object); an
    // answer it gives is given instead.
    std::function<std::optional<AccessAnswer>(int node, FakeQuestion question)> onCall;
    std::atomic<int> calls{0};
    // Objects held; a read's thread may let go of them while a test looks.
    std::atomic<int> liveObjects{0};

    // Adds a node under parent (-1: none); its index.
    int add(FakeAccNode node, int parent = -1);
    std::optional<AccessAnswer> hooked(int node, FakeQuestion question);
    AccessAnswer clientObject(WindowHandle window, std::unique_ptr<Accessible>& object,
                              CallObserver& observer) override;
};

// An observer for objects nobody watches (a server's own side).
class UnwatchedCalls : public CallObserver {
public:
    void callStarted(bool) override {}
    void callReturned() override {}
};

} // namespace quorvel
