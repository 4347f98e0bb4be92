// A tree of accessible objects for native tests: nodes with roles, texts and
// children told as ids or as objects, counts that lie, refusals, a program
// that goes, and a hook run at every question. Counts the questions asked
// and the objects held.
#pragma once

#include "desktop/Accessible.h"

#include <functional>
#include <map>
#include <optional>

namespace quorvel {

struct FakeAccNode {
    std::uint32_t role = 0;
    std::u16string name = {};
    std::optional<std::u16string> value = {}; // none: asking for it answers absent
    std::vector<int> children = {};           // node indexes, in order; an ancestor's makes a cycle
    bool element = false;                     // told to its parent as a child id, not as an object
    // What childCount claims when not -1; children past the real ones are
    // ids the object knows nothing of, as the system hands them out.
    std::int32_t claimedChildren = -1;
    AccessAnswer answer = AccessAnswer::answered; // to every question about it
    Rect bounds = {};                             // on the screen, for hit tests
    std::uint32_t state = 0;                      // selected, checked, ... as the system numbers them
};

class FakeAccessibleTree : public AccessibleWindows {
public:
    std::vector<FakeAccNode> nodes;
    std::map<WindowHandle, int> clients; // a window's client object
    // Run at every question with the node asked about; an answer it gives is
    // given instead. A call that takes too long is one that answers unanswered.
    std::function<std::optional<AccessAnswer>(int node)> onCall;
    int calls = 0;
    int liveObjects = 0;

    // Adds a node under parent (-1: none); its index.
    int add(FakeAccNode node, int parent = -1);
    std::optional<AccessAnswer> hooked(int node);
    AccessAnswer clientObject(WindowHandle window, std::unique_ptr<Accessible>& object) override;
};

} // namespace quorvel
