#include "mainwindow/win32/MainWindow.h"

#include "mainwindow/win32/Dpi.h"

#include <commctrl.h>
#include <windowsx.h>

namespace quorvel {

namespace {

constexpr wchar_t className[] = L"QuorvelMainWindow";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExStyle = 0;
constexpr int iconResource = 1;
// The system menu's "Copy command line": below the system's own commands,
// whose low four bits the system keeps.
constexpr UINT copyCommandLineId = 0x0100;
// The largest text an edit control holds on NT: a 100,000-item list fits.
constexpr LPARAM listTextLimit = 0x7FFFFFFE;
// How long a window closed mid-read waits for the read to free what it holds
// in the target: the read stops at its next message, so as long as one
// message may take, and a margin; a thread stuck past that does not keep
// the process.
constexpr DWORD closeWaitMs = Win32Desktop::messageTimeoutMs + 500;

const wchar_t* wide(const char16_t* s)
{
    return reinterpret_cast<const wchar_t*>(s);
}

struct Style {
    const wchar_t* windowClass;
    DWORD style, exStyle;
};

Style styleOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::groupFrame:
        return {WC_BUTTONW, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::singleLineText:
        return {WC_EDITW, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::multiLineText:
        // Read-only keeps the text selectable and copyable.
        return {WC_EDITW, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                WS_EX_CLIENTEDGE};
    case ControlKind::pushButton:
        return {WC_BUTTONW, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0};
    }
    return {};
}

std::size_t indexOf(ControlId id)
{
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].id == id)
            return i;
    return controls.size();
}

// A group box sends nothing on to its parent, so the fields inside it would
// notify nobody; this passes their notifications up to the main window.
LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
    default:
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }
}

bool canFocus(ControlId id, void* context)
{
    HWND control = ::GetDlgItem(::GetDlgItem(static_cast<HWND>(context), id == idTxtList ? idFrame2 : idFrame1), id);
    return control && ::IsWindowEnabled(control) && ::IsWindowVisible(control);
}

} // namespace

HWND MainWindow::create(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconResource), IMAGE_ICON, 32, 32, 0));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconResource), IMAGE_ICON, 16, 16, 0));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!::RegisterClassExW(&wc))
        return nullptr;

    const SIZE size =
        windowSizeForClient(twipsToPixels(clientWidthTwips, systemDpi()), twipsToPixels(clientHeightTwips, systemDpi()),
                            windowStyle, windowExStyle, systemDpi());
    auto* self = new MainWindow;
    HWND hwnd = ::CreateWindowExW(windowExStyle, className, wide(formCaption), windowStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, self);
    if (!hwnd) {
        delete self;
        return nullptr;
    }
    ::ShowWindow(hwnd, showCommand);
    ::SetFocus(::GetDlgItem(::GetDlgItem(hwnd, idFrame1), idTxtWnd));
    return hwnd;
}

bool MainWindow::handleKeyboard(HWND mainWindow, const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.hwnd != mainWindow && !::IsChild(mainWindow, msg.hwnd)))
        return false;
    if (msg.wParam == VK_ESCAPE) {
        auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
        if (self && self->form_)
            self->form_->reads().cancel();
        return true;
    }
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    if (msg.wParam == VK_F5 || msg.wParam == 'C') {
        auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
        if (self && self->form_ &&
            self->form_->Form_KeyDown(static_cast<int>(msg.wParam), control, ::GetKeyState(VK_SHIFT) < 0))
            return true;
    }
    if (msg.wParam == 'A' && control) {
        // Edit controls have no select-all key of their own on older Windows.
        const auto id = ::GetDlgCtrlID(msg.hwnd);
        if (id != idTxtWnd && id != idTxtList)
            return false;
        ::SendMessageW(msg.hwnd, EM_SETSEL, 0, -1);
        return true;
    }
    if (msg.wParam != VK_TAB || control)
        return false;
    const bool backwards = ::GetKeyState(VK_SHIFT) < 0;
    const auto current = static_cast<ControlId>(::GetDlgCtrlID(::GetFocus()));
    const ControlId next = nextInTabOrder(current, backwards, canFocus, mainWindow);
    HWND target = ::GetDlgItem(::GetDlgItem(mainWindow, next == idTxtList ? idFrame2 : idFrame1), next);
    if (target) {
        ::SetFocus(target);
        if (next == idTxtWnd || next == idTxtList)
            ::SendMessageW(target, EM_SETSEL, 0, -1); // as a dialog selects a field it tabs into
    }
    return true;
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<LPCREATESTRUCTW>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete self;
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return self->handle(hwnd, msg, wParam, lParam);
}

