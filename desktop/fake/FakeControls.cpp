// The fake's list views, headers, tree views, tab controls, status bars and
// toolbars: they read the structures the
// caller hands them from the target process's memory, in that process's
// layout (taken from the system headers, kept apart from the reader's), and
// write their texts back there.
#include "desktop/ControlMessages.h"
#include "desktop/fake/FakeDesktop.h"

#include <algorithm>

namespace quorvel {

namespace {

constexpr unsigned LVM_GETNEXTITEM = win::LVM_FIRST + 12;

// pszText and cchTextMax of LVITEMW, TVITEMW and COMBOBOXEXITEMW; hItem of
// TVITEMW and iItem of COMBOBOXEXITEMW, both pointer-sized.
struct TextFields {
    std::size_t text, textMax;
};
TextFields lvItemFields(int pointerBytes)
{
    return pointerBytes == 8 ? TextFields{24, 32} : TextFields{20, 24};
}
TextFields tvItemFields(int pointerBytes)
{
    return pointerBytes == 8 ? TextFields{24, 32} : TextFields{16, 20};
}
std::size_t tvHandleField(int pointerBytes)
{
    return pointerBytes == 8 ? 8 : 4;
}
TextFields cbexItemFields(int pointerBytes)
{
    return pointerBytes == 8 ? TextFields{16, 24} : TextFields{8, 12};
}
std::size_t cbexIndexField(int pointerBytes)
{
    return pointerBytes == 8 ? 8 : 4;
}
TextFields lvColumnFields(int pointerBytes)
{
    return pointerBytes == 8 ? TextFields{16, 24} : TextFields{12, 16};
}

// pszText and cchTextMax of TCITEMW and HDITEMW; TBBUTTON's idCommand is at
// 4 and fsStyle at 9 in either layout.
TextFields tcItemFields(int pointerBytes)
{
    return pointerBytes == 8 ? TextFields{16, 24} : TextFields{12, 16};
}
TextFields hdItemFields(int pointerBytes)
{
    return pointerBytes == 8 ? TextFields{8, 24} : TextFields{8, 16};
}

// Handles of a 64-bit process lie above 4 GiB, like its heap.
RemoteAddress treeItemHandle(int pointerBytes, std::size_t i)
{
    return (pointerBytes == 8 ? 0x00000230'00100000 : 0x00610000) + 0x40 * RemoteAddress{i};
}

RemoteAddress readPointer(const FakeProcess& p, RemoteAddress at)
{
    std::uint64_t value = 0;
    p.read(at, &value, static_cast<std::size_t>(p.pointerBytes)); // little-endian
    return value;
}

std::int32_t readInt(const FakeProcess& p, RemoteAddress at)
{
    std::int32_t value = 0;
    p.read(at, &value, 4);
    return value;
}

// Copies text into the caller's buffer as the controls do: cut to the
// buffer, always NUL-terminated. The characters copied, or -1 on failure.
std::intptr_t copyText(FakeProcess& p, RemoteAddress structure, TextFields f, const std::u16string& text)
{
    const RemoteAddress buffer = readPointer(p, structure + f.text);
    const std::int32_t max = readInt(p, structure + f.textMax);
    if (max <= 0)
        return -1;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(max) - 1);
    std::u16string copy = text.substr(0, n);
    if (!p.write(buffer, copy.c_str(), (n + 1) * 2))
        return -1;
    return static_cast<std::intptr_t>(n);
}

} // namespace

MessageResult FakeDesktop::listViewMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    FakeProcess& p = process(w.process);
    if (w.kind == FakeKind::header) {
        auto parent = windows_.find(w.parent);
        if (parent != windows_.end())
            return {true, msg == win::HDM_GETITEMCOUNT ? parent->second.columns : 0};
        // On its own: its items are its columns.
        std::vector<std::int32_t> order = w.columnOrder;
        for (auto c = static_cast<std::int32_t>(order.size()); c < static_cast<std::int32_t>(w.items.size()); ++c)
            order.push_back(c);
        const bool valid = wParam < w.items.size();
        const RemoteAddress item = p.fromParam(lParam);
        if (msg == win::HDM_GETITEMCOUNT)
            return {true, static_cast<std::intptr_t>(w.items.size())};
        if (msg == win::HDM_GETORDERARRAY)
            return {true, wParam == order.size() && p.write(item, order.data(), order.size() * 4)};
        if (msg == win::HDM_GETITEMW && valid && readInt(p, item) & win::HDI_TEXT)
            return {true, copyText(p, item, hdItemFields(p.pointerBytes), w.items[wParam]) >= 0};
        return {true, msg == win::HDM_GETITEMW && valid};
    }
    const auto rows = static_cast<std::int32_t>(w.rows.size());
    const auto index = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
    switch (msg) {
    case win::LVM_GETITEMCOUNT:
        return {true, rows};
    case LVM_GETNEXTITEM:
        return {true, index + 1 < rows ? index + 1 : -1};
    case win::LVM_GETHEADER:
        return {true, w.header};
    case win::LVM_GETCOLUMNW: {
        const RemoteAddress column = p.fromParam(lParam);
        if (index < 0 || index >= w.columns || !p.write(column + 8, &index, 4))
            return {true, 0};
        if (!(readInt(p, column) & win::LVCF_TEXT))
            return {true, 1};
        const auto at = static_cast<std::size_t>(index);
        return {true, copyText(p, column, lvColumnFields(p.pointerBytes),
                               at < w.columnNames.size() ? w.columnNames[at] : u"") >= 0};
    }
    case win::LVM_GETCOLUMNORDERARRAY: {
        if (index < w.columns)
            return {true, 0};
        std::vector<std::int32_t> order = w.columnOrder;
        for (std::int32_t c = static_cast<std::int32_t>(order.size()); c < w.columns; ++c)
            order.push_back(c);
        return {true, p.write(p.fromParam(lParam), order.data(), order.size() * 4)};
    }
    case win::LVM_GETITEMTEXTW: {
        const RemoteAddress item = p.fromParam(lParam);
        const std::int32_t sub = readInt(p, item + 8);
        if (index < 0 || index >= rows || sub < 0 || sub >= w.columns)
            return {true, 0};
        const auto& cells = w.rows[static_cast<std::size_t>(index)];
        const std::u16string text = static_cast<std::size_t>(sub) < cells.size() ? cells[sub] : u"";
        return {true, std::max<std::intptr_t>(copyText(p, item, lvItemFields(p.pointerBytes), text), 0)};
    }
    default:
        return {true, 0};
    }
}

