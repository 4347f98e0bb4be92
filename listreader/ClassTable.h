// The class names Quorvel knows a control by: one row per name, no code.
#pragma once

#include "listreader/ControlClass.h"

#include <span>
#include <string_view>

namespace quorvel {

struct ClassRow {
    std::u16string_view name;
    ControlClass kind;
    bool systemStyles;
};

// Every known name, without a framework's decoration around it.
std::span<const ClassRow> classTable();

// The known exceptions to Windows' convention for a list's own state images
// (1 unchecked, 2 checked, 3 partly checked): the classes of the top-level
// windows of programs whose state images mean something else.
std::span<const std::u16string_view> stateImageExceptions();

} // namespace quorvel
