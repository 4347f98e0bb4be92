// Where the fields of the structures that list views and tree views fill sit,
// in a 32-bit and in a 64-bit process: pointers and LPARAMs change size and
// alignment, so every field after the first pointer moves.
#pragma once

#include "desktop/OtherWindows.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvel {

// A structure that carries a text buffer (pszText, cchTextMax) and the
// fields Quorvel sets to name the item. Offsets are in bytes; subItem and
// handle are absent (npos) where the structure has no such field. handle is
// the pointer-sized field that names the item: a tree item's handle, a
// ComboBoxEx item's index.
struct ItemLayout {
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t size;
    std::size_t mask;
    std::size_t subItem;
    std::size_t handle;
    std::size_t text;
    std::size_t textMax;
    int pointerBytes;
};

// LVITEMW, as LVM_GETITEMTEXTW takes it.
ItemLayout listViewItemLayout(int pointerBytes);
// TVITEMW, as TVM_GETITEMW takes it.
ItemLayout treeViewItemLayout(int pointerBytes);
// COMBOBOXEXITEMW, as CBEM_GETITEMW takes it.
ItemLayout comboBoxExItemLayout(int pointerBytes);
// LVCOLUMNW, as LVM_GETCOLUMNW takes it: the column index is the message's
// wParam, not a field.
ItemLayout listViewColumnLayout(int pointerBytes);
// TCITEMW, as TCM_GETITEMW takes it.
ItemLayout tabItemLayout(int pointerBytes);
// HDITEMW, as HDM_GETITEMW takes it.
ItemLayout headerItemLayout(int pointerBytes);

// TBBUTTON, as TB_GETBUTTON fills it: the button's command and style.
struct ButtonLayout {
    std::size_t size;
    std::size_t command;
    std::size_t style;
};
ButtonLayout toolbarButtonLayout(int pointerBytes);

// Little-endian field access within a structure's bytes.
void putU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);
void putPointer(std::span<std::uint8_t> bytes, std::size_t offset, RemoteAddress value, int pointerBytes);
RemoteAddress getPointer(std::span<const std::uint8_t> bytes, std::size_t offset, int pointerBytes);
std::int32_t getI32(std::span<const std::uint8_t> bytes, std::size_t offset);

} // namespace quorvel
