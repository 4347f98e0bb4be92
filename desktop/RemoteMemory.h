// The process behind a window, opened for the length of one read, with at
// most one block of its memory at a time. Both are released when this goes,
// on every path: the end of a read, a timeout, a dead target, an exception.
#pragma once

#include "desktop/OtherWindows.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

namespace quorvel {

class RemoteMemory {
public:
    // The first block is at least minBytes long, so that a read whose needs
    // grow from a small structure to a batch still allocates once.
    RemoteMemory(OtherWindows& desktop, WindowHandle window, std::size_t minBytes);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool isOpen() const { return process_.handle != 0; }
    // Not open because the system refused access to the process.
    bool denied() const { return process_.denied; }
    int pointerBytes() const { return process_.pointerBytes; }

    // The block, at least bytes long: allocated at first use, and replaced by
    // a larger one (contents lost) when it must grow. 0 when it can't be had,
    // or when its address can't be passed in a message from this process.
    RemoteAddress block(std::size_t bytes);

    bool write(RemoteAddress at, std::span<const std::uint8_t> bytes);
    bool read(RemoteAddress at, std::span<std::uint8_t> bytes);

    // The text at an address of the target's own, up to its NUL or maxChars
    // characters, read page by page so that text ending just before an
    // unreadable page still reads. nullopt when a page it runs into can't be
    // read: text cut there is not the text.
    std::optional<std::u16string> readText(RemoteAddress at, std::size_t maxChars);

    // Whether an address of the target fits a message parameter of this process.
    static bool passable(RemoteAddress a) { return a <= std::numeric_limits<std::uintptr_t>::max(); }

private:
    void release();

    OtherWindows& desktop_;
    RemoteProcess process_;
    std::size_t minBytes_;
    RemoteAddress block_ = 0;
    std::size_t blockBytes_ = 0;
};

} // namespace quorvel
