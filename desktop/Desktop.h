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
// the target did not answer in time, is hung, or no longer exists; denied
// when the system would not deliver it (a target with higher rights).
struct MessageResult {
    bool delivered = false;
    std::intptr_t answer = 0;
    bool denied = false;
};

// Another window's process, opened for reading and writing its memory.
// pointerBytes is the size of a pointer in that process (4 or 8), which sets
// the layout of every structure handed to its controls.
struct RemoteProcess {
    std::uintptr_t handle = 0; // 0: the process could not be opened
    int pointerBytes = 0;
    bool denied = false; // not opened because the system refused access
};

// The user's way of writing numbers: the digit group separator and the
// group sizes as the locale states them ("3;0", or "3;2;0" in India).
struct NumberFormat {
    std::u16string separator = u",";
    std::u16string grouping = u"3;0";
};

// The longest Quorvel waits for another program to answer one message: long
// enough for a busy target, short enough that a stuck one never leaves it
// frozen for more than a moment. Calls with no time limit of their own are
// given up after as long.
constexpr std::uint32_t answerBoundMs = 2000;

// An address in another process; 64 bits wide whatever the reader's own size.
using RemoteAddress = std::uint64_t;

namespace win {
constexpr std::int32_t GWL_STYLE = -16;
constexpr std::int32_t WS_VISIBLE = 0x10000000;
constexpr std::int32_t ES_NUMBER = 0x2000;
constexpr int VK_F12 = 0x7B;
constexpr unsigned LB_GETTEXT = 0x0189;
constexpr unsigned LB_GETTEXTLEN = 0x018A;
constexpr unsigned LB_GETCOUNT = 0x018B;
constexpr unsigned CB_GETCOUNT = 0x0146;
constexpr unsigned CB_GETLBTEXT = 0x0148;
constexpr unsigned CB_GETLBTEXTLEN = 0x0149;
constexpr std::intptr_t LB_ERR = -1;
constexpr unsigned WM_USER = 0x0400;

// List box and combo box styles: owner-drawn without strings keeps a number per item.
constexpr std::int32_t LBS_OWNERDRAWFIXED = 0x0010;
constexpr std::int32_t LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr std::int32_t LBS_HASSTRINGS = 0x0040;
constexpr std::int32_t CBS_OWNERDRAWFIXED = 0x0010;
constexpr std::int32_t CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr std::int32_t CBS_HASSTRINGS = 0x0200;

// List view.
constexpr unsigned LVM_FIRST = 0x1000;
constexpr unsigned LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr unsigned LVM_GETHEADER = LVM_FIRST + 31;
constexpr unsigned LVM_GETCOLUMNW = LVM_FIRST + 95;
constexpr unsigned LVM_GETCOLUMNORDERARRAY = LVM_FIRST + 59;
constexpr unsigned LVM_GETITEMTEXTW = LVM_FIRST + 115;
constexpr std::int32_t LVS_TYPEMASK = 0x0003;
constexpr std::int32_t LVS_REPORT = 0x0001;
constexpr std::uint32_t LVCF_WIDTH = 0x0002;
constexpr std::uint32_t LVCF_TEXT = 0x0004;
constexpr std::uint32_t LVIF_TEXT = 0x0001;

// Header.
constexpr unsigned HDM_FIRST = 0x1200;
constexpr unsigned HDM_GETITEMCOUNT = HDM_FIRST + 0;

// ComboBoxEx.
constexpr unsigned CBEM_GETITEMW = WM_USER + 13;
constexpr std::uint32_t CBEIF_TEXT = 0x0001;

// Tree view.
constexpr unsigned TV_FIRST = 0x1100;
constexpr unsigned TVM_GETCOUNT = TV_FIRST + 5;
constexpr unsigned TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr unsigned TVM_GETITEMW = TV_FIRST + 62;
constexpr std::uintptr_t TVGN_ROOT = 0x0000;
constexpr std::uintptr_t TVGN_NEXT = 0x0001;
constexpr std::uintptr_t TVGN_CHILD = 0x0004;
constexpr std::uint32_t TVIF_TEXT = 0x0001;
constexpr std::uint32_t TVIF_HANDLE = 0x0010;
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

    // What a window is: whether it exists, its class name (any process's
    // window answers this), and its parent (0 for a top-level window).
    virtual bool isWindow(WindowHandle window) = 0;
    virtual std::u16string className(WindowHandle window) = 0;
    virtual WindowHandle parentWindow(WindowHandle window) = 0;

    // Memory in the process that owns a window. Controls such as list views
    // hand their text only through structures in the caller's memory, and
    // across processes that memory must be in the target. openProcess asks
    // for no more than operating on, reading and writing memory and querying
    // limited information; every open is closed and every allocation freed.
    virtual RemoteProcess openProcess(WindowHandle window) = 0;
    virtual void closeProcess(const RemoteProcess& process) = 0;
    // Committed read-write memory; 0 when it can't be had.
    virtual RemoteAddress allocRemote(const RemoteProcess& process, std::size_t bytes) = 0;
    virtual void freeRemote(const RemoteProcess& process, RemoteAddress address) = 0;
    // False unless every byte was transferred.
    virtual bool writeRemote(const RemoteProcess& process, RemoteAddress address, const void* data,
                             std::size_t bytes) = 0;
    virtual bool readRemote(const RemoteProcess& process, RemoteAddress address, void* data, std::size_t bytes) = 0;

    // Quorvel's own fields. Setting the text of a single-line field raises its
    // change notification before the call returns.
    virtual std::u16string getWindowText(WindowHandle window) = 0;
    virtual void setWindowText(WindowHandle window, const std::u16string& text) = 0;
    // Adds text at the end of a multi-line field without laying out what it
    // holds again, and without moving the user's selection or scroll position.
    virtual void appendWindowText(WindowHandle window, const std::u16string& text) = 0;
    virtual bool isWindowEnabled(WindowHandle window) = 0;
    virtual void enableWindow(WindowHandle window, bool enable) = 0;

    // The width in pixels of text drawn in a window's font, and the user's
    // number format: for fitting a caption into its frame.
    virtual int textWidth(WindowHandle window, const std::u16string& text) = 0;
    virtual NumberFormat numberFormat() = 0;

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
