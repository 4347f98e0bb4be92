// The windows of the desktop as a tree, for finding a list by what stays
// across restarts (its program, its window's title, its class and place)
// instead of by its handle. Nothing here sends a message to another program.
#pragma once

#include "desktop/DesktopTypes.h"

#include <vector>

namespace quorvel {

// What the system tells of a process without reading its memory.
struct ProgramFacts {
    std::u16string path; // the program's full path; empty when not told
    int bits = 0;        // 32 or 64; 0 when not told
    bool denied = false; // the system refused to tell (a program with higher rights)
};

class WindowTree {
public:
    virtual ~WindowTree() = default;

    // The top-level windows of the current desktop, topmost first.
    virtual std::vector<WindowHandle> topWindows() = 0;
    // Every window under top, depth first, hidden ones included, and a window's parent (0 for a top-level one).
    virtual std::vector<WindowHandle> childWindows(WindowHandle top) = 0;
    virtual WindowHandle parentWindow(WindowHandle window) = 0;
    // A window's caption as the system keeps it: no message reaches its program.
    virtual std::u16string windowTitle(WindowHandle window) = 0;
    virtual std::u16string className(WindowHandle window) = 0;
    virtual std::int32_t controlId(WindowHandle window) = 0;
    // Shown: the window and every ancestor visible, and not cloaked (a window
    // of another virtual desktop, or a suspended app's, that the system keeps
    // off the screen).
    virtual bool visible(WindowHandle window) = 0;
    virtual bool cloaked(WindowHandle window) = 0;
    virtual std::uint32_t processId(WindowHandle window) = 0;
    virtual ProgramFacts program(std::uint32_t processId) = 0;
};

} // namespace quorvel
