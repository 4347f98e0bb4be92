#include "desktop/fake/FakeProcess.h"

#include <cstring>

namespace quorvel {

namespace {
// 64-bit processes get addresses above 4 GiB, so that a reader that cuts
// pointers to 32 bits misses.
constexpr RemoteAddress base32 = 0x00520000;
constexpr RemoteAddress base64 = 0x000001F0'00000000;
constexpr RemoteAddress granularity = 0x10000;
} // namespace

FakeProcess::FakeProcess(int bytes) : pointerBytes(bytes), next_(bytes == 8 ? base64 : base32) {}

RemoteAddress FakeProcess::alloc(std::size_t bytes, bool own)
{
    if (allocFails && !own)
        return 0;
    const RemoteAddress at = next_;
    next_ += (bytes + granularity) / granularity * granularity;
    blocks_[at] = {std::vector<std::uint8_t>(bytes, 0), own};
    if (!own)
        ++allocations;
    return at;
}

bool FakeProcess::free(RemoteAddress at)
{
    auto it = blocks_.find(at);
    if (it == blocks_.end() || it->second.own)
        return false;
    blocks_.erase(it);
    return true;
}

const FakeProcess::Block* FakeProcess::find(RemoteAddress at, std::size_t bytes, RemoteAddress& offset) const
{
    auto it = blocks_.upper_bound(at);
    if (it == blocks_.begin())
        return nullptr;
    --it;
    offset = at - it->first;
    if (offset > it->second.bytes.size() || bytes > it->second.bytes.size() - offset)
        return nullptr;
    return &it->second;
}

bool FakeProcess::write(RemoteAddress at, const void* data, std::size_t bytes)
{
    RemoteAddress offset = 0;
    auto* block = const_cast<Block*>(find(at, bytes, offset));
    if (!block)
        return false;
    if (bytes)
        std::memcpy(block->bytes.data() + offset, data, bytes);
    return true;
}

bool FakeProcess::read(RemoteAddress at, void* data, std::size_t bytes) const
{
    RemoteAddress offset = 0;
    const Block* block = find(at, bytes, offset);
    if (!block)
        return false;
    if (bytes)
        std::memcpy(data, block->bytes.data() + offset, bytes);
    return true;
}

RemoteAddress FakeProcess::plantText(const std::u16string& text)
{
    const RemoteAddress at = alloc((text.size() + 1) * 2, true);
    write(at, text.c_str(), (text.size() + 1) * 2);
    return at;
}

std::u16string FakeProcess::textAt(RemoteAddress at, std::size_t maxChars) const
{
    std::u16string text;
    char16_t c = 0;
    while (text.size() < maxChars && read(at + 2 * text.size(), &c, 2) && c)
        text += c;
    return text;
}

int FakeProcess::liveBlocks() const
{
    int live = 0;
    for (const auto& [at, block] : blocks_)
        live += block.own ? 0 : 1;
    return live;
}

RemoteAddress FakeProcess::fromParam(std::intptr_t lParam) const
{
    const auto value = static_cast<std::uintptr_t>(lParam);
    return pointerBytes == 4 ? RemoteAddress{static_cast<std::uint32_t>(value)} : RemoteAddress{value};
}

} // namespace quorvel
