#include "desktop/fake/FakeAccessible.h"
#include "desktop/fake/FakeDesktop.h"
#include "listing/CsvRendering.h"
#include "listing/JsonRendering.h"
#include "listing/TextRendering.h"
#include "listreader/AccessibleWalk.h"
#include "listreader/ListItemReader.h"
#include "mainwindow/OutcomeCaption.h"

#include <climits>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

constexpr WindowHandle drawn = 600;
using Kind = AccessibleChild::Kind;

// Follows the read: cancels once it has allowed `left` questions, and checks
// that every question is bracketed, one at a time.
struct Follower : ReadControl {
    bool cancelled() override { return left == 0 || (--left, false); }
    void progress(std::size_t) override {}
    void callStarted() override { EXPECT_FALSE(std::exchange(inCall, true)); }
    void callReturned() override { EXPECT_TRUE(std::exchange(inCall, false)); }
    std::size_t left = SIZE_MAX;
    bool inCall = false;
};

class AccessibleRead : public testing::Test {
protected:
    AccessibleRead()
    {
        desktop.add(drawn).className = u"DrawnList";
        tree.clients[drawn] = node(acc::roleClient, u"window");
    }
    int node(std::uint32_t role, std::u16string name = u"", int parent = -1, bool element = false)
    {
        return tree.add({.role = role, .name = std::move(name), .element = element}, parent);
    }
    // A list with items told as ids and as objects, an empty name among them.
    int list(std::u16string name, std::vector<std::u16string> items, int parent = 0)
    {
        const int l = node(acc::roleList, std::move(name), parent);
        for (std::size_t i = 0; i < items.size(); ++i)
            node(acc::roleListItem, items[i], l, i % 2 == 0);
        return l;
    }
    Listing read(ReadOptions options = {})
    {
        options.accessible = &tree;
        Listing l = readListItems(desktop, drawn, control, options);
        EXPECT_EQ(tree.liveObjects, 0) << "an object still held";
        EXPECT_FALSE(control.inCall);
        return l;
    }
    std::u16string text(ReadOptions options = {}) { return renderText(read(std::move(options))); }

    FakeDesktop desktop;
    FakeAccessibleTree tree;
    Follower control;
};

TEST_F(AccessibleRead, ListOfIdsAndObjectsAsAListBox)
{
    list(u"Sizes", {u"S", u"", u"M\u00fc", u"L"});
    const Listing l = read();
    EXPECT_EQ((std::tuple{l.kind, l.role, l.listName, l.listNumber, l.listCount, l.end}),
              (std::tuple{ListKind::accessible, ListRole::list, std::u16string(u"Sizes"), 1u, 1u, ReadEnd::complete}));
    EXPECT_EQ(renderText(l), u"S\r\nM\u00fc\r\nL\r\n");
    EXPECT_EQ(renderCsv(l), u"S\r\n\"\"\r\nM\u00fc\r\nL\r\n");
    EXPECT_NE(renderJson(l).find(u"\"kind\": \"accessible\",\r\n  \"role\": \"list\",\r\n  \"name\": \"Sizes\",\r\n  "
                                 u"\"list\": 1,\r\n  \"lists\": 1,"),
              std::u16string::npos);
}

TEST_F(AccessibleRead, WindowsOwnListsAndWindowsWithoutObjectsKeepTheirOutcome)
{
    list(u"Sizes", {u"S"});
    desktop.window(drawn).kind = FakeKind::listBox;
    desktop.window(drawn).items = {u"native"};
    EXPECT_EQ(text(), u"native\r\n");
    EXPECT_EQ(tree.calls, 0);
    desktop.window(drawn).kind = FakeKind::other;
    tree.clients.clear();
    EXPECT_EQ(read().end, ReadEnd::nothingToRead);
    tree.clients[drawn] = node(acc::roleClient);
    EXPECT_EQ(read().end, ReadEnd::nothingToRead) << "an object with no list in it";
}

