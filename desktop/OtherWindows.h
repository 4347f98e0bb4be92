// Reaching the windows of other programs: their messages, with a bounded
// wait, what they are, and the memory of the process behind them.
#pragma once

#include "desktop/DesktopTypes.h"

namespace quorvel {

class OtherWindows {
public:
    virtual ~OtherWindows() = default;

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
    // window answers this), its parent (0 for a top-level window), its style
    // bits and its rectangle on the screen, none of which sends it a message.
    virtual bool isWindow(WindowHandle window) = 0;
    virtual std::u16string className(WindowHandle window) = 0;
    virtual WindowHandle parentWindow(WindowHandle window) = 0;
    virtual std::int32_t getWindowLong(WindowHandle window, std::int32_t index) = 0;
    virtual bool getWindowRect(WindowHandle window, Rect& r) = 0;

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
};

} // namespace quorvel
