// The desktop on real Windows: user32 and gdi32, with every message to another
// window bounded in time.
#pragma once

#include "desktop/Desktop.h"

#include <windows.h>

namespace quorvel {

inline HWND toHwnd(WindowHandle h)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(h));
}
inline WindowHandle fromHwnd(HWND h)
{
    return static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(h));
}

class Win32Desktop : public Desktop {
public:
    static constexpr UINT messageTimeoutMs = answerBoundMs;

    bool getCursorPos(Point& p) override;
    WindowHandle windowFromPoint(Point p) override;
    std::int16_t getAsyncKeyState(int vk) override;
    std::int32_t getWindowLong(WindowHandle w, std::int32_t index) override;
    void setWindowLong(WindowHandle w, std::int32_t index, std::int32_t value) override;
    bool getWindowRect(WindowHandle w, Rect& r) override;
    MessageResult sendMessage(WindowHandle w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    MessageResult fetchText(WindowHandle w, unsigned msg, std::uintptr_t index, std::size_t capacity,
                            std::u16string& text) override;
    bool isWindow(WindowHandle w) override;
    std::u16string className(WindowHandle w) override;
    WindowHandle parentWindow(WindowHandle w) override;
    RemoteProcess openProcess(WindowHandle w) override;
    void closeProcess(const RemoteProcess& p) override;
    RemoteAddress allocRemote(const RemoteProcess& p, std::size_t bytes) override;
    void freeRemote(const RemoteProcess& p, RemoteAddress a) override;
    bool writeRemote(const RemoteProcess& p, RemoteAddress a, const void* data, std::size_t bytes) override;
    bool readRemote(const RemoteProcess& p, RemoteAddress a, void* data, std::size_t bytes) override;
    std::u16string getWindowText(WindowHandle w) override;
    void setWindowText(WindowHandle w, const std::u16string& text) override;
    std::pair<std::size_t, std::size_t> getSelection(WindowHandle w) override;
    void setSelection(WindowHandle w, std::size_t start, std::size_t end) override;
    bool replaceSelection(WindowHandle w, const std::u16string& text) override;
    std::size_t textLength(WindowHandle w) override;
    int firstVisibleLine(WindowHandle w) override;
    void scrollLines(WindowHandle w, int lines) override;
    void setRedraw(WindowHandle w, bool redraw) override;
    // The edit control told its parent it could not take a change (EN_ERRSPACE).
    void fieldOutOfSpace() { outOfSpace_ = true; }
    bool isWindowEnabled(WindowHandle w) override;
    void enableWindow(WindowHandle w, bool enable) override;
    int textWidth(WindowHandle w, const std::u16string& text) override;
    NumberFormat numberFormat() override;
    void setTimer(WindowHandle owner, unsigned id, unsigned ms) override;
    void killTimer(WindowHandle owner, unsigned id) override;
    GdiHandle getWindowDC(WindowHandle w) override;
    void releaseDC(WindowHandle w, GdiHandle dc) override;
    GdiHandle createRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    GdiHandle createPen(int style, int width, std::uint32_t colour) override;
    GdiHandle getStockObject(int object) override;
    GdiHandle selectObject(GdiHandle dc, GdiHandle object) override;
    int setROP2(GdiHandle dc, int mode) override;
    void rectangle(GdiHandle dc, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void deleteObject(GdiHandle object) override;
    bool setClipboardText(WindowHandle owner, const std::u16string& text) override;
    std::vector<WindowHandle> topWindows() override;
    std::vector<WindowHandle> childWindows(WindowHandle top) override;
    std::u16string windowTitle(WindowHandle w) override;
    std::int32_t controlId(WindowHandle w) override;
    bool visible(WindowHandle w) override;
    bool cloaked(WindowHandle w) override;
    std::uint32_t processId(WindowHandle w) override;
    ProgramFacts program(std::uint32_t processId) override;

    ~Win32Desktop() override;

private:
    // The buffer of every text fetch: one region, committed once, far larger
    // than any item the reader accepts. The window system may copy back more
    // than was asked for (see fetchText); that lands in untouched pages of
    // this region instead of the heap, and costs no memory unless written.
    static constexpr std::size_t scratchBytes = std::size_t{64} << 20;
    wchar_t* scratch_ = nullptr;
    bool outOfSpace_ = false;
};

} // namespace quorvel
