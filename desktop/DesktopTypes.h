// The values the window-system interfaces trade in: handles, points,
// rectangles, the answer of a bounded message, another window's process.
// Free of <windows.h>, so the logic above builds and runs natively.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

// A window handle as the user sees it: 32-bit signed, 0 names no window.
// Windows keeps only the low 32 bits of a handle meaningful, on x64 as well.
using WindowHandle = std::int32_t;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The answer of a message sent with a bounded wait. delivered is false when
// the target did not answer in time, is hung, or no longer exists; denied
// when the system would not deliver it (a target with higher rights).
struct MessageResult {
    bool delivered = false;
    std::intptr_t answer = 0;
    bool denied = false;
};

// Another window's process, opened for reading and writing its memory.
// pointerBytes is the size of a pointer in that process (4 or 8), which sets
// the layout of every structure handed to its controls.
struct RemoteProcess {
    std::uintptr_t handle = 0; // 0: the process could not be opened
    int pointerBytes = 0;
    bool denied = false; // not opened because the system refused access
};

// The user's way of writing numbers: the digit group separator and the
// group sizes as the locale states them ("3;0", or "3;2;0" in India).
struct NumberFormat {
    std::u16string separator = u",";
    std::u16string grouping = u"3;0";
};

// The longest Quorvel waits for another program to answer one message: long
// enough for a busy target, short enough that a stuck one never leaves it
// frozen for more than a moment. Calls with no time limit of their own are
// given up after as long.
constexpr std::uint32_t answerBoundMs = 2000;

// An address in another process; 64 bits wide whatever the reader's own size.
using RemoteAddress = std::uint64_t;

} // namespace quorvel
