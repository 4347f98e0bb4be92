// The main window's controls with their design units, and the pure layout
// that turns twips into pixels at a given DPI.
#pragma once

#include <array>
#include <cstdint>

namespace quorvel {

enum class ControlKind { groupFrame, singleLineText, multiLineText, pushButton };

// Control IDs; Parent 0 is the main window's client area.
enum ControlId : int {
    idNone = 0,
    idFrame1 = 101,
    idFrame2 = 102,
    idTxtWnd = 103,
    idTxtList = 104,
    idCmdCapture = 105
};

struct TwipsRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
    bool operator==(const PixelRect&) const = default;
};

struct ControlDef {
    const char* name;
    ControlId id;
    ControlKind kind;
    ControlId parent;
    const char16_t* caption;
    TwipsRect twips;
    int tabIndex;
    int maxLength; // 0: no limit of its own
};

// In creation order. Tab order follows tabIndex, not this order.
inline constexpr std::array<ControlDef, 5> controls{{
    {"Frame2", idFrame2, ControlKind::groupFrame, idNone, u"List Items", {120, 1080, 5775, 2895}, 1, 0},
    {"txtList", idTxtList, ControlKind::multiLineText, idFrame2, u"", {240, 360, 5295, 2295}, 3, 0},
    {"Frame1", idFrame1, ControlKind::groupFrame, idNone, u"Window Handle", {120, 120, 5775, 855}, 0, 0},
    {"CmdCapture", idCmdCapture, ControlKind::pushButton, idFrame1, u"...", {5160, 360, 375, 255}, 4, 0},
    {"txtWnd", idTxtWnd, ControlKind::singleLineText, idFrame1, u"", {240, 360, 4815, 315}, 2, 9},
}};

inline constexpr int clientWidthTwips = 6045;
inline constexpr int clientHeightTwips = 4110;
inline constexpr const char16_t* formCaption = u"Quorvel";

// Tahoma 8.25 pt, in hundredths of a point.
inline constexpr const char16_t* fontFace = u"Tahoma";
inline constexpr int fontSizeCentipoints = 825;

// Twips to pixels: 1440 twips make an inch, rounded to the nearest pixel.
int twipsToPixels(int twips, int dpi);
PixelRect layout(const TwipsRect& twips, int dpi);

// The font height for CreateFont: negative, a character height in pixels.
int fontHeight(int dpi);

// The control that follows (or, backwards, precedes) current in tab order,
// skipping frames and controls for which canFocus is false. Returns current
// when none can take the focus.
ControlId nextInTabOrder(ControlId current, bool backwards, bool (*canFocus)(ControlId, void*), void* context);

} // namespace quorvel
