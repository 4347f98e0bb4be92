#include "commandline/win32/CommandLineMain.h"
#include "mainwindow/win32/MainWindow.h"
#include "reading/win32/EndProcess.h"

#include <windows.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // Given arguments, Quorvel reads without a window and writes to the
    // standard handles it was given.
    if (__argc > 1)
        return quorvel::commandLineMain(__argc, __wargv);
    HWND mainWindow = quorvel::MainWindow::create(instance, showCommand);
    if (!mainWindow)
        return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (quorvel::MainWindow::handleKeyboard(mainWindow, msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return quorvel::endProcess(static_cast<int>(msg.wParam));
}