// Whatever the kind, as the messages that ask for states have values of their own.
std::optional<MessageResult> FakeDesktop::stateMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam,
                                                       std::intptr_t lParam)
{
    const auto current = std::ranges::find_if(w.states, [](const auto& s) { return (s.second & 2) != 0; });
    if (msg == win::TVM_GETITEMSTATE)
        wParam = (wParam - treeItemHandle(process(w.process).pointerBytes, 0)) / 0x40;
    const std::intptr_t bits = w.states.count(wParam) ? w.states[wParam] : 0;
    if (msg == win::LB_GETCURSEL || msg == win::CB_GETCURSEL || msg == win::TCM_GETCURSEL)
        return MessageResult{true, current == w.states.end() ? -1 : std::intptr_t(current->first)};
    if (msg == win::LVM_GETITEMSTATE || msg == win::TVM_GETITEMSTATE || msg == win::LB_GETSEL)
        return MessageResult{true, msg == win::LB_GETSEL ? (bits & 2) != 0 : bits & lParam};
    if (msg == win::LVM_GETEXTENDEDLISTVIEWSTYLE)
        return MessageResult{true, w.exStyle};
    if ((msg == win::LVM_GETIMAGELIST || msg == win::TVM_GETIMAGELIST) && wParam == win::STATE_IMAGE_LIST)
        return MessageResult{true, w.stateImageList ? 0x5A0000 : 0};
    return std::nullopt;
}

RemoteAddress FakeDesktop::treeItem(WindowHandle tree, std::size_t i)
{
    return treeItemHandle(process(window(tree).process).pointerBytes, i);
}

