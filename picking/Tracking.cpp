#include "picking/Tracking.h"

#include "handle/HandleText.h"
#include "picking/DrawWndBorderMod.h"

#include <string>

namespace quorvel {

void CmdCapture_Click(Desktop& desktop, Timer& hotkeyTimer, WindowHandle txtWnd)
{
    // The frame stays as it is: stopping by the button leaves it on the screen.
    hotkeyTimer.setEnabled(!hotkeyTimer.enabled());
    desktop.enableWindow(txtWnd, !hotkeyTimer.enabled());
}

void HotkeyTimer_Timer(Desktop& desktop, Timer& hotkeyTimer, WindowHandle txtWnd, WindowHandle& hWndLast,
                       std::optional<Point>& capturedAt)
{
    Point p;
    if (!desktop.getCursorPos(p))
        p = Point{};
    WindowHandle h = desktop.windowFromPoint(p);
    if (h != hWndLast) {
        DrawWndBorderMod::DrawWndBorder(desktop, h);
        hWndLast = h;
    }
    if (desktop.getAsyncKeyState(win::VK_F12) != captureKeyState)
        return;
    DrawWndBorderMod::DrawWndBorder(desktop, h);
    // Off before the handle is written: the capture ends here, whatever the
    // read it starts finds.
    hotkeyTimer.setEnabled(false);
    desktop.enableWindow(txtWnd, true);
    capturedAt = p;
    desktop.setWindowText(txtWnd, formatHandleTextValue(h));
}

} // namespace quorvel
