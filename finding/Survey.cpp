#include "finding/Survey.h"

#include "finding/Matching.h"
#include "listing/TextMatch.h"
#include "listing/Utf8.h"
#include "listreader/ControlClass.h"

#include <map>

namespace quorvel {

namespace {

ListKind kindOf(ControlClass c)
{
    switch (c) {
    case ControlClass::listBox:
        return ListKind::listBox;
    case ControlClass::comboBox:
        return ListKind::comboBox;
    case ControlClass::comboBoxEx:
        return ListKind::comboBoxEx;
    case ControlClass::listView:
        return ListKind::listView;
    case ControlClass::treeView:
        return ListKind::treeView;
    case ControlClass::header:
        return ListKind::header;
    case ControlClass::tabControl:
        return ListKind::tabControl;
    case ControlClass::statusBar:
        return ListKind::statusBar;
    case ControlClass::toolbar:
        return ListKind::toolbar;
    default:
        return ListKind::none;
    }
}

struct Node {
    ChildWindow window;
    std::u16string className = {}, nn = {};
    std::int32_t id = 0;
    ControlClass kind = ControlClass::unknown;
    std::size_t parent = 0; // 0: the top-level window; else 1 + the parent's index
    bool knownBelow = false, toldBelow = false;
};

// The control a window of this kind reads as, when it is one's part: a
// simple combo box's list, the Edit of an editable one, a list view's header
// and a ComboBoxEx's combo box.
bool partOf(const Node& child, const Node& parent)
{
    switch (child.kind) {
    case ControlClass::listBox:
        return parent.kind == ControlClass::comboBox && sameText(child.className, u"ComboLBox");
    case ControlClass::edit:
        return parent.kind == ControlClass::comboBox || parent.kind == ControlClass::comboBoxEx;
    case ControlClass::header:
        return parent.kind == ControlClass::listView;
    case ControlClass::comboBox:
        return parent.kind == ControlClass::comboBoxEx;
    default:
        return false;
    }
}

class WindowSurvey {
public:
    WindowSurvey(WindowTree& tree, Desk& desk, const SurveyScope& scope) : tree_(tree), desk_(desk), scope_(scope) {}

    void run(std::size_t window)
    {
        const TopWindow& top = desk_.windows[window];
        std::map<std::u16string, std::size_t> instances;
        std::map<WindowHandle, std::size_t> index;
        for (const ChildWindow& c : tree_.childWindows(top.handle)) {
            Node n{c, tree_.className(c.handle)};
            n.nn = n.className + decimal(static_cast<long long>(++instances[foldedText(n.className)]));
            n.id = tree_.controlId(c.handle);
            n.kind = classInfo(n.className).kind;
            const auto parent = index.find(c.parent);
            n.parent = parent == index.end() ? 0 : parent->second + 1;
            index[c.handle] = nodes_.size();
            nodes_.push_back(std::move(n));
        }
        std::vector<std::vector<ListEntry>> at(nodes_.size() + 1);
        std::map<WindowHandle, WindowHandle> readsAs;
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            const Node& n = nodes_[i];
            if (n.parent && partOf(n, nodes_[n.parent - 1])) {
                const WindowHandle outer = nodes_[n.parent - 1].window.handle;
                const auto further = readsAs.find(outer);
                readsAs[n.window.handle] = further == readsAs.end() ? outer : further->second;
                desk_.standIns.emplace_back(n.window.handle, readsAs[n.window.handle]);
            } else if (const ListKind kind = kindOf(n.kind); kind != ListKind::none) {
                at[i + 1].push_back({window, n.window.handle, n.className, n.nn, n.id, kind});
            }
        }
        askTellers(window, at);
        for (std::vector<ListEntry>& lists : at)
            desk_.lists.insert(desk_.lists.end(), lists.begin(), lists.end());
    }

private:
    // Children before their parents: a window is asked only when none under it
    // told a list, so that a list is found once, in the window nearest it.
    void askTellers(std::size_t window, std::vector<std::vector<ListEntry>>& at)
    {
        bool knownBelowTop = false, toldBelowTop = false;
        for (std::size_t i = nodes_.size(); i-- > 0 && !desk_.cancelled;) {
            Node& n = nodes_[i];
            n.knownBelow = n.knownBelow || n.kind != ControlClass::unknown;
            if (!n.knownBelow && !n.toldBelow && !tellsNoList(n.className))
                n.toldBelow = ask(window, {window, n.window.handle, n.className, n.nn, n.id}, at[i + 1]);
            bool& known = n.parent ? nodes_[n.parent - 1].knownBelow : knownBelowTop;
            bool& told = n.parent ? nodes_[n.parent - 1].toldBelow : toldBelowTop;
            known = known || n.knownBelow;
            told = told || n.toldBelow;
        }
        const TopWindow& top = desk_.windows[window];
        if (!knownBelowTop && !toldBelowTop && !desk_.cancelled && !tellsNoList(top.className))
            ask(window, {window, top.handle, top.className}, at[0]);
    }

