// How both programs end.
#pragma once

namespace quorvel {

// Returns code to end the process as usual, unless a reading thread is still
// out, maybe inside a call to another program and holding what that program
// lent it: the process then ends here at once, tearing none of it down.
int endProcess(int code);

} // namespace quorvel
