// The pointer, the keyboard's state and drawing on a whole window: what
// picking a window by pointing at it takes.
#pragma once

#include "desktop/DesktopTypes.h"

namespace quorvel {

// Opaque GDI objects and device contexts.
using GdiHandle = std::uintptr_t;

class PointAndDraw {
public:
    virtual ~PointAndDraw() = default;

    virtual bool getCursorPos(Point& p) = 0;
    virtual WindowHandle windowFromPoint(Point p) = 0;
    virtual std::int16_t getAsyncKeyState(int virtualKey) = 0;

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
