#include "desktop/fake/FakeAccessible.h"

#include <type_traits>

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
        return ask(child, [&](const FakeAccNode& n) { name = n.name.substr(0, maxAccessibleText + 1); });
    }
    AccessAnswer value(std::int32_t child, std::u16string& value) override
    {
        return ask(child, [&](const FakeAccNode& n) {
            value = n.value.value_or(u"");
            return n.value ? AccessAnswer::answered : AccessAnswer::absent;
        });
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
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (inside(t_.nodes[n.children[i]].bounds, at)) {
                    found = childAt(n, static_cast<std::int32_t>(i));
                    return;
                }
            }
            if (inside(n.bounds, at))
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
        AccessibleChild c;
        c.kind = AccessibleChild::Kind::element;
        c.id = i + 1;
        const auto k = static_cast<std::size_t>(i);
        if (k < n.children.size() && !t_.nodes[n.children[k]].element) {
            c.kind = AccessibleChild::Kind::object;
            c.object = std::make_unique<FakeObject>(t_, n.children[k]);
        }
        return c;
    }

    // The node a question names: this one, or its child of that id.
    template <typename Answer> AccessAnswer ask(std::int32_t child, Answer answer)
    {
        ++t_.calls;
        int asked = node_;
        if (child != acc::self) {
            const std::vector<int>& kids = t_.nodes[node_].children;
            if (child < 1 || static_cast<std::size_t>(child) > kids.size())
                return AccessAnswer::absent;
            asked = kids[static_cast<std::size_t>(child) - 1];
        }
        if (t_.onCall) {
            if (std::optional<AccessAnswer> a = t_.onCall(asked))
                return *a;
        }
        const FakeAccNode& n = t_.nodes[static_cast<std::size_t>(asked)];
        if (n.answer != AccessAnswer::answered)
            return n.answer;
        if constexpr (std::is_same_v<decltype(answer(n)), AccessAnswer>)
            return answer(n);
        answer(n);
        return AccessAnswer::answered;
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

AccessAnswer FakeAccessibleTree::clientObject(WindowHandle window, std::unique_ptr<Accessible>& object)
{
    ++calls;
    object.reset();
    const auto it = clients.find(window);
    if (it == clients.end())
        return AccessAnswer::answered;
    if (onCall) {
        if (std::optional<AccessAnswer> a = onCall(it->second))
            return *a;
    }
    object = std::make_unique<FakeObject>(*this, it->second);
    return AccessAnswer::answered;
}

} // namespace quorvel
