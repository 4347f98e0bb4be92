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
    // Keys anywhere in the window: F5 reads the last list again (the same
    // window, and of its accessible lists the one chosen then); Ctrl+Shift+C
    // copies its command line. True when the key was one of them.
    bool Form_KeyDown(int key, bool control, bool shift);
    // The system menu's "Copy command line": quorvel --read "SELECTOR" for
    // the list last read, onto the clipboard; enabled once a read found one.
    void mnuCopyCommandLine_Click();
    bool mnuCopyCommandLine_Enabled() const { return reads_.lastFound().has_value(); }

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
    // The last read asked for, and where its point lay in its window, so that
    // F5 takes the same list there wherever the window has moved since.
    WindowHandle lastTarget_ = 0;
    std::optional<Point> lastAt_;
};

} // namespace quorvel
