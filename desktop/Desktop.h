// The window-system operations Quorvel uses, kept free of <windows.h> so the
// logic above it builds and runs natively against a fake desktop. Split by
// role; each part of the logic takes the one it needs, and the desktop is all
// four.
#pragma once

#include "desktop/ControlMessages.h"
#include "desktop/DesktopTypes.h"
#include "desktop/OtherWindows.h"
#include "desktop/OwnWindow.h"
#include "desktop/PointAndDraw.h"
#include "desktop/WindowTree.h"

namespace quorvel {

class Desktop : public OtherWindows, public OwnWindow, public PointAndDraw, public WindowTree {
public:
    // The same question in two roles, answered once.
    using OtherWindows::className;
    using OtherWindows::parentWindow;
};

} // namespace quorvel
