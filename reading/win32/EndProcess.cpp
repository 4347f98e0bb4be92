#include "reading/win32/EndProcess.h"

#include "reading/ReadingThread.h"

#include <windows.h>

namespace quorvel {

int endProcess(int code)
{
    // Neither ExitProcess nor a return from main: both run the detach code of
    // COM's libraries under a thread still inside one of their calls.
    if (ReadingThread::workersLeft() > 0)
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
    return code;
}

} // namespace quorvel
