// Quorvel's own window and its controls: their texts, styles, timers and the
// measures a caption is fitted by.
#pragma once

#include "desktop/DesktopTypes.h"

namespace quorvel {

class OwnWindow {
public:
    virtual ~OwnWindow() = default;

    // Setting the text of a single-line field raises its change notification
    // before the call returns.
    virtual std::u16string getWindowText(WindowHandle window) = 0;
    virtual void setWindowText(WindowHandle window, const std::u16string& text) = 0;
    // Adds text at the end of a multi-line field without laying out what it
    // holds again, and without moving the user's selection or scroll
    // position. False when the field did not take all of it (it is full, or
    // the system is out of memory): what it holds then is not known whole.
    virtual bool appendWindowText(WindowHandle window, const std::u16string& text) = 0;
    virtual bool isWindowEnabled(WindowHandle window) = 0;
    virtual void enableWindow(WindowHandle window, bool enable) = 0;
    virtual void setWindowLong(WindowHandle window, std::int32_t index, std::int32_t value) = 0;

    // The width in pixels of text drawn in a window's font, and the user's
    // number format: for fitting a caption into its frame.
    virtual int textWidth(WindowHandle window, const std::u16string& text) = 0;
    virtual NumberFormat numberFormat() = 0;

    // Puts text on the clipboard as Unicode text, owned by the window; false
    // when the clipboard could not be had.
    virtual bool setClipboardText(WindowHandle owner, const std::u16string& text) = 0;

    // Quorvel's own timer, identified by the window that owns it.
    virtual void setTimer(WindowHandle owner, unsigned id, unsigned milliseconds) = 0;
    virtual void killTimer(WindowHandle owner, unsigned id) = 0;
};

} // namespace quorvel
