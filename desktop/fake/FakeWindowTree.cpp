// The fake desktop's windows as one tree: the windows its fake controls are,
// with their parents, titles, ids, visibility and processes.
#include "desktop/fake/FakeDesktop.h"

#include <algorithm>

namespace quorvel {

std::vector<WindowHandle> FakeDesktop::topWindows()
{
    std::vector<std::pair<int, WindowHandle>> tops;
    for (const auto& [h, w] : windows_) {
        if (!w.parent)
            tops.emplace_back(w.z, h);
    }
    std::stable_sort(tops.begin(), tops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<WindowHandle> out;
    for (const auto& [z, h] : tops)
        out.push_back(h);
    return out;
}

std::vector<WindowHandle> FakeDesktop::childWindows(WindowHandle top)
{
    std::vector<WindowHandle> out;
    std::vector<WindowHandle> pending{top};
    while (!pending.empty()) {
        const WindowHandle parent = pending.back();
        pending.pop_back();
        if (parent != top)
            out.push_back(parent);
        // Children last to first onto the stack, so the first comes out next.
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            if (it->second.parent == parent && it->first != parent)
                pending.push_back(it->first);
        }
    }
    return out;
}

std::int32_t FakeDesktop::controlId(WindowHandle w)
{
    auto it = windows_.find(w);
    return it == windows_.end() ? 0 : it->second.id;
}

bool FakeDesktop::visible(WindowHandle w)
{
    auto it = windows_.find(w);
    return it != windows_.end() && it->second.visible && (!it->second.parent || visible(it->second.parent));
}

bool FakeDesktop::cloaked(WindowHandle w)
{
    auto it = windows_.find(w);
    return it != windows_.end() && it->second.cloaked;
}

std::uint32_t FakeDesktop::processId(WindowHandle w)
{
    auto it = windows_.find(w);
    return it == windows_.end() ? 0 : static_cast<std::uint32_t>(it->second.process);
}

ProgramFacts FakeDesktop::program(std::uint32_t processId)
{
    const FakeProcess& p = process(static_cast<int>(processId));
    if (p.queryDenied)
        return {{}, 0, true};
    return {p.path, p.pointerBytes * 8};
}

bool FakeDesktop::setClipboardText(WindowHandle, const std::u16string& text)
{
    if (clipboardRefuses)
        return false;
    clipboard = text;
    return true;
}

} // namespace quorvel
