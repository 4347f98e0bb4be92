// The main window on Windows: creates the controls from their table, lays
// them out for the window's DPI and hands each event to MainForm.
#pragma once

#include "desktop/win32/Win32Desktop.h"
#include "mainwindow/Controls.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/win32/ThreadReadRunner.h"

#include <memory>
#include <windows.h>

namespace quorvel {

class MainWindow {
public:
    static HWND create(HINSTANCE instance, int showCommand);
    // Tab and Shift+Tab in the controls' own order, Ctrl+A in the fields, and
    // anywhere in the window Esc to stop a read, F5 to read the last list
    // again and Ctrl+Shift+C to copy its command line; true when msg was one of them.
    static bool handleKeyboard(HWND mainWindow, const MSG& msg);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    BOOL OnCreate(HWND hwnd, LPCREATESTRUCTW create);
    void OnCommand(HWND hwnd, int id, HWND control, UINT code);
    void OnTimer(HWND hwnd, UINT id);
    void OnClose(HWND hwnd);
    void OnReadWake(std::uint64_t read);
    HBRUSH OnCtlColorStatic(HWND hwnd, HDC dc, HWND control, int type);
    void OnActivate(HWND hwnd, UINT state, HWND other, BOOL minimized);
    void OnDpiChanged(HWND hwnd, UINT dpi, const RECT* suggested);
    void OnInitMenuPopup(HWND hwnd, HMENU menu, UINT item, BOOL systemMenu);
    void OnSysCommand(HWND hwnd, UINT command, int x, int y);
    void OnDestroy(HWND hwnd);

    void applyLayout(HWND hwnd, UINT dpi);

    Win32Desktop desktop_;
    std::unique_ptr<ThreadReadRunner> runner_;
    std::unique_ptr<MainForm> form_;
    HWND controls_[controls.size()] = {};
    HFONT font_ = nullptr;
    HWND lastFocus_ = nullptr;
};

} // namespace quorvel
