// The memory of a fake process: blocks at addresses of a 32-bit or 64-bit
// process, with every allocation Quorvel makes counted until it is freed.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quorvel {

class FakeProcess {
public:
    explicit FakeProcess(int pointerBytes = 8);

    int pointerBytes;
    bool openable = true;
    bool accessDenied = false; // not openable, and the system says it refused
    bool allocFails = false;
    int openHandles = 0;
    // What the system tells of it: its program's path, or that it won't.
    std::u16string path = u"C:\\Program Files\\Fake\\fake.exe";
    bool queryDenied = false;
    int allocations = 0;

    RemoteAddress alloc(std::size_t bytes, bool own = false);
    bool free(RemoteAddress at);
    bool write(RemoteAddress at, const void* data, std::size_t bytes);
    bool read(RemoteAddress at, void* data, std::size_t bytes) const;

    // Text of the process's own, as a control might point at instead of
    // filling the caller's buffer.
    RemoteAddress plantText(const std::u16string& text);
    std::u16string textAt(RemoteAddress at, std::size_t maxChars) const;

    // Blocks Quorvel allocated and has not freed.
    int liveBlocks() const;

    // An address as a message parameter reaches this process: a 32-bit
    // process sees only the low half.
    RemoteAddress fromParam(std::intptr_t lParam) const;

private:
    struct Block {
        std::vector<std::uint8_t> bytes;
        bool own = false;
    };
    const Block* find(RemoteAddress at, std::size_t bytes, RemoteAddress& offset) const;

    std::map<RemoteAddress, Block> blocks_;
    RemoteAddress next_;
};

} // namespace quorvel
