#include "desktop/fake/FakeAccessible.h"
#include "desktop/fake/FakeDesktop.h"
#include "listing/JsonRendering.h"
#include "listing/TextRendering.h"
#include "listreader/ListItemReader.h"
#include "listreader/accessible/AccessibleWalk.h"

#include <algorithm>
#include <climits>
#include <map>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

constexpr WindowHandle drawn = 600;
constexpr int none = -1; // a node's parent when it has none

// Cancels once it has allowed `left` asks, checks that every call is bracketed, one at a time, and keeps a
// clock that only pauses move on.
struct Follower : ReadControl {
    bool cancelled() override { return left == 0 || (--left, false); }
    void progress(Listing&) override {}
    void callStarted(bool) override { EXPECT_FALSE(std::exchange(inCall, true)); }
    void callReturned() override { EXPECT_TRUE(std::exchange(inCall, false)); }
    std::uint64_t nowMs() override { return clock; }
    void pause(std::uint32_t ms) override { clock += ms; }
    std::size_t left = SIZE_MAX;
    bool inCall = false;
    std::uint64_t clock = 0;
};

class AccessibleRead : public testing::Test {
protected:
    AccessibleRead()
    {
        desktop.add(drawn).className = u"DrawnList";
        tree.clients[drawn] = node(acc::roleClient, u"", none);
    }
    int node(std::uint32_t role, std::u16string name = u"", int parent = 0, bool element = false,
             std::optional<std::u16string> value = {})
    {
        return tree.add({.role = role, .name = std::move(name), .value = std::move(value), .element = element}, parent);
    }
    FakeAccNode& at(int n) { return tree.nodes[static_cast<std::size_t>(n)]; }
    // Items told as ids and as objects by turns.
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
        return l;
    }
    std::u16string text(bool headers = false) { return renderText(read(), {.headers = headers}); }

    FakeDesktop desktop;
    FakeAccessibleTree tree;
    Follower control;
};

TEST_F(AccessibleRead, ListOfIdsAndObjectsOnlyWhereNothingElseIs)
{
    list(u"Sizes", {u"S", u"", u"M\u00fc"});
    const Listing l = read();
    EXPECT_EQ((std::tuple{l.kind, l.accessible.role, l.accessible.name, l.rows(), l.end}),
              (std::tuple{ListKind::accessible, ListRole::list, std::u16string(u"Sizes"), 3u, ReadEnd::complete}));
    EXPECT_EQ(renderText(l), u"S\r\nM\u00fc\r\n");
    // Windows' own lists keep their readers; no object, or none with a list in it, reads nothing.
    desktop.window(drawn).kind = FakeKind::listBox;
    desktop.window(drawn).items = {u"native"};
    EXPECT_EQ(text(), u"native\r\n");
    desktop.window(drawn).kind = FakeKind::other;
    tree.clients[drawn] = node(acc::roleClient, u"", none);
    EXPECT_EQ(read().end, ReadEnd::nothingToRead);
    tree.clients.clear();
    EXPECT_EQ(read().end, ReadEnd::nothingToRead);
}

// Asked for, a list tells both states of each item, a question each; a mixed one is partly checked.
TEST_F(AccessibleRead, ItemsSelectedAndChecked)
{
    const int sizes = list(u"Sizes", {u"S", u"M", u"L"});
    at(sizes + 1).state = acc::stateSelected;
    at(sizes + 2).state = acc::stateMixed;
    at(sizes + 3).state = acc::stateSelected | acc::stateChecked;
    EXPECT_NE(renderJson(read({.states = true}))
                  .find(u"\"selected\": [0, 2],\r\n  \"checked\": [2],\r\n  \"partly\": [1]\r\n}"),
              std::u16string::npos);
    EXPECT_FALSE(read().tells(ItemState::checked));
}

