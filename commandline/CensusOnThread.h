// The names of the lists a window tells through accessibility, asked as a
// read asks them: on a thread of its own, given up after the bound when its
// program stops answering in a call that has no time limit.
#pragma once

#include "finding/Survey.h"
#include "listreader/Reading.h"

namespace quorvel {

class CensusOnThread : public AccessibleCensus {
public:
    // accessible: none, and no window tells any list.
    CensusOnThread(OtherWindows& desktop, AccessibleWindows* accessible, ReadControl& control, std::uint32_t boundMs)
        : desktop_(desktop), accessible_(accessible), control_(control), boundMs_(boundMs)
    {
    }
    // A census given up leaves its thread in a call to another program
    // (ReadingThread::workersLeft).
    Answer listNames(WindowHandle window, std::vector<std::u16string>& names) override;

private:
    OtherWindows& desktop_;
    AccessibleWindows* accessible_;
    ReadControl& control_;
    std::uint32_t boundMs_;
};

} // namespace quorvel
