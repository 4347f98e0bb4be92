// The window messages, styles and flags Quorvel sends and reads, for its own
// windows and other programs' controls alike. Values from the system's
// winuser.h, wingdi.h and commctrl.h; named as there, so that the code reads
// like the platform's documentation.
#pragma once

#include <cstdint>

namespace quorvel::win {

constexpr std::int32_t GWL_STYLE = -16;
constexpr std::int32_t WS_VISIBLE = 0x10000000;
constexpr std::int32_t ES_NUMBER = 0x2000;
constexpr int VK_F5 = 0x74;
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

// Tab control, status bar, standalone header and toolbar, and the messages that
// ask for items' states.

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
// List and tree views answer an item's state bits, and their state image
// list, in the answer itself. Their selected bit and state image index lie
// alike: by the convention of the system's check box images, image 1 is
// unchecked, 2 checked and 3 partly checked (TVS_EX_PARTIALCHECKBOXES).
constexpr unsigned LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr unsigned LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr unsigned LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr unsigned TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr unsigned TVM_GETITEMSTATE = TV_FIRST + 39;
constexpr std::uintptr_t STATE_IMAGE_LIST = 2; // LVSIL_STATE, TVSIL_STATE
constexpr std::uint32_t LVS_EX_CHECKBOXES = 0x0004;
constexpr std::int32_t TVS_CHECKBOXES = 0x0100;
constexpr std::uint32_t ITEM_SELECTED = 0x0002; // LVIS_SELECTED, TVIS_SELECTED
constexpr std::uint32_t STATE_IMAGE_MASK = 0xF000;
constexpr std::uint32_t CHECKED_IMAGE = 2;
constexpr std::uint32_t PARTLY_CHECKED_IMAGE = 3;

} // namespace quorvel::win
