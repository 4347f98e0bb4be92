// Quorvel's own window and its controls: their texts, styles, timers and the
// measures a caption is fitted by.
#pragma once

#include "desktop/DesktopTypes.h"

#include <utility>

namespace quorvel {

class OwnWindow {
public:
    virtual ~OwnWindow() = default;

    // Setting the text of a single-line field raises its change notification
    // before the call returns.
    virtual std::u16string getWindowText(WindowHandle window) = 0;
    virtual void setWindowText(WindowHandle window, const std::u16string& text) = 0;
    // An edit field's selection, as the start and end of the characters
    // selected, and replacing it: what adding text at the end without moving
    // the user's place is built of. False when the field did not take all of
    // the text (it is full, or the system is out of memory).
    virtual std::pair<std::size_t, std::size_t> getSelection(WindowHandle field) = 0;
    virtual void setSelection(WindowHandle field, std::size_t start, std::size_t end) = 0;
    virtual bool replaceSelection(WindowHandle field, const std::u16string& text) = 0;
    virtual std::size_t textLength(WindowHandle field) = 0;
    // The first line a multi-line field shows, and scrolling it by lines.
    virtual int firstVisibleLine(WindowHandle field) = 0;
    virtual void scrollLines(WindowHandle field, int lines) = 0;
    // Whether a window paints its changes; painting on again shows them.
    virtual void setRedraw(WindowHandle window, bool redraw) = 0;
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
