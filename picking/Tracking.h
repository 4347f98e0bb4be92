// Picking a window by pointing at it: the "..." button switches tracking on
// and off; each tick frames the window under the pointer, and F12 captures it.
#pragma once

#include "desktop/Desktop.h"
#include "desktop/Timer.h"

#include <optional>

namespace quorvel {

// GetAsyncKeyState's answer for a key that is down now and was pressed since
// the previous query; a key held across ticks reads 0x8000 and is no capture.
constexpr std::int16_t captureKeyState = static_cast<std::int16_t>(0x8001);

void CmdCapture_Click(Desktop& desktop, Timer& hotkeyTimer, WindowHandle txtWnd);

// hWndLast is the window under the pointer at the last tick on which it changed.
// capturedAt is set to the point of a capture before its handle is written,
// so that the read it starts can take the list under that point.
void HotkeyTimer_Timer(Desktop& desktop, Timer& hotkeyTimer, WindowHandle txtWnd, WindowHandle& hWndLast,
                       std::optional<Point>& capturedAt);

} // namespace quorvel
