// The command line on Windows, for both programs: the console twin's wmain
// and the window's WinMain when it is given arguments.
#pragma once

namespace quorvel {

// argv as the C runtime hands it over, the program's name first. Returns the
// exit code.
int commandLineMain(int argc, wchar_t** argv);

} // namespace quorvel
