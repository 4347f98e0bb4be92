// Windows that draw their items and tell them only to accessibility clients: each answers
// WM_GETOBJECT(OBJID_CLIENT) with an IAccessible over a node of the tree the native tests fake objects with,
// told as the fake tells it (children as child ids or as objects, counts that lie, refusals, a hook at every
// question). The thread that makes one must be in a COM apartment, with a message loop.
#pragma once

#include <windows.h>

namespace quorvel {
class FakeAccessibleTree;
}

namespace accserver {

// A child window at `at` in parent whose object is the tree's node root, its names drawn where their bounds
// (in its client area) say. The tree must live as long as the window.
HWND MakeWindow(HWND parent, RECT at, quorvel::FakeAccessibleTree* tree, int root = 0);

} // namespace accserver