    // The lists teller tells, into out; whether it told any.
    bool ask(std::size_t window, const ListEntry& teller, std::vector<ListEntry>& out)
    {
        const TopWindow& top = desk_.windows[window];
        if (!scope_.census || desk_.silent.count(top.processId) || desk_.refusing.count(top.processId) ||
            (scope_.told && !mayTellMatches(*scope_.told, top, teller)))
            return false;
        std::vector<std::u16string> names;
        switch (scope_.census->listNames(teller.handle, names)) {
        case AccessibleCensus::Answer::unanswered:
            desk_.silent.insert(top.processId);
            return false;
        case AccessibleCensus::Answer::denied:
            desk_.refusing.insert(top.processId);
            return false;
        case AccessibleCensus::Answer::cancelled:
            desk_.cancelled = true;
            return false;
        case AccessibleCensus::Answer::told:
            break;
        }
        for (std::size_t p = 0; p < names.size(); ++p) {
            ListEntry l = teller;
            l.kind = ListKind::accessible;
            l.name = names[p];
            l.place = p + 1;
            out.push_back(std::move(l));
        }
        return !names.empty();
    }

    WindowTree& tree_;
    Desk& desk_;
    const SurveyScope& scope_;
    std::vector<Node> nodes_;
};

} // namespace

bool tellsNoList(const std::u16string& className)
{
    static constexpr std::u16string_view quiet[] = {
        u"Button",          u"Static",           u"ScrollBar", u"msctls_progress32", u"msctls_trackbar32",
        u"msctls_updown32", u"tooltips_class32", u"SysLink"};
    for (std::u16string_view q : quiet) {
        if (sameText(className, q))
            return true;
    }
    return false;
}

Desk survey(WindowTree& tree, const SurveyScope& scope)
{
    Desk desk;
    std::map<std::uint32_t, ProgramFacts> programs;
    const bool exeFirst = !scope.windows || scope.windows->find(Key::exe);
    const auto programOf = [&](std::uint32_t pid) {
        auto [it, fresh] = programs.try_emplace(pid);
        if (fresh)
            it->second = tree.program(pid);
        return it->second;
    };
    for (WindowHandle handle : tree.topWindows()) {
        if (!tree.visible(handle) || tree.cloaked(handle))
            continue;
        TopWindow w{handle, tree.windowTitle(handle), tree.className(handle), tree.processId(handle)};
        // A process is opened only for a window the other clauses let through.
        if (exeFirst)
            w.program = programOf(w.processId);
        if (scope.windows && !windowMatches(*scope.windows, w))
            continue;
        if (!exeFirst)
            w.program = programOf(w.processId);
        desk.windows.push_back(std::move(w));
        WindowSurvey(tree, desk, scope).run(desk.windows.size() - 1);
        if (desk.cancelled)
            break;
    }
    return desk;
}

} // namespace quorvel