LRESULT MainWindow::handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
        HANDLE_MSG(hwnd, WM_COMMAND, OnCommand);
        HANDLE_MSG(hwnd, WM_TIMER, OnTimer);
        HANDLE_MSG(hwnd, WM_CLOSE, OnClose);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, OnCtlColorStatic);
        HANDLE_MSG(hwnd, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
        HANDLE_MSG(hwnd, WM_INITMENUPOPUP, OnInitMenuPopup);
        HANDLE_MSG(hwnd, WM_SYSCOMMAND, OnSysCommand);
    case WM_DPICHANGED:
        OnDpiChanged(hwnd, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case ThreadReadRunner::wakeMessage:
        OnReadWake(static_cast<std::uint64_t>(wParam));
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

BOOL MainWindow::OnCreate(HWND hwnd, LPCREATESTRUCTW create)
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlDef& def = controls[i];
        const Style style = styleOf(def.kind);
        HWND parent = def.parent == idNone ? hwnd : controls_[indexOf(def.parent)];
        controls_[i] =
            ::CreateWindowExW(style.exStyle, style.windowClass, wide(def.caption), style.style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), create->hInstance, nullptr);
        if (!controls_[i])
            return FALSE;
        if (def.kind == ControlKind::groupFrame)
            ::SetWindowSubclass(controls_[i], frameProc, 0, 0);
        if (def.maxLength)
            ::SendMessageW(controls_[i], EM_LIMITTEXT, def.maxLength, 0);
    }
    HWND txtList = controls_[indexOf(idTxtList)];
    ::SendMessageW(txtList, EM_SETLIMITTEXT, listTextLimit, 0);
    applyLayout(hwnd, windowDpi(hwnd));

    runner_ = std::make_unique<ThreadReadRunner>(desktop_, hwnd);
    form_ = std::make_unique<MainForm>(desktop_,
                                       MainForm::Handles{fromHwnd(hwnd), fromHwnd(controls_[indexOf(idTxtWnd)]),
                                                         fromHwnd(txtList), fromHwnd(controls_[indexOf(idFrame2)])},
                                       *runner_);
    form_->Form_Load();
    HMENU menu = ::GetSystemMenu(hwnd, FALSE);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | MF_GRAYED, copyCommandLineId, L"Copy command line\tCtrl+Shift+C");
    return TRUE;
}

void MainWindow::OnInitMenuPopup(HWND, HMENU menu, UINT, BOOL systemMenu)
{
    if (systemMenu && form_)
        ::EnableMenuItem(menu, copyCommandLineId,
                         MF_BYCOMMAND | (form_->mnuCopyCommandLine_Enabled() ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::OnSysCommand(HWND hwnd, UINT command, int x, int y)
{
    if ((command & 0xFFF0) == copyCommandLineId && form_)
        form_->mnuCopyCommandLine_Click();
    else
        FORWARD_WM_SYSCOMMAND(hwnd, command, x, y, ::DefWindowProcW);
}

void MainWindow::OnCommand(HWND, int id, HWND, UINT code)
{
    if (!form_)
        return;
    if (id == idTxtWnd && code == EN_CHANGE)
        form_->txtWnd_Change();
    else if (id == idTxtWnd && code == EN_KILLFOCUS)
        form_->txtWnd_LostFocus();
    else if (id == idCmdCapture && code == BN_CLICKED)
        form_->CmdCapture_Click();
    else if (id == idTxtList && code == EN_ERRSPACE)
        desktop_.fieldOutOfSpace();
}

void MainWindow::OnClose(HWND hwnd)
{
    if (form_ && runner_ && form_->reads().reading()) {
        // Gone from the screen at once; the process ends once the read has
        // freed what it holds in the target.
        form_->reads().cancel();
        ::ShowWindow(hwnd, SW_HIDE);
        runner_->waitLetGo(closeWaitMs);
    }
    ::DestroyWindow(hwnd);
}

void MainWindow::OnReadWake(std::uint64_t read)
{
    if (runner_ && form_)
        runner_->woken(read, form_->reads());
}

void MainWindow::OnTimer(HWND, UINT id)
{
    if (id == ThreadReadRunner::pollTimerId && runner_ && form_)
        runner_->polled(form_->reads());
    else if (form_ && id == MainForm::hotkeyTimerId && form_->hotkeyTimer().enabled())
        form_->HotkeyTimer_Timer();
}

HBRUSH MainWindow::OnCtlColorStatic(HWND hwnd, HDC dc, HWND control, int)
{
    // The read-only item field keeps the look of a field one can select in.
    if (control == controls_[indexOf(idTxtList)]) {
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        return ::GetSysColorBrush(COLOR_WINDOW);
    }
    return FORWARD_WM_CTLCOLORSTATIC(hwnd, dc, control, ::DefWindowProcW);
}

void MainWindow::OnActivate(HWND, UINT state, HWND, BOOL minimized)
{
    // Like a dialog: the field that had the focus gets it back.
    if (state == WA_INACTIVE)
        lastFocus_ = ::GetFocus();
    else if (!minimized && lastFocus_ && ::IsWindow(lastFocus_))
        ::SetFocus(lastFocus_);
}

void MainWindow::OnDpiChanged(HWND hwnd, UINT dpi, const RECT* suggested)
{
    applyLayout(hwnd, dpi);
    const SIZE size = windowSizeForClient(twipsToPixels(clientWidthTwips, dpi), twipsToPixels(clientHeightTwips, dpi),
                                          windowStyle, windowExStyle, dpi);
    ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::applyLayout(HWND hwnd, UINT dpi)
{
    HFONT font =
        ::CreateFontW(fontHeight(dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wide(fontFace));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const PixelRect r = layout(controls[i].twips, static_cast<int>(dpi));
        ::SetWindowPos(controls_[i], nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowFont(controls_[i], font, TRUE);
    }
    SetWindowFont(hwnd, font, FALSE);
    if (font_)
        ::DeleteObject(font_);
    font_ = font;
}

void MainWindow::OnDestroy(HWND)
{
    if (font_)
        ::DeleteObject(font_);
    font_ = nullptr;
    ::PostQuitMessage(0);
}

} // namespace quorvel
