// The command line's output on Windows: the standard handles the program was
// given, or a file. A console gets UTF-16 through WriteConsoleW, so every
// character shows whatever its code page; a file, a pipe or a redirection
// gets UTF-8 without a byte-order mark.
#pragma once

#include "commandline/CommandLine.h"

#include <windows.h>

namespace quorvel {

class StandardOutput : public CommandOutput {
public:
    StandardOutput() = default;
    ~StandardOutput() override
    {
        abandon();
        if (device_ && listing_)
            ::CloseHandle(listing_);
    }
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    bool prepare(const std::optional<std::u16string>& file, std::u16string& why) override;
    bool streams() const override { return !device_ && temporary_.empty(); }
    bool write(std::u16string_view listing, std::u16string& why) override;
    void abandon() override;
    void printOut(std::u16string_view text) override;
    void printError(std::u16string_view text) override;

private:
    // Where the listing goes: standard output, a device, or the temporary
    // file that becomes file_.
    HANDLE listing_ = nullptr;
    bool device_ = false;
    std::u16string file_, temporary_;
};

} // namespace quorvel