TEST_F(AccessibleRead, TreeLevelsFromValuesOrFromNesting)
{
    // Levels counted from 1 as some programs do, told by value on simple elements.
    const int flat = node(acc::roleOutline, u"Places", 0);
    for (auto [name, level] : {std::pair{u"Europe", u"1"}, {u"Z\u00fcrich", u"3"}, {u"Bern", u"3"}, {u"Asia", u"1"}})
        tree.nodes[static_cast<std::size_t>(node(acc::roleOutlineItem, name, flat, true))].value = level;
    const std::u16string places = u"Europe\r\n\t\tZ\u00fcrich\r\n\t\tBern\r\nAsia\r\n";
    EXPECT_EQ(text(), places);
    // Objects nesting objects, no values; an item's picture is no item.
    tree.nodes[0].children.clear();
    const int nested = node(acc::roleOutline, u"Places", 0);
    const int europe = node(acc::roleOutlineItem, u"Europe", nested);
    node(acc::roleCell, u"picture", europe);
    node(acc::roleOutlineItem, u"Z\u00fcrich", node(acc::roleOutlineItem, u"", europe));
    node(acc::roleOutlineItem, u"Asia", nested);
    const Listing l = read();
    EXPECT_EQ(renderText(l), u"Europe\r\n\t\tZ\u00fcrich\r\nAsia\r\n");
    EXPECT_EQ(renderCsv(l), u"0,Europe\r\n1,\r\n2,Z\u00fcrich\r\n0,Asia\r\n");
    EXPECT_EQ(l.role, ListRole::tree);
}

// A grid as Windows Forms makes one: a top row of column headers with a corner
// over the row headers, cells named by column and row with their text in the value.
TEST_F(AccessibleRead, TableWithAHeaderRowAsAReportListView)
{
    const int grid = node(acc::roleTable, u"Stock", 0);
    const int top = node(acc::roleRow, u"Top Row", grid);
    for (const char16_t* h : {u"", u"Name", u"Size"})
        node(acc::roleColumnHeader, h, top);
    node(acc::roleCell, u"scroll bar", grid); // neither row nor header
    const std::vector<std::vector<std::optional<std::u16string>>> rows = {
        {u"apple", u"12"}, {u"", u"7"}, {std::nullopt, u"3, \"big\""}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = node(acc::roleRow, u"Row " + std::u16string(1, u'0' + r), grid);
        node(acc::roleRowHeader, u"", row);
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            tree.nodes[static_cast<std::size_t>(node(acc::roleCell, u"C" + std::u16string(1, u'0' + c), row, c == 1))]
                .value = rows[r][c];
    }
    const Listing l = read();
    EXPECT_TRUE(l.report);
    EXPECT_EQ(renderText(l, true), u"Name\tSize\r\napple\t12\r\n\t7\r\nC0\t3, \"big\"\r\n");
    EXPECT_EQ(renderCsv(l, true), u"Name,Size\r\napple,12\r\n,7\r\nC0,\"3, \"\"big\"\"\"\r\n");
    EXPECT_NE(renderJson(l).find(u"\"role\": \"table\""), std::u16string::npos);
    // Column headers straight under the table, and a combo box's list.
    tree.nodes[static_cast<std::size_t>(top)].role = acc::roleCell;
    const int a = node(acc::roleColumnHeader, u"A"), b = node(acc::roleColumnHeader, u"B");
    std::vector<int>& under = tree.nodes[static_cast<std::size_t>(grid)].children;
    under.insert(under.begin(), {a, b});
    EXPECT_EQ(renderText(read(), true), u"A\tB\r\napple\t12\r\n\t7\r\nC0\t3, \"big\"\r\n");
    tree.nodes[0].children.clear();
    const int combo = node(acc::roleComboBox, u"Size", 0);
    node(acc::roleCell, u"edit", combo);
    list(u"", {u"S", u"M"}, combo);
    EXPECT_EQ(text(), u"S\r\nM\r\n");
}

// Three lists in panes: the first, one named in any case, the one under a point.
TEST_F(AccessibleRead, ChoosesTheFirstByNameOrByPoint)
{
    const int pane = node(acc::roleClient, u"pane", 0);
    list(u"Fruits", {u"apple"}, pane);
    list(u"Gr\u00d6\u00dfen", {u"S", u"M"}, pane);
    const int inner = node(acc::roleClient, u"inner", pane);
    const int colors = list(u"Colors", {u"red"}, inner);
    const std::pair<int, Rect> bounds[] = {
        {0, {0, 0, 200, 200}}, {pane, {0, 0, 100, 100}}, {inner, {50, 50, 100, 100}}, {colors, {60, 60, 100, 100}}};
    for (auto [n, r] : bounds)
        tree.nodes[static_cast<std::size_t>(n)].bounds = r;
    const struct {
        std::optional<Point> at;
        const char16_t* name;
        std::u16string items;
        std::size_t number;
    } cases[] = {{std::nullopt, nullptr, u"apple\r\n", 1},
                 {std::nullopt, u"gR\u00f6\u00dfEN", u"S\r\nM\r\n", 2},
                 {Point{70, 70}, nullptr, u"red\r\n", 3},
                 {Point{150, 150}, u"colors", u"red\r\n", 3},
                 {Point{300, 300}, nullptr, u"apple\r\n", 1}};
    for (const auto& c : cases) {
        ReadOptions options{.at = c.at};
        if (c.name)
            options.name = c.name;
        const Listing l = read(options);
        EXPECT_EQ(renderText(l), c.items);
        EXPECT_EQ((std::pair{l.listNumber, l.listCount}), (std::pair{c.number, std::size_t{3}}));
    }
    EXPECT_EQ(read({.name = u"Fruit"}).end, ReadEnd::nothingToRead);
    const Listing second = read({.name = u"gr\u00f6\u00dfen"});
    EXPECT_EQ(captionChoices({.items = second.rows(), .listName = second.listName, .listNumber = 2, .listCount = 3}, {})
                  .front(),
              u"List Items (2 in Gr\u00d6\u00dfen, list 2 of 3)");
}

