// The list a --read selector names, looked for once or, with --wait, again
// every 250 ms until one is found or the time is up.
#pragma once

#include "commandline/Arguments.h"
#include "desktop/Desktop.h"
#include "finding/Waiting.h"
#include "listreader/Reading.h"

#include <optional>

namespace quorvel {

struct ReadTarget {
    // Set when there is nothing to read: the exit code, the line that says
    // why, and where several lists match, a selector for each.
    std::optional<int> exitCode;
    std::u16string line;
    std::vector<std::u16string> matches;
    // Else what to read: the window, and of the lists it tells through
    // accessibility, the one at this place (0: a control).
    WindowHandle handle = 0;
    std::size_t number = 0;
};

ReadTarget findReadTarget(const ReadRequest& request, Desktop& desktop, ReadControl& control,
                          AccessibleWindows* accessible, std::uint32_t boundMs, Clock& clock);

} // namespace quorvel
