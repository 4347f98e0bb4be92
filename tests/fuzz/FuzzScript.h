// The fuzzer's input read as a script of a target's answers: bytes, and
// numbers weighted towards the values that break readers.
#pragma once

#include <cstddef>
#include <cstdint>

struct FuzzScript {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    std::uint8_t byte() { return at < size ? data[at++] : 0xFF; }
    bool exhausted() const { return at >= size; }
    std::int32_t number()
    {
        switch (byte() % 8) {
        case 0:
            return -1;
        case 1:
            return INT32_MIN;
        case 2:
            return INT32_MAX;
        case 3:
            return 0;
        default: {
            std::int32_t v = byte();
            return byte() & 1 ? v * 300 : v;
        }
        }
    }
};