TEST_F(AccessibleRead, TreeLevelsFromValuesOrFromNesting)
{
    // Levels from 1, as some programs count them, in the values of simple elements.
    const int flat = node(acc::roleOutline, u"Places");
    for (auto [name, level] : {std::pair{u"Europe", u"1"}, {u"Z\u00fcrich", u"3"}, {u"Asia", u"1"}})
        node(acc::roleOutlineItem, name, flat, true, level);
    at(flat).claimedChildren = INT_MAX;
    EXPECT_EQ(text(), u"Europe\r\n\t\tZ\u00fcrich\r\nAsia\r\n");
    // Objects nesting objects without values; an item's picture is no item, and one nesting its ancestor ends it.
    at(0).children.clear();
    const int nested = node(acc::roleOutline, u"Places"), europe = node(acc::roleOutlineItem, u"Europe", nested);
    node(acc::roleCell, u"picture", europe);
    const int unnamed = node(acc::roleOutlineItem, u"", europe);
    node(acc::roleOutlineItem, u"Z\u00fcrich", unnamed);
    node(acc::roleOutlineItem, u"Asia", nested);
    EXPECT_EQ(text(), u"Europe\r\n\t\tZ\u00fcrich\r\nAsia\r\n");
    at(unnamed).children.push_back(europe);
    EXPECT_EQ(text(), u"Europe\r\n\t\tZ\u00fcrich\r\n");
}

// A grid as Windows Forms tells one: a top row of column headers with a corner over the row headers, cells
// named by column and row with their text in the value.
TEST_F(AccessibleRead, TableAsAReportListViewAndAComboBoxAsItsList)
{
    const int grid = node(acc::roleTable, u"Stock"), top = node(acc::roleRow, u"Top Row", grid);
    for (const char16_t* h : {u"", u"Name", u"Size"})
        node(acc::roleColumnHeader, h, top);
    node(acc::roleCell, u"scroll bar", grid); // neither row nor header
    const std::optional<std::u16string> cells[3][2] = {{u"apple", u"12"}, {u"", u"7"}, {std::nullopt, u"3"}};
    int firstSize = 0;
    for (auto& row : cells) {
        const int r = node(acc::roleRow, u"Row", grid);
        node(acc::roleRowHeader, u"", r);
        node(acc::roleCell, u"Name Row", r, false, row[0]);
        const int size = node(acc::roleCell, u"Size Row", r, true, row[1]);
        firstSize = firstSize ? firstSize : size;
    }
    const Listing l = read();
    EXPECT_TRUE(l.report);
    EXPECT_EQ(renderText(l, {.headers = true}), u"Name\tSize\r\napple\t12\r\n\t7\r\nName Row\t3\r\n");
    // A value the program refuses is an unreadable cell, never its name; a row without cells is a row still.
    tree.onCall = [&](int n, FakeQuestion q) {
        return n == firstSize && q == FakeQuestion::value ? std::optional(AccessAnswer::refused) : std::nullopt;
    };
    node(acc::roleRow, u"Row", grid);
    const Listing refused = read();
    EXPECT_EQ((std::pair{refused.rows(), refused.unreadableRows()}), (std::pair<std::size_t, std::size_t>{4, 2}));
    EXPECT_EQ(renderText(refused), u"apple\t\r\n\t7\r\nName Row\t3\r\n");
    tree.onCall = nullptr;
    at(grid).children.pop_back();
    // Column headers straight under the table.
    at(top).role = acc::roleCell;
    const int a = node(acc::roleColumnHeader, u"A", none), b = node(acc::roleColumnHeader, u"B", none);
    at(grid).children.insert(at(grid).children.begin(), {a, b});
    EXPECT_EQ(text(true), u"A\tB\r\napple\t12\r\n\t7\r\nName Row\t3\r\n");
    at(0).children.clear();
    const int combo = node(acc::roleComboBox, u"Size");
    node(acc::roleCell, u"edit", combo);
    list(u"", {u"S", u"M"}, combo);
    EXPECT_EQ(text(), u"S\r\nM\r\n");
}

