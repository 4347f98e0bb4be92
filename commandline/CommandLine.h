// Quorvel without its window: one read of the list named on the command
// line, written as text, CSV or JSON, and an exit code that says how it went.
#pragma once

#include "desktop/Desktop.h"
#include "listreader/Reading.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

namespace exitcode {
constexpr int complete = 0;      // the whole list, an empty one included
constexpr int badArguments = 1;  // or output that can't be written
constexpr int nothingToRead = 2; // no window, no list in it, or access denied
constexpr int partial = 3;       // part of the list: stopped early, or items that could not be read
constexpr int ambiguous = 4;     // more than one list matches the selector: nothing read
} // namespace exitcode

// Where the command line's results go. The listing goes to a file or to
// standard output; a file is written beside its place first and put there
// only once whole, so an existing one is replaced only then.
class CommandOutput {
public:
    virtual ~CommandOutput() = default;
    // Makes sure the listing can go where it is to go, before the read
    // starts. False, with why, when it can't.
    virtual bool prepare(const std::optional<std::u16string>& file, std::u16string& why) = 0;
    // Whether the listing goes to standard output, which takes it in parts
    // as it is read; a file takes it whole, once.
    virtual bool streams() const = 0;
    // The listing, or (streaming) its next part; for a file, puts it in
    // place. False, with why, when it could not be written whole.
    virtual bool write(std::u16string_view listing, std::u16string& why) = 0;
    // No listing will come: nothing is left behind.
    virtual void abandon() = 0;
    virtual void printOut(std::u16string_view text) = 0;
    virtual void printError(std::u16string_view text) = 0;
};

// args: the arguments after the program's name. desktop: where lists are
// found and read. control may cancel the read (Ctrl+C; asked on the reading
// thread), which then ends like a partial one. accessible: where lists that
// only accessibility tells are found (none: not read). The read runs on the
// reading thread; one inside a call for longer than boundMs is given up and
// ends like a partial one, its thread left out (ReadingThread::workersLeft):
// end the process without tearing it down.
int runCommandLine(std::span<const std::u16string> args, Desktop& desktop, CommandOutput& output, ReadControl& control,
                   AccessibleWindows* accessible = nullptr, std::uint32_t boundMs = answerBoundMs);

} // namespace quorvel
