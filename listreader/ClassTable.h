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

} // namespace quorvel
