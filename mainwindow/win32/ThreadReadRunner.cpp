#include "mainwindow/win32/ThreadReadRunner.h"

#include "desktop/win32/Win32Accessible.h"
#include "desktop/win32/Win32Desktop.h"

namespace quorvel {

namespace {

// For the whole process: a worker given up may still use it after the window has gone.
Win32AccessibleWindows accessible;

} // namespace

ThreadReadRunner::ThreadReadRunner(OwnWindow& own, HWND window)
    : ThreadedReads(
          own, fromHwnd(window), [] { return std::make_shared<Win32Desktop>(); }, &accessible,
          [window](std::uint64_t read) {
              return ::PostMessageW(window, wakeMessage, static_cast<WPARAM>(read), 0) != FALSE;
          })
{
}

} // namespace quorvel
