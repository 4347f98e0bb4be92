// What --version prints: the program, its version and whether this build is
// the 32-bit or the 64-bit one, for a bug report or a script that checks it.
#pragma once

#include <string>

namespace quorvel {

// "Quorvel 1.00 (64-bit)", with no line end.
std::u16string versionLine();

} // namespace quorvel
