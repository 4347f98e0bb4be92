#include "desktop/RemoteMemory.h"

#include <algorithm>
#include <vector>

namespace quorvel {

RemoteMemory::RemoteMemory(OtherWindows& desktop, WindowHandle window, std::size_t minBytes)
    : desktop_(desktop), process_(desktop.openProcess(window)), minBytes_(minBytes)
{
    if (process_.pointerBytes != 4 && process_.pointerBytes != 8 && isOpen()) {
        desktop_.closeProcess(process_);
        process_ = {};
    }
}

RemoteMemory::~RemoteMemory()
{
    release();
    if (isOpen())
        desktop_.closeProcess(process_);
}

void RemoteMemory::release()
{
    if (block_)
        desktop_.freeRemote(process_, block_);
    block_ = 0;
    blockBytes_ = 0;
}

RemoteAddress RemoteMemory::block(std::size_t bytes)
{
    if (!isOpen())
        return 0;
    if (block_ && blockBytes_ >= bytes)
        return block_;
    release();
    bytes = std::max(bytes, minBytes_);
    const RemoteAddress at = desktop_.allocRemote(process_, bytes);
    if (!at)
        return 0;
    block_ = at;
    blockBytes_ = bytes;
    // A block the target can't be told about is no use; free it at once.
    if (!passable(at))
        release();
    return block_;
}

bool RemoteMemory::write(RemoteAddress at, std::span<const std::uint8_t> bytes)
{
    return isOpen() && desktop_.writeRemote(process_, at, bytes.data(), bytes.size());
}

bool RemoteMemory::read(RemoteAddress at, std::span<std::uint8_t> bytes)
{
    return isOpen() && desktop_.readRemote(process_, at, bytes.data(), bytes.size());
}

std::optional<std::u16string> RemoteMemory::readText(RemoteAddress at, std::size_t maxChars)
{
    constexpr RemoteAddress page = 4096;
    std::u16string text;
    std::vector<std::uint8_t> chunk;
    while (text.size() < maxChars) {
        // To the next page boundary, in whole characters; at least one.
        const RemoteAddress toBoundary = page - at % page;
        std::size_t chars = std::max<std::size_t>(static_cast<std::size_t>(toBoundary / 2), 1);
        chars = std::min(chars, maxChars - text.size());
        chunk.resize(chars * 2);
        if (!read(at, chunk))
            return std::nullopt;
        for (std::size_t i = 0; i < chars; ++i) {
            const auto c = static_cast<char16_t>(chunk[2 * i] | chunk[2 * i + 1] << 8);
            if (c == u'\0')
                return text;
            text += c;
        }
        at += chars * 2;
    }
    return text;
}

} // namespace quorvel
