#include "desktop/fake/FakeAccessible.h"

namespace quorvel {

namespace {

bool inside(const Rect& r, Point p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

class FakeObject final : public Accessible {
public:
    FakeObject(FakeAccessibleTree& tree, int node) : t_(tree), node_(node) { ++t_.liveObjects; }
    ~FakeObject() override { --t_.liveObjects; }

    AccessAnswer role(std::int32_t child, std::uint32_t& role) override
    {
        return ask(child, [&](const FakeAccNode& n) { role = n.role; });
    }
    AccessAnswer name(std::int32_t child, std::u16string& name) override
    {
        return ask(child, [&](const FakeAccNode& n) { name = n.name; });
    }
    AccessAnswer value(std::int32_t child, std::u16string& value) override
    {
        bool has = false;
        const AccessAnswer a =
            ask(child, [&](const FakeAccNode& n) { value = n.value.value_or(u""), has = !!n.value; });
        return a == AccessAnswer::answered && !has ? AccessAnswer::absent : a;
    }
    AccessAnswer state(std::int32_t child, std::uint32_t& state) override
    {
        return ask(child, [&](const FakeAccNode& n) { state = n.state; });
    }
    AccessAnswer childCount(std::int32_t& count) override
    {
        return ask(acc::self, [&](const FakeAccNode& n) { count = claimed(n); });
    }
    AccessAnswer children(std::int32_t first, std::int32_t count, std::vector<AccessibleChild>& out) override
    {
        return ask(acc::self, [&](const FakeAccNode& n) {
            for (std::int32_t i = first; i < first + count && i < claimed(n); ++i)
                out.push_back(childAt(n, i));
        });
    }
    AccessAnswer hitTest(Point at, AccessibleChild& found) override
    {
        return ask(acc::self, [&](const FakeAccNode& n) {
            found = {};
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

    // Past the real children, an id the node does not have.
    AccessibleChild childAt(const FakeAccNode& n, std::int32_t i)
    {
        const auto k = static_cast<std::size_t>(i);
        if (k < n.children.size() && !t_.nodes[static_cast<std::size_t>(n.children[k])].element)
            return {AccessibleChild::Kind::object, 0, std::make_unique<FakeObject>(t_, n.children[k])};
        return {AccessibleChild::Kind::element, i + 1, nullptr};
    }

    // The node a question names (this one, or its child of that id), and what it answers.
    template <typename Answer> AccessAnswer ask(std::int32_t child, Answer answer)
    {
        ++t_.calls;
        const std::vector<int>& kids = t_.nodes[static_cast<std::size_t>(node_)].children;
        if (child < 0 || static_cast<std::size_t>(child) > kids.size())
            return AccessAnswer::absent;
        const int asked = child == acc::self ? node_ : kids[static_cast<std::size_t>(child) - 1];
        const FakeAccNode& n = t_.nodes[static_cast<std::size_t>(asked)];
        const AccessAnswer a = t_.hooked(asked).value_or(n.answer);
        if (a == AccessAnswer::answered)
            answer(n);
        return a;
    }

    FakeAccessibleTree& t_;
    int node_;
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

std::optional<AccessAnswer> FakeAccessibleTree::hooked(int node)
{
    return onCall ? onCall(node) : std::nullopt;
}

AccessAnswer FakeAccessibleTree::clientObject(WindowHandle window, std::unique_ptr<Accessible>& object)
{
    ++calls;
    object.reset();
    const auto it = clients.find(window);
    const std::optional<AccessAnswer> a = it == clients.end() ? std::nullopt : hooked(it->second);
    if (it != clients.end() && !a)
        object = std::make_unique<FakeObject>(*this, it->second);
    return a.value_or(AccessAnswer::answered);
}

} // namespace quorvel