// Three lists in panes: the first, one named in any case, the one under a point.
TEST_F(AccessibleRead, ChoosesTheFirstByNameOrByPoint)
{
    const int pane = node(acc::roleClient, u"pane");
    list(u"Fruits", {u"apple"}, pane);
    list(u"Gr\u00d6\u00dfen", {u"S", u"M"}, pane);
    const int inner = node(acc::roleClient, u"inner", pane), colors = list(u"Colors", {u"red"}, inner);
    for (auto [n, r] : {std::pair{0, Rect{0, 0, 200, 200}},
                        {pane, {0, 0, 100, 100}},
                        {inner, {50, 50, 100, 100}},
                        {colors, {60, 60, 100, 100}}})
        at(n).bounds = r;
    const struct {
        std::optional<Point> at;
        const char16_t* name;
        std::u16string items;
        std::size_t number;
    } cases[] = {{{}, nullptr, u"apple\r\n", 1},
                 {{}, u"gR\u00f6\u00dfEN", u"S\r\nM\r\n", 2},
                 {Point{70, 70}, nullptr, u"red\r\n", 3},
                 {Point{150, 150}, u"colors", u"red\r\n", 3},
                 {Point{300, 300}, nullptr, u"apple\r\n", 1},
                 {{}, u"Fruit", u"", 0}};
    for (const auto& c : cases) {
        ReadOptions options{.at = c.at};
        if (c.name)
            options.name = c.name;
        const Listing l = read(options);
        EXPECT_EQ(renderText(l), c.items);
        EXPECT_EQ(l.accessible.number, c.number);
        EXPECT_EQ(l.end, c.number ? ReadEnd::complete : ReadEnd::nothingToRead);
    }
}

TEST_F(AccessibleRead, WalkEndsAtACycleAndWithinItsBounds)
{
    // A list after a child that leads back to the window's object is not reached.
    list(u"first", {u"a"});
    at(node(acc::roleClient, u"pane")).children.push_back(0);
    list(u"after", {u"b"});
    EXPECT_EQ(read().accessible.count, 1u);
    // Far deeper and wider than the bounds: the lists beyond them are not found, in few calls.
    at(0).children.clear();
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
    at(at(l).children[1]).answer = AccessAnswer::refused;
    at(at(l).children[2]).name = std::u16string(10 << 20, u'x');
    at(l).claimedChildren = INT_MAX; // past the three, children the list does not have
    const Listing got = read();
    EXPECT_EQ(got.rows(), 3u) << "the refused and the too long stay, unreadable";
    EXPECT_EQ(got.unreadableRows(), 2u);
    EXPECT_TRUE(renderText(got) == u"S\r\n");
    EXPECT_LT(tree.calls, 20);
    // More refusals in a row than any list's own end the read, refused: a count that lies with refusals
    // costs hundreds of questions, not billions.
    at(0).children.clear();
    for (int item : at(list(u"", std::vector<std::u16string>(1000, u"x"))).children)
        at(item).answer = AccessAnswer::refused;
    tree.calls = 0;
    const Listing refused = read();
    EXPECT_EQ((std::tuple{refused.rows(), refused.end}), (std::tuple{std::size_t{0}, ReadEnd::refused}));
    EXPECT_LT(tree.calls, 1000);
}

