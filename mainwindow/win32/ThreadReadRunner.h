// The window's reads on Windows: the reading thread wakes the window with a
// message carrying the read's number, and reads with a desktop of its own.
#pragma once

#include "mainwindow/ThreadedReads.h"

#include <windows.h>

namespace quorvel {

class ThreadReadRunner : public ThreadedReads {
public:
    // wParam: the number of the read that has rows or its end for the window.
    static constexpr UINT wakeMessage = WM_APP + 1;

    ThreadReadRunner(OwnWindow& own, HWND window);
};

} // namespace quorvel
