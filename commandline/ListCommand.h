// --list: the overview of the lists a selector names, or of every list on
// the desktop, as text, CSV or JSON.
#pragma once

#include "commandline/Arguments.h"
#include "commandline/CommandLine.h"
#include "finding/Waiting.h"

namespace quorvel {

// The exit code; line: what went wrong, in one line (empty for nothing).
int runListCommand(const ReadRequest& request, Desktop& desktop, CommandOutput& output, ReadControl& control,
                   AccessibleWindows* accessible, std::uint32_t boundMs, Clock& clock, std::u16string& line);

} // namespace quorvel
