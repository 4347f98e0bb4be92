// Messages and flags of the tab control, status bar, standalone header and
// toolbar, which only their readers (and the fake desktop) use. Values from
// the system's commctrl.h.
#pragma once

#include "desktop/Desktop.h"

namespace quorvel::win {

// Tab control.
constexpr unsigned TCM_FIRST = 0x1300;
constexpr unsigned TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr unsigned TCM_GETITEMW = TCM_FIRST + 60;
constexpr std::uint32_t TCIF_TEXT = 0x0001;

// Status bar: a part's index is the low byte of wParam, and 255 names the
// one part of simple mode.
constexpr unsigned SB_GETPARTS = WM_USER + 6;
constexpr unsigned SB_GETTEXTLENGTHW = WM_USER + 12;
constexpr unsigned SB_GETTEXTW = WM_USER + 13;
constexpr unsigned SB_ISSIMPLE = WM_USER + 14;
constexpr std::uintptr_t SB_SIMPLEID = 0xFF;
// In the high word of a text answer: the part is drawn by its owner, and
// what it keeps is a number of the owner's, not text.
constexpr std::uint32_t SBT_OWNERDRAW = 0x1000;

// Header.
constexpr unsigned HDM_GETITEMW = HDM_FIRST + 11;
constexpr unsigned HDM_GETORDERARRAY = HDM_FIRST + 17;
constexpr std::uint32_t HDI_TEXT = 0x0002;

// Toolbar.
constexpr unsigned TB_GETBUTTON = WM_USER + 23;
constexpr unsigned TB_BUTTONCOUNT = WM_USER + 24;
constexpr unsigned TB_GETBUTTONTEXTW = WM_USER + 75;
constexpr std::uint8_t BTNS_SEP = 0x01;

} // namespace quorvel::win
