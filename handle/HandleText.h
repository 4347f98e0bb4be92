// The numeric value of the handle field's text, and its written-back form.
#pragma once

#include "desktop/Desktop.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Reads a number from the start of text and stops at the first character that
// cannot continue it; text that does not start with a number is 0. Besides
// decimal digits it takes what a paste can bring: leading blanks, a sign, a
// decimal point, an exponent, and hexadecimal after "0x" or "&H".
double handleTextValue(std::u16string_view text);

// Plain decimal digits for a whole number; otherwise the shortest text that
// handleTextValue reads back as the same value.
std::u16string formatHandleTextValue(double value);

// The target handle named by a handle text value: rounded half to even, and
// nothing for a value that is not positive or that no 32-bit handle holds.
std::optional<WindowHandle> targetHandle(double handleTextValue);

} // namespace quorvel
