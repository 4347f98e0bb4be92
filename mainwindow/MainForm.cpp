#include "mainwindow/MainForm.h"

#include "handle/HandleText.h"
#include "mainwindow/CommandLineCopy.h"
#include "picking/Tracking.h"

#include <utility>

namespace quorvel {

void NumbersOnlyTextBox(Desktop& desktop, WindowHandle& hWnd)
{
    const std::int32_t style = desktop.getWindowLong(hWnd, win::GWL_STYLE);
    desktop.setWindowLong(hWnd, win::GWL_STYLE, style ^ win::ES_NUMBER);
}

MainForm::MainForm(Desktop& desktop, Handles handles, ReadRunner& runner)
    : desktop_(desktop), handles_(handles), hotkeyTimer_(desktop, handles.form, hotkeyTimerId, hotkeyTimerInterval),
      reads_(desktop, runner, handles.txtList, handles.frame2)
{
}

void MainForm::Form_Load()
{
    NumbersOnlyTextBox(desktop_, handles_.txtWnd);
}

void MainForm::txtWnd_Change()
{
    // A value that is not positive reads nothing, and the field keeps its items.
    const double value = handleTextValue(desktop_.getWindowText(handles_.txtWnd));
    const std::optional<Point> at = std::exchange(capturedAt_, std::nullopt);
    if (value <= 0)
        return;
    const std::optional<WindowHandle> target = targetHandle(value);
    lastTarget_ = target.value_or(0);
    lastAt_.reset();
    if (Rect r; at && target && desktop_.getWindowRect(*target, r))
        lastAt_ = Point{at->x - r.left, at->y - r.top};
    reads_.read(target, at);
}

bool MainForm::Form_KeyDown(int key, bool control, bool shift)
{
    if (key == win::VK_F5 && !control && !shift) {
        std::optional<Point> at;
        if (Rect r; lastAt_ && desktop_.getWindowRect(lastTarget_, r))
            at = Point{r.left + lastAt_->x, r.top + lastAt_->y};
        if (lastTarget_)
            reads_.read(lastTarget_, at);
        return true;
    }
    if (key == 'C' && control && shift) {
        mnuCopyCommandLine_Click();
        return true;
    }
    return false;
}

void MainForm::mnuCopyCommandLine_Click()
{
    if (const std::optional<ReadFound>& found = reads_.lastFound())
        desktop_.setClipboardText(handles_.form, commandLineFor(desktop_, *found));
}

void MainForm::txtWnd_LostFocus()
{
    const std::u16string text = desktop_.getWindowText(handles_.txtWnd);
    const std::u16string normal = formatHandleTextValue(handleTextValue(text));
    // Only a real change is written, so leaving "123" does not read the list again.
    if (normal != text)
        desktop_.setWindowText(handles_.txtWnd, normal);
}

void MainForm::CmdCapture_Click()
{
    quorvel::CmdCapture_Click(desktop_, hotkeyTimer_, handles_.txtWnd);
}

void MainForm::HotkeyTimer_Timer()
{
    quorvel::HotkeyTimer_Timer(desktop_, hotkeyTimer_, handles_.txtWnd, hWndLast_, capturedAt_);
}

} // namespace quorvel
