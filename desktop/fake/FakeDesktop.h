// An in-memory desktop for native tests: windows with styles, texts, list
// items and rectangles; messages answered like a list box, combo box,
// ComboBoxEx, list view, header, tree view, tab control, status bar or
// toolbar of a 32-bit or 64-bit process, or by a hook;
// frame paints recorded per window.
#pragma once

#include "desktop/Desktop.h"
#include "desktop/fake/FakeProcess.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace quorvel {

enum class FakeKind {
    other,
    edit,
    listBox,
    comboBox,
    comboBoxEx,
    listView,
    treeView,
    header,
    tabControl,
    statusBar,
    toolbar
};

struct FakeTreeItem {
    std::u16string text;
    int parent = -1; // index of the parent item, -1 at the top
};

struct FakeWindow {
    FakeKind kind = FakeKind::other;
    std::int32_t style = 0;
    std::u16string text; // a top-level window's title
    // Where it stands in the tree of windows: its control id, whether it is
    // shown, and among top-level windows its place, topmost first (then by handle).
    std::int32_t id = 0;
    bool visible = true, cloaked = false;
    int z = 0;
    // An edit field's selection, and its first line shown, as the edit control keeps them: setting the text
    // resets both, replacing the selection puts the caret after what replaced it and scrolls to the caret's
    // line. Past textLimit characters a field takes no more: a replace puts in what fits.
    std::pair<std::size_t, std::size_t> selection;
    int firstLine = 0;
    std::size_t textLimit = SIZE_MAX;
    int repaints = 0; // painting turned on again
    bool enabled = true;
    Rect rect;
    // Of a list, combo box, tab control, standalone header, status bar or toolbar;
    // marked: a toolbar's separators, a status bar's owner-drawn parts.
    std::vector<std::u16string> items;
    std::set<std::size_t> marked;
    bool simple = false; // a status bar in simple mode shows text alone
    // Empty: the system's class name for the kind.
    std::u16string className;
    WindowHandle parent = 0;
    int process = 0; // key of FakeDesktop::processes
    // A list view: cells by row, its columns and the order they are shown
    // in (empty: index order), and its header window.
    std::vector<std::vector<std::u16string>> rows;
    std::int32_t columns = 1;
    std::vector<std::int32_t> columnOrder;
    std::vector<std::u16string> columnNames; // by index; missing ones are empty
    WindowHandle header = 0;
    // Items' state bits by index (0x2 selected, a state image in bits 12 to 15); the first selected is current.
    std::map<std::size_t, std::uint32_t> states;
    std::uint32_t exStyle = 0; // a list view's extended style
    bool stateImageList = false;
    // A tree view's items, parents before their children, siblings in order.
    std::vector<FakeTreeItem> tree;
    // Raised by setWindowText, as an edit control sends EN_CHANGE.
    std::function<void()> onChange;
    // When set, answers every message in place of the default behaviour;
    // returning nullopt falls back to it.
    std::function<std::optional<MessageResult>(unsigned, std::uintptr_t, std::intptr_t)> hook;
};

class FakeDesktop : public Desktop {
public:
    FakeWindow& add(WindowHandle h, FakeKind kind = FakeKind::other);
    FakeWindow& window(WindowHandle h) { return windows_.at(h); }
    void destroy(WindowHandle h) { windows_.erase(h); }

    // Pointer, keys and hit testing.
    Point cursor;
    bool cursorFails = false;
    std::map<int, std::int16_t> keyStates;
    std::function<WindowHandle(Point)> hitTest = [](Point) { return WindowHandle{0}; };

    // Records.
    std::vector<unsigned> sentMessages;
    int stateQuestions = 0;              // messages that asked for items' states
    std::vector<WindowHandle> paints;    // one entry per inverting Rectangle
    std::map<WindowHandle, bool> framed; // true while an odd number of paints
    std::map<std::pair<WindowHandle, unsigned>, unsigned> timers;
    std::map<int, FakeProcess> processes;
    FakeProcess& process(int id) { return processes.try_emplace(id).first->second; }
    // Quorvel's open process handles and unfreed blocks, over all processes.
    int liveProcessHandles() const;
    int liveRemoteBlocks() const;
    // The handle a tree view gives its item at index i.
    RemoteAddress treeItem(WindowHandle tree, std::size_t i);
    NumberFormat userNumberFormat;
    int liveGdiObjects = 0;
    int liveDCs = 0;