// Only the program ends a list: a refused count is no empty list, a refused batch no end, a refused name an
// unreadable item in its place; a program busy for a moment is asked again.
TEST_F(AccessibleRead, RefusalsAreCountedNeverTakenForTheEnd)
{
    const struct {
        const char* name;
        bool enumerator;
        FakeQuestion question;
        int from, to; // the items (-1: the list) whose question is answered so
        AccessAnswer answer;
        int times; // how many times; 0: always
        std::size_t rows, unreadable;
        ReadEnd end;
    } cases[] = {
        {"CountRefused", false, FakeQuestion::count, -1, -1, AccessAnswer::refused, 0, 300, 0, ReadEnd::complete},
        {"CountRefusedEnumerated", true, FakeQuestion::count, -1, -1, AccessAnswer::refused, 0, 300, 0,
         ReadEnd::complete},
        {"BatchRefused", true, FakeQuestion::enumerate, -1, -1, AccessAnswer::refused, 0, 0, 0, ReadEnd::refused},
        {"NamesRefused", false, FakeQuestion::name, 7, 9, AccessAnswer::refused, 0, 300, 3, ReadEnd::complete},
        {"RunOf256AtTheEnd", true, FakeQuestion::name, 44, 299, AccessAnswer::refused, 0, 300, 256, ReadEnd::complete},
        {"RunOf257", false, FakeQuestion::name, 43, 299, AccessAnswer::refused, 0, 43, 0, ReadEnd::refused},
        {"BusyThatClears", false, FakeQuestion::name, 5, 5, AccessAnswer::busy, 3, 300, 0, ReadEnd::complete},
        {"BusyThatDoesNot", false, FakeQuestion::name, 5, 5, AccessAnswer::busy, 0, 5, 0, ReadEnd::notAnswering},
    };
    for (const auto& c : cases) {
        at(0).children.clear();
        const int l = list(u"", std::vector<std::u16string>(300, u"x"));
        at(l).enumerator = c.enumerator;
        std::map<int, int> asked;
        tree.onCall = [&](int n, FakeQuestion q) -> std::optional<AccessAnswer> {
            const auto& items = at(l).children;
            const int item = n == l ? -1 : static_cast<int>(std::find(items.begin(), items.end(), n) - items.begin());
            if (q != c.question || item < c.from || item > c.to || (c.times && ++asked[n] > c.times))
                return std::nullopt;
            return c.answer;
        };
        control.clock = 0;
        const Listing got = read();
        EXPECT_EQ((std::tuple{got.rows(), got.unreadableRows(), got.end}), (std::tuple{c.rows, c.unreadable, c.end}))
            << c.name;
        // Asked again after a pause each, for as long as a message may take.
        EXPECT_EQ(control.clock, c.answer != AccessAnswer::busy ? 0
                                 : c.times                      ? c.times * Reading::busyPauseMs
                                                                : answerBoundMs)
            << c.name;
    }
}

TEST_F(AccessibleRead, GoneHungOrCancelledBetweenCallsKeepsTheItemsBefore)
{
    const int third = at(list(u"Sizes", {u"a", u"b", u"c", u"d"})).children[2];
    for (const std::pair<AccessAnswer, ReadEnd>& c :
         {std::pair{AccessAnswer::gone, ReadEnd::windowGone}, {AccessAnswer::unanswered, ReadEnd::notAnswering}}) {
        // A call that does not come back in time: whoever follows the read knows one is in flight.
        tree.onCall = [&](int n, FakeQuestion) {
            EXPECT_TRUE(control.inCall);
            return n == third ? std::optional(c.first) : std::nullopt;
        };
        const Listing got = read();
        EXPECT_EQ(got.end, c.second);
        EXPECT_EQ(renderText(got), u"a\r\nb\r\n");
    }
    tree.onCall = nullptr;
    tree.calls = 0;
    EXPECT_EQ(read().end, ReadEnd::complete);
    // A cancel before each question in turn: none is asked after it.
    for (int allowed = 0, all = tree.calls; allowed < all; ++allowed) {
        tree.calls = 0;
        control.left = static_cast<std::size_t>(allowed) + 2; // the list box and combo box counts first
        EXPECT_EQ(read().end, ReadEnd::cancelled);
        EXPECT_EQ(tree.calls, allowed);
    }
    control.left = SIZE_MAX;
    tree.onCall = [](int, FakeQuestion) { return std::optional(AccessAnswer::unanswered); };
    EXPECT_EQ(read().end, ReadEnd::notAnswering) << "a window that does not answer for its object";
}

} // namespace
