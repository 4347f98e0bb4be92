// The window-system operations Quorvel uses, kept free of <windows.h> so the
// logic above it builds and runs natively against a fake desktop.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

// A window handle as the user sees it: 32-bit signed, 0 names no window.
// Windows keeps only the low 32 bits of a handle meaningful, on x64 as well.
using WindowHandle = std::int32_t;

// Opaque GDI objects and device contexts.
using GdiHandle = std::uintptr_t;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The answer of a message sent with a bounded wait. delivered is false when
// the target did not answer in time, is hung, or no longer exists.
struct MessageResult {
    bool delivered = false;
    std::intptr_t answer = 0;
};

namespace win {
constexpr std::int32_t GWL_STYLE = -16;
constexpr std::int32_t ES_NUMBER = 0x2000;
constexpr int VK_F12 = 0x7B;
constexpr unsigned LB_GETTEXT = 0x0189;
constexpr unsigned LB_GETTEXTLEN = 0x018A;
constexpr unsigned LB_GETCOUNT = 0x018B;
constexpr unsigned CB_GETCOUNT = 0x0146;
constexpr unsigned CB_GETLBTEXT = 0x0148;
constexpr unsigned CB_GETLBTEXTLEN = 0x0149;
constexpr std::intptr_t LB_ERR = -1;
constexpr int PS_SOLID = 0;
constexpr int NULL_BRUSH = 5;
constexpr int R2_NOT = 6;
} // namespace win

class Desktop {
public:
    virtual ~Desktop() = default;

    // Pointer, windows and keys.
    virtual bool getCursorPos(Point& p) = 0;
    virtual WindowHandle windowFromPoint(Point p) = 0;
    virtual std::int16_t getAsyncKeyState(int virtualKey) = 0;
    virtual std::int32_t getWindowLong(WindowHandle window, std::int32_t index) = 0;
    virtual void setWindowLong(WindowHandle window, std::int32_t index, std::int32_t value) = 0;
    virtual bool getWindowRect(WindowHandle window, Rect& r) = 0;

    // Messages to windows of any process, with a bounded wait.
    virtual MessageResult sendMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;

    // Sends a text message (LB_GETTEXT, CB_GETLBTEXT) with a buffer of at
    // least capacity NUL characters as lParam, and hands back the answer and
    // the buffer's characters before its first NUL, at most capacity of them.
    // The buffer is the desktop's own: across processes the window system
    // copies back as many characters as its own length query of the target
    // says, which a target may inflate between the caller's query and this one.
    virtual MessageResult fetchText(WindowHandle window, unsigned message, std::uintptr_t index, std::size_t capacity,
                                    std::u16string& text) = 0;

    // Quorvel's own fields. Setting the text of a single-line field raises its
    // change notification before the call returns.
    virtual std::u16string getWindowText(WindowHandle window) = 0;
    virtual void setWindowText(WindowHandle window, const std::u16string& text) = 0;
    virtual bool isWindowEnabled(WindowHandle window) = 0;
    virtual void enableWindow(WindowHandle window, bool enable) = 0;

    // Quorvel's own timer, identified by the window that owns it.
    virtual void setTimer(WindowHandle owner, unsigned id, unsigned milliseconds) = 0;
    virtual void killTimer(WindowHandle owner, unsigned id) = 0;

    // Drawing on a whole window.
    virtual GdiHandle getWindowDC(WindowHandle window) = 0;
    virtual void releaseDC(WindowHandle window, GdiHandle dc) = 0;
    virtual GdiHandle createRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    virtual GdiHandle createPen(int style, int width, std::uint32_t colour) = 0;
    virtual GdiHandle getStockObject(int object) = 0;
    virtual GdiHandle selectObject(GdiHandle dc, GdiHandle object) = 0;
    virtual int setROP2(GdiHandle dc, int mode) = 0;
    virtual void rectangle(GdiHandle dc, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) = 0;
    virtual void deleteObject(GdiHandle object) = 0;
};

} // namespace quorvel
