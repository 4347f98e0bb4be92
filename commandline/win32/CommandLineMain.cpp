#include "commandline/win32/CommandLineMain.h"

#include "commandline/win32/StandardOutput.h"
#include "desktop/win32/Win32Accessible.h"
#include "desktop/win32/Win32Desktop.h"
#include "reading/win32/EndProcess.h"

#include <atomic>
#include <vector>

namespace quorvel {

namespace {

std::atomic<bool> interrupted{false};
// Set once the read is over and the target holds nothing of Quorvel's.
HANDLE readOver = nullptr;

// Ctrl+C and Ctrl+Break cancel the read, which stops before its next message
// and frees what it holds in the target. Closing the console ends the process
// once this returns, so that waits (within the system's grace period) for the
// read to end first.
BOOL WINAPI onConsoleControl(DWORD event)
{
    interrupted = true;
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && readOver)
        ::WaitForSingleObject(readOver, Win32Desktop::messageTimeoutMs + 1000);
    return TRUE;
}

class InterruptibleRead : public ReadControl {
public:
    bool cancelled() override { return interrupted; }
    void progress(Listing&) override {}
};

} // namespace

int commandLineMain(int argc, wchar_t** argv)
{
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    readOver = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
    Win32Desktop desktop;
    StandardOutput output;
    InterruptibleRead control;
    Win32AccessibleWindows accessible;
    const int code = runCommandLine(args, desktop, output, control, &accessible);
    if (readOver)
        ::SetEvent(readOver);
    // Everything written is written; a read given up may still use what is here.
    return endProcess(code);
}

} // namespace quorvel
