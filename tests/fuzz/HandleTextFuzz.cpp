// Any text pasted into the handle field: reading never fails, and the
// written-back form always reads back as the same value.
#include "handle/HandleText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const double value = quorvel::handleTextValue(text);
    if (value != value)
        __builtin_trap(); // no text reads as NaN
    const std::u16string normal = quorvel::formatHandleTextValue(value);
    if (quorvel::handleTextValue(normal) != value || normal.empty())
        __builtin_trap();
    if (quorvel::formatHandleTextValue(quorvel::handleTextValue(normal)) != normal)
        __builtin_trap();
    return 0;
}
