#include "desktop/fake/FakeDesktop.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quorvel {

namespace {
constexpr GdiHandle stockNullBrush = 0x50;
}

FakeWindow& FakeDesktop::add(WindowHandle h, FakeKind kind)
{
    FakeWindow& w = windows_[h];
    w.kind = kind;
    return w;
}

bool FakeDesktop::getCursorPos(Point& p)
{
    if (cursorFails)
        return false;
    p = cursor;
    return true;
}

std::int16_t FakeDesktop::getAsyncKeyState(int vk)
{
    // Like the real call, the "pressed since last query" bit is consumed.
    auto it = keyStates.find(vk);
    if (it == keyStates.end())
        return 0;
    std::int16_t state = it->second;
    it->second = static_cast<std::int16_t>(state & ~1);
    return state;
}

std::int32_t FakeDesktop::getWindowLong(WindowHandle w, std::int32_t index)
{
    auto it = windows_.find(w);
    return it != windows_.end() && index == win::GWL_STYLE ? it->second.style : 0;
}

void FakeDesktop::setWindowLong(WindowHandle w, std::int32_t index, std::int32_t value)
{
    auto it = windows_.find(w);
    if (it != windows_.end() && index == win::GWL_STYLE)
        it->second.style = value;
}

bool FakeDesktop::getWindowRect(WindowHandle w, Rect& r)
{
    auto it = windows_.find(w);
    if (it == windows_.end())
        return false;
    r = it->second.rect;
    return true;
}

MessageResult FakeDesktop::sendMessage(WindowHandle w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    sentMessages.push_back(msg);
    auto it = windows_.find(w);
    if (it == windows_.end())
        return {};
    FakeWindow& window = it->second;
    if (window.hook) {
        if (auto answer = window.hook(msg, wParam, lParam))
            return *answer;
    }
    if (auto answer = stateMessage(window, msg, wParam, lParam)) {
        ++stateQuestions;
        return *answer;
    }
    switch (window.kind) {
    case FakeKind::listView:
    case FakeKind::header:
        return listViewMessage(window, msg, wParam, lParam);
    case FakeKind::treeView:
        return treeViewMessage(window, msg, wParam, lParam);
    case FakeKind::comboBoxEx:
        return comboBoxExMessage(window, msg, wParam, lParam);
    case FakeKind::tabControl:
    case FakeKind::statusBar:
    case FakeKind::toolbar:
        return barMessage(window, msg, wParam, lParam);
    default:
        return listMessage(window, msg, wParam, lParam);
    }
}

MessageResult FakeDesktop::listMessage(FakeWindow& w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    const bool list = w.kind == FakeKind::listBox;
    const bool combo = w.kind == FakeKind::comboBox;
    const auto count = static_cast<std::intptr_t>(w.items.size());
    const bool inRange = wParam < w.items.size();
    if ((list && msg == win::LB_GETCOUNT) || (combo && msg == win::CB_GETCOUNT))
        return {true, count};
    if ((list && msg == win::LB_GETTEXTLEN) || (combo && msg == win::CB_GETLBTEXTLEN))
        return {true, inRange ? static_cast<std::intptr_t>(w.items[wParam].size()) : win::LB_ERR};
    if ((list && msg == win::LB_GETTEXT) || (combo && msg == win::CB_GETLBTEXT)) {
        if (!inRange)
            return {true, win::LB_ERR};
        const std::u16string& item = w.items[wParam];
        auto* out = reinterpret_cast<char16_t*>(lParam);
        std::copy(item.begin(), item.end(), out);
        out[item.size()] = u'\0';
        return {true, static_cast<std::intptr_t>(item.size())};
    }
    return {true, 0};
}

MessageResult FakeDesktop::fetchText(WindowHandle w, unsigned msg, std::uintptr_t index, std::size_t capacity,
                                     std::u16string& text)
{
    // Exactly the size asked for, so the sanitizers catch a write past it.
    std::vector<char16_t> buffer(capacity, u'\0');
    MessageResult result = sendMessage(w, msg, index, reinterpret_cast<std::intptr_t>(buffer.data()));
    text.assign(buffer.begin(), std::find(buffer.begin(), buffer.end(), u'\0'));
    return result;
}

