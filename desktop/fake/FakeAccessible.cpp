#include "desktop/fake/FakeAccessible.h"

namespace quorvel {

namespace {

bool inside(const Rect& r, Point p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

class FakeObject final : public Accessible {
public:
    FakeObject(FakeAccessibleTree& tree, int node, CallObserver& observer) : t_(tree), node_(node), observer_(observer)
    {
        ++t_.liveObjects;
    }
    ~FakeObject() override
    {
        ObservedCall release(observer_, false);
        --t_.liveObjects;
    }

    AccessAnswer role(std::int32_t child, std::uint32_t& role) override
    {
        return ask(child, FakeQuestion::role, [&](const FakeAccNode& n) { role = n.role; });
    }
    AccessAnswer name(std::int32_t child, std::u16string& name) override
    {
        return ask(child, FakeQuestion::name, [&](const FakeAccNode& n) { name = n.name; });
    }
    AccessAnswer value(std::int32_t child, std::u16string& value) override
    {
        bool has = false;
        const AccessAnswer a = ask(child, FakeQuestion::value,
                                   [&](const FakeAccNode& n) { value = n.value.value_or(u""), has = !!n.value; });
        return a == AccessAnswer::answered && !has ? AccessAnswer::noValue : a;
    }
    AccessAnswer state(std::int32_t child, std::uint32_t& state) override
    {
        return ask(child, FakeQuestion::state, [&](const FakeAccNode& n) { state = n.state; });
    }
    AccessAnswer childCount(std::int32_t& count) override
    {
        return ask(acc::self, FakeQuestion::count, [&](const FakeAccNode& n) { count = claimed(n); });
    }
    AccessAnswer child(std::int32_t index, AccessibleChild& out) override
    {
        out = {};
        bool exists = false;
        const AccessAnswer a = ask(acc::self, FakeQuestion::child, [&](const FakeAccNode& n) {
            exists = index >= 0 && static_cast<std::size_t>(index) < n.children.size();
            if (exists)
                out = childAt(n, index);
        });
        return a == AccessAnswer::answered && !exists ? AccessAnswer::noSuchChild : a;
    }
    AccessAnswer hasEnumerator(bool& has) override
    {
        return ask(acc::self, FakeQuestion::enumerator, [&](const FakeAccNode& n) { has = n.enumerator; });
    }
    AccessAnswer enumerate(std::int32_t index, std::int32_t count, std::vector<AccessibleChild>& out) override
    {
        return ask(acc::self, FakeQuestion::enumerate, [&](const FakeAccNode& n) {
            const auto real = static_cast<std::int32_t>(n.children.size());
            for (std::int32_t i = std::max(index, 0); i < index + count && i < real; ++i)
                out.push_back(childAt(n, i));
        });
    }
    AccessAnswer hitTest(Point at, AccessibleChild& found) override
    {
        found = {};
        return ask(acc::self, FakeQuestion::hitTest, [&](const FakeAccNode& n) {
            for (std::size_t i = 0; i < n.children.size() && found.kind == AccessibleChild::Kind::none; ++i) {
                if (inside(t_.nodes[static_cast<std::size_t>(n.children[i])].bounds, at))
                    found = childAt(n, static_cast<std::int32_t>(i));
            }
            if (found.kind == AccessibleChild::Kind::none && inside(n.bounds, at))
                found.kind = AccessibleChild::Kind::element; // the object itself
        });
    }
    std::uintptr_t identity() override { return static_cast<std::uintptr_t>(node_) + 1; }

private:
    static std::int32_t claimed(const FakeAccNode& n)
    {
        return n.claimedChildren >= 0 ? n.claimedChildren : static_cast<std::int32_t>(n.children.size());
    }

    AccessibleChild childAt(const FakeAccNode& n, std::int32_t i)
    {
        const int node = n.children[static_cast<std::size_t>(i)];
        if (!t_.nodes[static_cast<std::size_t>(node)].element)
            return {AccessibleChild::Kind::object, 0, std::make_unique<FakeObject>(t_, node, observer_)};
        return {AccessibleChild::Kind::element, i + 1, nullptr};
    }

    // The node a question names (this one, or its child of that id), and what it answers.
    template <typename Answer> AccessAnswer ask(std::int32_t child, FakeQuestion question, Answer answer)
    {
        ObservedCall call(observer_, false);
        ++t_.calls;
        const std::vector<int>& kids = t_.nodes[static_cast<std::size_t>(node_)].children;
        if (child < 0 || static_cast<std::size_t>(child) > kids.size())
            return AccessAnswer::noSuchChild;
        const int asked = child == acc::self ? node_ : kids[static_cast<std::size_t>(child) - 1];
        const FakeAccNode& n = t_.nodes[static_cast<std::size_t>(asked)];
        const AccessAnswer a = t_.hooked(asked, question).value_or(n.answer);
        if (a == AccessAnswer::answered)
            answer(n);
        return a;
    }

    FakeAccessibleTree& t_;
    int node_;
    CallObserver& observer_;
};

} // namespace

int FakeAccessibleTree::add(FakeAccNode node, int parent)
{
    nodes.push_back(std::move(node));
    const int index = static_cast<int>(nodes.size()) - 1;
    if (parent >= 0)
        nodes[static_cast<std::size_t>(parent)].children.push_back(index);
    return index;
}

std::optional<AccessAnswer> FakeAccessibleTree::hooked(int node, FakeQuestion question)
{
    return onCall ? onCall(node, question) : std::nullopt;
}

AccessAnswer FakeAccessibleTree::clientObject(WindowHandle window, std::unique_ptr<Accessible>& object,
                                              CallObserver& observer)
{
    ObservedCall call(observer, true);
    ++calls;
    object.reset();
    const auto it = clients.find(window);
    const std::optional<AccessAnswer> a = it == clients.end() ? std::nullopt : hooked(it->second, FakeQuestion::object);
    if (it != clients.end() && !a)
        object = std::make_unique<FakeObject>(*this, it->second, observer);
    return a.value_or(AccessAnswer::answered);
}

} // namespace quorvel
