// The command line's read, on a thread of its own: questions to accessible
// objects have no time limit, and the main thread must stay free to give up
// a read that waits longer than a message may take. It gets the listing when
// the read ends; when it gives the read up instead, it gets a copy of every
// row the read had made, ended not answering, and the thread is left where it
// is: the process must then end without tearing down what that thread holds.
#pragma once

#include "listreader/ListItemReader.h"

namespace quorvel {

struct ThreadedRead {
    Listing listing;
    bool givenUp = false;
};

// control is not called once the read is given up.
ThreadedRead readOnThread(OtherWindows& desktop, WindowHandle target, ReadControl& control, const ReadOptions& options,
                          std::uint32_t boundMs = answerBoundMs);

} // namespace quorvel
