// Marks one window at a time with an inverted frame. Painting the same window
// twice inverts the pixels back, so one routine both draws and removes.
#pragma once

#include "desktop/Desktop.h"

namespace quorvel::DrawWndBorderMod {

// The window painted last; 0 at start. Stays set after its frame is gone.
extern WindowHandle hWndFramed;

// Toggles the frame of hWnd, after removing the frame of a different window
// painted before. DrawWndBorder(0) removes the current frame and marks nothing.
void DrawWndBorder(Desktop& desktop, WindowHandle& hWnd);

} // namespace quorvel::DrawWndBorderMod