std::u16string FakeDesktop::className(WindowHandle w)
{
    auto it = windows_.find(w);
    if (it == windows_.end())
        return {};
    if (!it->second.className.empty())
        return it->second.className;
    switch (it->second.kind) {
    case FakeKind::edit:
        return u"Edit";
    case FakeKind::listBox:
        return u"ListBox";
    case FakeKind::comboBox:
        return u"ComboBox";
    case FakeKind::comboBoxEx:
        return u"ComboBoxEx32";
    case FakeKind::listView:
        return u"SysListView32";
    case FakeKind::treeView:
        return u"SysTreeView32";
    case FakeKind::header:
        return u"SysHeader32";
    case FakeKind::tabControl:
        return u"SysTabControl32";
    case FakeKind::statusBar:
        return u"msctls_statusbar32";
    case FakeKind::toolbar:
        return u"ToolbarWindow32";
    case FakeKind::other:
        break;
    }
    return u"QuorvelFakeWindow";
}

WindowHandle FakeDesktop::parentWindow(WindowHandle w)
{
    auto it = windows_.find(w);
    return it == windows_.end() ? 0 : it->second.parent;
}

// A process handle is its key plus one, so that 0 stays "not opened".
RemoteProcess FakeDesktop::openProcess(WindowHandle w)
{
    auto it = windows_.find(w);
    if (it == windows_.end())
        return {};
    FakeProcess& p = process(it->second.process);
    if (p.accessDenied)
        return {0, 0, true};
    if (!p.openable)
        return {};
    ++p.openHandles;
    return {static_cast<std::uintptr_t>(it->second.process) + 1, p.pointerBytes};
}

FakeProcess* FakeDesktop::processOf(const RemoteProcess& p)
{
    auto it = processes.find(static_cast<int>(p.handle) - 1);
    return p.handle && it != processes.end() ? &it->second : nullptr;
}

void FakeDesktop::closeProcess(const RemoteProcess& p)
{
    if (FakeProcess* process = processOf(p))
        --process->openHandles;
}

RemoteAddress FakeDesktop::allocRemote(const RemoteProcess& p, std::size_t bytes)
{
    FakeProcess* process = processOf(p);
    return process ? process->alloc(bytes) : 0;
}

void FakeDesktop::freeRemote(const RemoteProcess& p, RemoteAddress a)
{
    if (FakeProcess* process = processOf(p))
        process->free(a);
}

bool FakeDesktop::writeRemote(const RemoteProcess& p, RemoteAddress a, const void* data, std::size_t bytes)
{
    FakeProcess* process = processOf(p);
    return process && process->write(a, data, bytes);
}

bool FakeDesktop::readRemote(const RemoteProcess& p, RemoteAddress a, void* data, std::size_t bytes)
{
    FakeProcess* process = processOf(p);
    return process && process->read(a, data, bytes);
}

int FakeDesktop::liveProcessHandles() const
{
    int live = 0;
    for (const auto& [id, p] : processes)
        live += p.openHandles;
    return live;
}

int FakeDesktop::liveRemoteBlocks() const
{
    int live = 0;
    for (const auto& [id, p] : processes)
        live += p.liveBlocks();
    return live;
}

std::u16string FakeDesktop::getWindowText(WindowHandle w)
{
    auto it = windows_.find(w);
    return it == windows_.end() ? std::u16string() : it->second.text;
}

void FakeDesktop::setWindowText(WindowHandle w, const std::u16string& text)
{
    auto it = windows_.find(w);
    if (it == windows_.end())
        return;
    it->second.text = text;
    it->second.selection = {0, 0}; // as an edit control does
    it->second.firstLine = 0;
    if (it->second.kind == FakeKind::edit && it->second.onChange)
        it->second.onChange();
}

std::pair<std::size_t, std::size_t> FakeDesktop::getSelection(WindowHandle w)
{
    auto it = windows_.find(w);
    return it == windows_.end() ? std::pair<std::size_t, std::size_t>{} : it->second.selection;
}

void FakeDesktop::setSelection(WindowHandle w, std::size_t start, std::size_t end)
{
    auto it = windows_.find(w);
    if (it == windows_.end())
        return;
    const std::size_t size = it->second.text.size();
    it->second.selection = {std::min(start, size), std::min(end, size)};
}

