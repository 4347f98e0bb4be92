// Messages and flags of the tab control, status bar, standalone header and
// toolbar, and those that ask for items' states, which only their readers
// (and the fake desktop) use. Values from the system's winuser.h and commctrl.h.
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

// Item states. A list box that lets the user select many tells each item's
// selection; any other list or combo box, and a tab control, its current item.
constexpr unsigned LB_GETSEL = 0x0187;
constexpr unsigned LB_GETCURSEL = 0x0188;
constexpr unsigned CB_GETCURSEL = 0x0147;
constexpr unsigned TCM_GETCURSEL = TCM_FIRST + 11;
constexpr std::int32_t LBS_MULTIPLESEL = 0x0008;
constexpr std::int32_t LBS_EXTENDEDSEL = 0x0800;
// List and tree views answer an item's state bits in the answer itself.
// Their selected bit and state image index lie alike: image 2 of the
// system's check boxes is the checked one.
constexpr unsigned LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr unsigned LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr unsigned TVM_GETITEMSTATE = TV_FIRST + 39;
constexpr std::uint32_t LVS_EX_CHECKBOXES = 0x0004;
constexpr std::int32_t TVS_CHECKBOXES = 0x0100;
constexpr std::uint32_t ITEM_SELECTED = 0x0002; // LVIS_SELECTED, TVIS_SELECTED
constexpr std::uint32_t STATE_IMAGE_MASK = 0xF000;
constexpr std::uint32_t CHECKED_IMAGE = 2;

} // namespace quorvel::win