TEST_F(AccessibleRead, WalkEndsAtACycleAndWithinItsBounds)
{
    // A list after a child that leads back to the window's object is not reached.
    list(u"first", {u"a"});
    const int pane = node(acc::roleClient, u"pane", 0);
    tree.nodes[static_cast<std::size_t>(pane)].children.push_back(0);
    list(u"after", {u"b"});
    EXPECT_EQ(read().listCount, 1u);
    // Far wider and deeper than the bounds: a list beyond them is not found, in few calls.
    tree.nodes[0].children.clear();
    int deep = 0;
    for (std::size_t d = 0; d < walkDepth + 2; ++d)
        deep = node(acc::roleClient, u"", deep);
    list(u"deep", {u"y"}, deep);
    for (int i = 0; i < 100000; ++i)
        node(acc::roleClient, u"", 0, i % 2 == 0);
    list(u"far", {u"x"});
    tree.calls = 0;
    EXPECT_EQ(read().end, ReadEnd::nothingToRead);
    EXPECT_LT(tree.calls, static_cast<int>(3 * walkChildren));
}

TEST_F(AccessibleRead, RefusedItemsStayAndCountsThatLieEndSoon)
{
    const int l = list(u"Sizes", {u"S", u"M", u"L"});
    tree.nodes[static_cast<std::size_t>(tree.nodes[l].children[1])].answer = AccessAnswer::refused;
    tree.nodes[static_cast<std::size_t>(tree.nodes[l].children[2])].name = std::u16string(10 << 20, u'x');
    tree.nodes[static_cast<std::size_t>(l)].claimedChildren = INT_MAX;
    const Listing read1 = read();
    EXPECT_EQ(read1.rows(), 3u) << "the refused and the too long are kept, empty";
    EXPECT_EQ(renderText(read1), u"S\r\n");
    EXPECT_LT(tree.calls, 20);
    // A batch of which every item is refused ends the read: a count that lies with refusals.
    tree.nodes[0].children.clear();
    const int refusing = list(u"", std::vector<std::u16string>(1000, u"x"));
    for (int item : tree.nodes[static_cast<std::size_t>(refusing)].children)
        tree.nodes[static_cast<std::size_t>(item)].answer = AccessAnswer::refused;
    tree.calls = 0;
    EXPECT_EQ(read().rows(), 0u);
    EXPECT_LT(tree.calls, 300);
}

TEST_F(AccessibleRead, GoneHungOrCancelledBetweenCallsKeepsTheItemsBefore)
{
    const int l = list(u"Sizes", {u"a", u"b", u"c", u"d"});
    const int third = tree.nodes[static_cast<std::size_t>(l)].children[2];
    struct Case {
        AccessAnswer answer;
        ReadEnd end;
    } cases[] = {{AccessAnswer::gone, ReadEnd::windowGone}, {AccessAnswer::unanswered, ReadEnd::notAnswering}};
    for (const Case& c : cases) {
        // A call that does not return in time: the follower knows one is in flight.
        tree.onCall = [&](int n) {
            EXPECT_TRUE(control.inCall);
            return n == third ? std::optional(c.answer) : std::nullopt;
        };
        const Listing got = read();
        EXPECT_EQ(got.end, c.end);
        EXPECT_EQ(renderText(got), u"a\r\nb\r\n");
    }
    tree.onCall = nullptr;
    tree.calls = 0;
    EXPECT_EQ(read().end, ReadEnd::complete);
    const int all = tree.calls;
    // A cancel before each question in turn: none asked after it.
    for (int allowed = 0; allowed < all; ++allowed) {
        tree.calls = 0;
        control.left = static_cast<std::size_t>(allowed) + 2; // the two list box counts first
        EXPECT_EQ(read().end, ReadEnd::cancelled);
        EXPECT_EQ(tree.calls, allowed);
    }
    control.left = SIZE_MAX;
    tree.onCall = [](int) { return std::optional(AccessAnswer::unanswered); };
    EXPECT_EQ(read().end, ReadEnd::notAnswering) << "a window that does not answer for its object";
}

} // namespace