bool FakeDesktop::replaceSelection(WindowHandle w, const std::u16string& text)
{
    auto it = windows_.find(w);
    if (it == windows_.end())
        return false;
    FakeWindow& field = it->second;
    auto [start, end] = field.selection;
    if (start > end)
        std::swap(start, end);
    const std::size_t kept = field.text.size() - (end - start);
    const std::size_t fits = kept >= field.textLimit ? 0 : std::min(text.size(), field.textLimit - kept);
    field.text.replace(start, end - start, text, 0, fits);
    field.selection = {start + fits, start + fits};
    field.firstLine = static_cast<int>(
        std::count(field.text.begin(), field.text.begin() + static_cast<std::ptrdiff_t>(start + fits), u'\n'));
    return fits == text.size();
}

int FakeDesktop::firstVisibleLine(WindowHandle w)
{
    auto it = windows_.find(w);
    return it == windows_.end() ? 0 : it->second.firstLine;
}

void FakeDesktop::scrollLines(WindowHandle w, int lines)
{
    auto it = windows_.find(w);
    if (it != windows_.end())
        it->second.firstLine = std::max(0, it->second.firstLine + lines);
}

void FakeDesktop::setRedraw(WindowHandle w, bool redraw)
{
    auto it = windows_.find(w);
    if (it != windows_.end() && redraw)
        ++it->second.repaints;
}

bool FakeDesktop::isWindowEnabled(WindowHandle w)
{
    auto it = windows_.find(w);
    return it != windows_.end() && it->second.enabled;
}

void FakeDesktop::enableWindow(WindowHandle w, bool enable)
{
    auto it = windows_.find(w);
    if (it != windows_.end())
        it->second.enabled = enable;
}

void FakeDesktop::setTimer(WindowHandle owner, unsigned id, unsigned ms)
{
    timers[{owner, id}] = ms;
}

void FakeDesktop::killTimer(WindowHandle owner, unsigned id)
{
    timers.erase({owner, id});
}

GdiHandle FakeDesktop::getWindowDC(WindowHandle w)
{
    GdiHandle h = next_++;
    dcs_[h].window = w;
    ++liveDCs;
    return h;
}

void FakeDesktop::releaseDC(WindowHandle, GdiHandle dc)
{
    if (dcs_.erase(dc))
        --liveDCs;
}

GdiHandle FakeDesktop::createRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    GdiHandle h = next_++;
    objects_[h] = {Gdi::Type::region, {l, t, r, b}};
    ++liveGdiObjects;
    return h;
}

GdiHandle FakeDesktop::createPen(int, int width, std::uint32_t)
{
    GdiHandle h = next_++;
    objects_[h] = {Gdi::Type::pen, {}, width};
    ++liveGdiObjects;
    return h;
}

GdiHandle FakeDesktop::getStockObject(int object)
{
    if (object != win::NULL_BRUSH)
        return 0;
    objects_[stockNullBrush] = {Gdi::Type::brush, {}};
    return stockNullBrush;
}

GdiHandle FakeDesktop::selectObject(GdiHandle dc, GdiHandle object)
{
    auto d = dcs_.find(dc);
    auto o = objects_.find(object);
    if (d == dcs_.end() || o == objects_.end())
        return 0;
    switch (o->second.type) {
    case Gdi::Type::region:
        d->second.region = object;
        return 1; // a region kind, as the real call answers
    case Gdi::Type::pen:
        return std::exchange(d->second.pen, object);
    case Gdi::Type::brush:
        return std::exchange(d->second.brush, object);
    }
    return 0;
}

int FakeDesktop::setROP2(GdiHandle dc, int mode)
{
    auto d = dcs_.find(dc);
    return d == dcs_.end() ? 0 : std::exchange(d->second.rop2, mode);
}

void FakeDesktop::rectangle(GdiHandle dc, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    auto d = dcs_.find(dc);
    if (d == dcs_.end() || d->second.rop2 != win::R2_NOT)
        return;
    // An empty clip region or an empty rectangle changes no pixel.
    auto region = objects_.find(d->second.region);
    if (region == objects_.end())
        return;
    const Rect& clip = region->second.bounds;
    if (clip.right <= clip.left || clip.bottom <= clip.top || r <= l || b <= t)
        return;
    paints.push_back(d->second.window);
    framed[d->second.window] = !framed[d->second.window];
}

void FakeDesktop::deleteObject(GdiHandle object)
{
    if (object != stockNullBrush && objects_.erase(object))
        --liveGdiObjects;
}

} // namespace quorvel
