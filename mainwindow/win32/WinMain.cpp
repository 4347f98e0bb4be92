#include "mainwindow/win32/MainWindow.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
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
    return static_cast<int>(msg.wParam);
}