    bool getCursorPos(Point& p) override;
    WindowHandle windowFromPoint(Point p) override { return hitTest(p); }
    std::int16_t getAsyncKeyState(int vk) override;
    std::int32_t getWindowLong(WindowHandle w, std::int32_t index) override;
    void setWindowLong(WindowHandle w, std::int32_t index, std::int32_t value) override;
    bool getWindowRect(WindowHandle w, Rect& r) override;
    MessageResult sendMessage(WindowHandle w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    MessageResult fetchText(WindowHandle w, unsigned msg, std::uintptr_t index, std::size_t capacity,
                            std::u16string& text) override;
    bool isWindow(WindowHandle w) override { return windows_.count(w) == 1; }
    std::u16string className(WindowHandle w) override;
    WindowHandle parentWindow(WindowHandle w) override;
    RemoteProcess openProcess(WindowHandle w) override;
    void closeProcess(const RemoteProcess& p) override;
    RemoteAddress allocRemote(const RemoteProcess& p, std::size_t bytes) override;
    void freeRemote(const RemoteProcess& p, RemoteAddress a) override;
    bool writeRemote(const RemoteProcess& p, RemoteAddress a, const void* data, std::size_t bytes) override;
    bool readRemote(const RemoteProcess& p, RemoteAddress a, void* data, std::size_t bytes) override;
    std::u16string getWindowText(WindowHandle w) override;
    void setWindowText(WindowHandle w, const std::u16string& text) override;
    std::pair<std::size_t, std::size_t> getSelection(WindowHandle w) override;
    void setSelection(WindowHandle w, std::size_t start, std::size_t end) override;
    bool replaceSelection(WindowHandle w, const std::u16string& text) override;
    std::size_t textLength(WindowHandle w) override { return getWindowText(w).size(); }
    int firstVisibleLine(WindowHandle w) override;
    void scrollLines(WindowHandle w, int lines) override;
    void setRedraw(WindowHandle w, bool redraw) override;
    bool isWindowEnabled(WindowHandle w) override;
    void enableWindow(WindowHandle w, bool enable) override;
    // Six pixels a character, and the format set below.
    int textWidth(WindowHandle, const std::u16string& text) override { return 6 * static_cast<int>(text.size()); }
    NumberFormat numberFormat() override { return userNumberFormat; }
    void setTimer(WindowHandle owner, unsigned id, unsigned ms) override;
    void killTimer(WindowHandle owner, unsigned id) override;
    bool setClipboardText(WindowHandle, const std::u16string& text) override;
    std::u16string clipboard;
    bool clipboardRefuses = false;
    // The tree of windows: every window without a parent is a top-level one,
    // and children are enumerated by handle, depth first.
    std::vector<WindowHandle> topWindows() override;
    std::vector<WindowHandle> childWindows(WindowHandle top) override;
    std::u16string windowTitle(WindowHandle w) override { return getWindowText(w); }
    std::int32_t controlId(WindowHandle w) override;
    bool visible(WindowHandle w) override;
    bool cloaked(WindowHandle w) override;
    std::uint32_t processId(WindowHandle w) override;
    ProgramFacts program(std::uint32_t processId) override;
    GdiHandle getWindowDC(WindowHandle w) override;
    void releaseDC(WindowHandle w, GdiHandle dc) override;
    GdiHandle createRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    GdiHandle createPen(int style, int width, std::uint32_t colour) override;
    GdiHandle getStockObject(int object) override;
    GdiHandle selectObject(GdiHandle dc, GdiHandle object) override;
    int setROP2(GdiHandle dc, int mode) override;
    void rectangle(GdiHandle dc, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
    void deleteObject(GdiHandle object) override;

private:
    struct Gdi {
        enum class Type { region, pen, brush } type;
        Rect bounds;
        int penWidth = 0;
    };
    struct DC {
        WindowHandle window = 0;
        int rop2 = 13; // R2_COPYPEN
        GdiHandle region = 0, pen = 0, brush = 0;
    };
    MessageResult listMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    MessageResult listViewMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    MessageResult treeViewMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    MessageResult comboBoxExMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    MessageResult barMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);
    FakeProcess* processOf(const RemoteProcess& p);
    std::optional<MessageResult> stateMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

    std::map<WindowHandle, FakeWindow> windows_;
    std::map<GdiHandle, Gdi> objects_;
    std::map<GdiHandle, DC> dcs_;
    GdiHandle next_ = 0x100;
};

} // namespace quorvel
