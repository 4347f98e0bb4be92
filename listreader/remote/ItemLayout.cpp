#include "listreader/remote/ItemLayout.h"

namespace quorvel {

ItemLayout listViewItemLayout(int pointerBytes)
{
    // mask, iItem, iSubItem, state, stateMask, pszText, cchTextMax, iImage,
    // lParam, iIndent, iGroupId, cColumns, puColumns, piColFmt, iGroup.
    if (pointerBytes == 8)
        return {88, 0, 8, ItemLayout::npos, 24, 32, 8};
    return {60, 0, 8, ItemLayout::npos, 20, 24, 4};
}

ItemLayout treeViewItemLayout(int pointerBytes)
{
    // mask, hItem, state, stateMask, pszText, cchTextMax, iImage,
    // iSelectedImage, cChildren, lParam.
    if (pointerBytes == 8)
        return {56, 0, ItemLayout::npos, 8, 24, 32, 8};
    return {40, 0, ItemLayout::npos, 4, 16, 20, 4};
}

ItemLayout comboBoxExItemLayout(int pointerBytes)
{
    // mask, iItem (INT_PTR), pszText, cchTextMax, iImage, iSelectedImage,
    // iOverlay, iIndent, lParam.
    if (pointerBytes == 8)
        return {56, 0, ItemLayout::npos, 8, 16, 24, 8};
    return {36, 0, ItemLayout::npos, 4, 8, 12, 4};
}

ItemLayout listViewColumnLayout(int pointerBytes)
{
    // mask, fmt, cx, pszText, cchTextMax, iSubItem, iImage, iOrder, cxMin,
    // cxDefault, cxIdeal.
    if (pointerBytes == 8)
        return {56, 0, ItemLayout::npos, ItemLayout::npos, 16, 24, 8};
    return {44, 0, ItemLayout::npos, ItemLayout::npos, 12, 16, 4};
}

ItemLayout tabItemLayout(int pointerBytes)
{
    // mask, dwState, dwStateMask, pszText, cchTextMax, iImage, lParam.
    const bool wide = pointerBytes == 8;
    return {.size = wide ? 40u : 28u,
            .mask = 0,
            .subItem = ItemLayout::npos,
            .handle = ItemLayout::npos,
            .text = wide ? 16u : 12u,
            .textMax = wide ? 24u : 16u,
            .pointerBytes = pointerBytes};
}

ItemLayout headerItemLayout(int pointerBytes)
{
    // mask, cxy, pszText, hbm, cchTextMax, fmt, lParam, iImage, iOrder,
    // type, pvFilter, state.
    const bool wide = pointerBytes == 8;
    return {.size = wide ? 72u : 48u,
            .mask = 0,
            .subItem = ItemLayout::npos,
            .handle = ItemLayout::npos,
            .text = 8,
            .textMax = wide ? 24u : 16u,
            .pointerBytes = pointerBytes};
}

ButtonLayout toolbarButtonLayout(int pointerBytes)
{
    // iBitmap, idCommand, fsState, fsStyle, bReserved (6 bytes in a 64-bit
    // process, 2 in a 32-bit one), dwData, iString.
    return {.size = pointerBytes == 8 ? 32u : 20u, .command = 4, .style = 9};
}

void putU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putPointer(std::span<std::uint8_t> bytes, std::size_t offset, RemoteAddress value, int pointerBytes)
{
    for (int i = 0; i < pointerBytes; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

RemoteAddress getPointer(std::span<const std::uint8_t> bytes, std::size_t offset, int pointerBytes)
{
    RemoteAddress value = 0;
    for (int i = 0; i < pointerBytes; ++i)
        value |= RemoteAddress{bytes[offset + i]} << (8 * i);
    return value;
}

std::int32_t getI32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(getPointer(bytes, offset, 4)));
}

} // namespace quorvel
