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
    WindowHandle handle = 0;
    std::u16string className = {}, nn = {};
    ControlClass kind = ControlClass::unknown;
    std::size_t parent = 0; // 0: the top-level window, or not asked; else 1 + the parent's index
    bool knownBelow = false, toldBelow = false;
};

// Whether a window of this kind may be another's part, which its parent tells.
bool mayBePart(const Node& n)
{
    return (n.kind == ControlClass::listBox && sameText(n.className, u"ComboLBox")) || n.kind == ControlClass::edit ||
           n.kind == ControlClass::header || n.kind == ControlClass::comboBox;
}

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
        // Accessible lists are asked for under windows that hold no control,
        // which every window's parent tells; else only a part's is asked. A
        // survey that drops the windows it does not name is one to find what a
        // selector names: it asks for ids only where the selector names one.
        const bool asking =
            scope_.census && (!scope_.told || (admitsAccessible(*scope_.told) && windowMatches(*scope_.told, top)));
        const bool ids = !scope_.windows || scope_.keepOthers || scope_.windows->find(Key::id);
        std::map<std::u16string, std::size_t> instances;
        std::map<WindowHandle, std::size_t> index;
        for (WindowHandle h : tree_.childWindows(top.handle)) {
            Node n{h, tree_.className(h)};
            n.nn = n.className + decimal(static_cast<long long>(++instances[foldedText(n.className)]));
            n.kind = classInfo(n.className).kind;
            index[h] = nodes_.size();
            nodes_.push_back(std::move(n));
        }
        for (Node& n : nodes_) {
            const auto parent = asking || mayBePart(n) ? index.find(tree_.parentWindow(n.handle)) : index.end();
            n.parent = parent == index.end() ? 0 : parent->second + 1;
        }
        std::vector<std::vector<ListEntry>> at(nodes_.size() + 1);
        std::map<WindowHandle, WindowHandle> readsAs;
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            const Node& n = nodes_[i];
            if (n.parent && partOf(n, nodes_[n.parent - 1])) {
                const WindowHandle outer = nodes_[n.parent - 1].handle;
                const auto further = readsAs.find(outer);
                readsAs[n.handle] = further == readsAs.end() ? outer : further->second;
                desk_.standIns.emplace_back(n.handle, readsAs[n.handle]);
            } else if (const ListKind kind = kindOf(n.kind); kind != ListKind::none) {
                const std::optional<std::int32_t> id = ids ? std::optional(tree_.controlId(n.handle)) : std::nullopt;
                at[i + 1].push_back({window, n.handle, n.className, n.nn, id, kind});
            }
        }
        if (asking)
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
                n.toldBelow = ask(window, {window, n.handle, n.className, n.nn}, at[i + 1]);
            bool& known = n.parent ? nodes_[n.parent - 1].knownBelow : knownBelowTop;
            bool& told = n.parent ? nodes_[n.parent - 1].toldBelow : toldBelowTop;
            known = known || n.knownBelow;
            told = told || n.toldBelow;
        }
        const TopWindow& top = desk_.windows[window];
        if (!knownBelowTop && !toldBelowTop && !desk_.cancelled && !tellsNoList(top.className))
            ask(window, {window, top.handle, top.className}, at[0]);
    }

    // The lists teller tells, into out; whether it told any. Its id is asked
    // here, as few windows tell lists: most of a window's descendants are no list.
    bool ask(std::size_t window, ListEntry teller, std::vector<ListEntry>& out)
    {
        const TopWindow& top = desk_.windows[window];
        if (!scope_.census || desk_.silent.count(top.processId) || desk_.refusing.count(top.processId))
            return false;
        if (!teller.nn.empty())
            teller.id = tree_.controlId(teller.handle);
        if (scope_.told && !mayTellMatches(*scope_.told, top, teller))
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
    // Where only the windows named are wanted, each fact is asked once the
    // clauses on the facts before it hold, cheapest first: most windows fail
    // the first, and a process is opened only for one the others let through.
    const bool dropping = scope.windows && !scope.keepOthers;
    const bool titleFirst = dropping && scope.windows->find(Key::title);
    TopWindow w;
    const auto holds = [&](Key key) {
        const Clause* c = dropping ? scope.windows->find(key) : nullptr;
        return !c || windowMatches(Selector{{*c}}, w);
    };
    for (WindowHandle handle : tree.topWindows()) {
        w = {handle};
        // Most top-level windows are hidden (a combo box's list, a program's
        // own message windows): the title is asked first only where it is what
        // drops most of them.
        if (!holds(Key::handle) || (!titleFirst && !tree.visible(handle)))
            continue;
        w.title = tree.windowTitle(handle);
        if (!holds(Key::title) || (titleFirst && !tree.visible(handle)))
            continue;
        w.className = tree.className(handle);
        if (!holds(Key::wclass))
            continue;
        w.processId = tree.processId(handle);
        if (!holds(Key::pid) || tree.cloaked(handle))
            continue;
        auto [known, fresh] = programs.try_emplace(w.processId);
        if (fresh)
            known->second = tree.program(w.processId);
        w.program = known->second;
        w.surveyed = !scope.windows || windowMatches(*scope.windows, w);
        if (!w.surveyed && !scope.keepOthers)
            continue;
        desk.windows.push_back(std::move(w));
        if (desk.windows.back().surveyed)
            WindowSurvey(tree, desk, scope).run(desk.windows.size() - 1);
        if (desk.cancelled)
            break;
    }
    return desk;
}

} // namespace quorvel
