#include "picking/DrawWndBorderMod.h"

#include <cstdint>
#include <limits>

namespace quorvel::DrawWndBorderMod {

WindowHandle hWndFramed = 0;

namespace {

constexpr int penWidth = 6;

// A window rectangle whose width or height does not fit 32 bits cannot come
// from a real window; such a window is left unpainted rather than crashing.
bool fits32(std::int64_t v)
{
    return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

void DrawWndBorder(Desktop& desktop, WindowHandle& hWnd)
{
    // hWndFramed is passed as itself, so the inner call skips this step: the
    // nesting is one level deep.
    if (hWndFramed != hWnd && hWndFramed != 0)
        DrawWndBorder(desktop, hWndFramed);
    hWndFramed = hWnd;

    Rect rect;
    desktop.getWindowRect(hWnd, rect);
    const std::int64_t w = std::int64_t{rect.right} - rect.left;
    const std::int64_t h = std::int64_t{rect.bottom} - rect.top;
    if (!fits32(w) || !fits32(h))
        return;
    const auto width = static_cast<std::int32_t>(w);
    const auto height = static_cast<std::int32_t>(h);

    // Half the pen falls outside the window and is clipped away, leaving a
    // band about 3 pixels wide along the inside of its outer edge.
    GdiHandle region = desktop.createRectRgn(0, 0, width, height);
    GdiHandle dc = desktop.getWindowDC(hWnd);
    desktop.selectObject(dc, region);
    GdiHandle pen = desktop.createPen(win::PS_SOLID, penWidth, 0);
    GdiHandle oldPen = desktop.selectObject(dc, pen);
    GdiHandle brush = desktop.getStockObject(win::NULL_BRUSH);
    GdiHandle oldBrush = desktop.selectObject(dc, brush);
    int oldMix = desktop.setROP2(dc, win::R2_NOT);
    desktop.rectangle(dc, 0, 0, width, height);
    desktop.setROP2(dc, oldMix);
    desktop.selectObject(dc, oldBrush);
    desktop.selectObject(dc, oldPen);
    desktop.deleteObject(pen);
    desktop.deleteObject(region);
    desktop.releaseDC(hWnd, dc);
}

} // namespace quorvel::DrawWndBorderMod
