// The main window's logic: its handlers, run by the window procedure.
#pragma once

#include "desktop/Desktop.h"
#include "desktop/Timer.h"
#include "mainwindow/ReadController.h"

namespace quorvel {

// Flips ES_NUMBER, so a field without it takes typed digits only.
void NumbersOnlyTextBox(Desktop& desktop, WindowHandle& hWnd);

class MainForm {
public:
    struct Handles {
        WindowHandle form = 0, txtWnd = 0, txtList = 0, frame2 = 0;
    };
    static constexpr unsigned hotkeyTimerId = 1;
    static constexpr unsigned hotkeyTimerInterval = 200;

    MainForm(Desktop& desktop, Handles handles, ReadRunner& runner);

    void Form_Load();
    void txtWnd_Change();
    void txtWnd_LostFocus();
    void CmdCapture_Click();
    void HotkeyTimer_Timer();

    Timer& hotkeyTimer() { return hotkeyTimer_; }
    ReadController& reads() { return reads_; }
    WindowHandle hWndLast() const { return hWndLast_; }

private:
    Desktop& desktop_;
    Handles handles_;
    Timer hotkeyTimer_;
    ReadController reads_;
    WindowHandle hWndLast_ = 0;
    // Where F12 captured the handle being written: the read takes the list under it.
    std::optional<Point> capturedAt_;
};

} // namespace quorvel