MessageResult FakeDesktop::treeViewMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    FakeProcess& p = process(w.process);
    const RemoteAddress first = treeItemHandle(p.pointerBytes, 0);
    // The index of the item a handle names, or -1.
    auto indexOf = [&](RemoteAddress h) -> int {
        if (h < first || (h - first) % 0x40 || (h - first) / 0x40 >= w.tree.size())
            return -1;
        return static_cast<int>((h - first) / 0x40);
    };
    auto handleOf = [&](int i) -> std::intptr_t {
        return i < 0 ? 0 : static_cast<std::intptr_t>(first + 0x40 * static_cast<RemoteAddress>(i));
    };
    auto firstChildOf = [&](int parent, int after) {
        for (int i = after + 1; i < static_cast<int>(w.tree.size()); ++i) {
            if (w.tree[i].parent == parent)
                return i;
        }
        return -1;
    };
    switch (msg) {
    case win::TVM_GETCOUNT:
        return {true, static_cast<std::intptr_t>(w.tree.size())};
    case win::TVM_GETNEXTITEM: {
        const int from = indexOf(p.fromParam(lParam));
        if (wParam == win::TVGN_ROOT)
            return {true, handleOf(firstChildOf(-1, -1))};
        if (from < 0)
            return {true, 0};
        if (wParam == win::TVGN_CHILD)
            return {true, handleOf(firstChildOf(from, from))};
        if (wParam == win::TVGN_NEXT)
            return {true, handleOf(firstChildOf(w.tree[from].parent, from))};
        return {true, 0};
    }
    case win::TVM_GETITEMW: {
        const RemoteAddress item = p.fromParam(lParam);
        const int i = indexOf(readPointer(p, item + tvHandleField(p.pointerBytes)));
        if (i < 0)
            return {true, 0};
        return {true, copyText(p, item, tvItemFields(p.pointerBytes), w.tree[i].text) >= 0};
    }
    default:
        return {true, 0};
    }
}

MessageResult FakeDesktop::comboBoxExMessage(FakeWindow& w, unsigned msg, std::uintptr_t, std::intptr_t lParam)
{
    FakeProcess& p = process(w.process);
    if (msg == win::CB_GETCOUNT)
        return {true, static_cast<std::intptr_t>(w.items.size())};
    if (msg != win::CBEM_GETITEMW)
        return {true, 0};
    const RemoteAddress item = p.fromParam(lParam);
    const RemoteAddress index = readPointer(p, item + cbexIndexField(p.pointerBytes));
    if (index >= w.items.size())
        return {true, 0};
    return {true, copyText(p, item, cbexItemFields(p.pointerBytes), w.items[index]) >= 0};
}

MessageResult FakeDesktop::barMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    FakeProcess& p = process(w.process);
    const RemoteAddress at = p.fromParam(lParam);
    const auto count = static_cast<std::intptr_t>(w.items.size());
    // Copies the whole text, whatever room there is, as these controls do.
    auto whole = [&](const std::u16string& text) {
        p.write(at, text.c_str(), (text.size() + 1) * 2);
        return static_cast<std::intptr_t>(text.size());
    };
    const bool valid = wParam < w.items.size();
    switch (msg) {
    case win::TCM_GETITEMCOUNT:
    case win::TB_BUTTONCOUNT:
        return {true, count};
    case win::SB_GETPARTS: // the right edge of each part, up to wParam of them
        for (std::size_t i = 0; lParam && i < std::min(wParam, w.items.size()); ++i) {
            const auto edge = static_cast<std::int32_t>(100 * i + 100);
            p.write(at + 4 * i, &edge, 4);
        }
        return {true, count};
    case win::TCM_GETITEMW:
        if (valid && readInt(p, at) & win::TCIF_TEXT)
            return {true, copyText(p, at, tcItemFields(p.pointerBytes), w.items[wParam]) >= 0};
        return {true, valid};
    case win::SB_ISSIMPLE:
        return {true, w.simple};
    case win::SB_GETTEXTLENGTHW:
    case win::SB_GETTEXTW: {
        // Unchecked, as a status bar may be: past the last part lies anything.
        const std::size_t part = wParam & 0xFF;
        const std::u16string text = part == win::SB_SIMPLEID ? w.text
                                    : part < w.items.size()  ? w.items[part]
                                                             : u"ghost";
        if (w.marked.count(part))
            return {true, static_cast<std::intptr_t>(0x10000000 | 0x1234)}; // the owner's number
        return {true, msg == win::SB_GETTEXTW ? whole(text) : static_cast<std::intptr_t>(text.size())};
    }
    case win::TB_GETBUTTON: {
        const auto command = static_cast<std::int32_t>(1000 + wParam);
        const std::uint8_t style = w.marked.count(wParam) ? win::BTNS_SEP : 0;
        return {true, valid && p.write(at + 4, &command, 4) && p.write(at + 9, &style, 1)};
    }
    case win::TB_GETBUTTONTEXTW: {
        const std::size_t i = wParam - 1000;
        if (i >= w.items.size())
            return {true, -1};
        return {true, lParam ? whole(w.items[i]) : static_cast<std::intptr_t>(w.items[i].size())};
    }
    default:
        return {true, 0};
    }
}

} // namespace quorvel
