// The command line that reads a list the window read, for a script: a
// selector the overview would print for it, found without a message to any
// program, or the handle where no selector names it.
#pragma once

#include "desktop/WindowTree.h"
#include "mainwindow/ReadController.h"

#include <string>

namespace quorvel {

// quorvel --read "SELECTOR", or quorvel --read HANDLE.
std::u16string commandLineFor(WindowTree& tree, const ReadFound& found);

} // namespace quorvel
