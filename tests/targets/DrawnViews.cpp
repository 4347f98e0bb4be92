// The fake's declarations come before <windows.h>, whose macros would rewrite the constants they name.
#include "desktop/fake/FakeAccessible.h"

#include "AccessibleServer.h"
#include "DrawnViews.h"

#include <string>

namespace drawn {

namespace {

using quorvel::FakeAccessibleTree;
namespace acc = quorvel::acc;

quorvel::Rect Line(int i, int left = 4)
{
    return {left, 4 + i * 18, left + 140, 22 + i * 18};
}

int Add(FakeAccessibleTree& t, std::uint32_t role, std::u16string name, int parent = 0, bool element = false,
        quorvel::Rect at = {}, std::optional<std::u16string> value = {})
{
    return t.add({.role = role, .name = std::move(name), .value = std::move(value), .element = element, .bounds = at},
                 parent);
}

// Kept apart from the tests' own copy so a slip on either side shows up.
void List(FakeAccessibleTree& t, bool)
{
    Add(t, acc::roleList, u"Sizes", -1);
    const char16_t* items[] = {u"small", u"Z\u00FCrich", u"", u"\u65E5\u672C\u8A9E"};
    for (int i = 0; i < 4; ++i)
        Add(t, acc::roleListItem, items[i], 0, i % 2 == 0, Line(i));
}

// As Windows Forms tells a grid: a top row of column headers with a corner over the row headers, and cells
// named by column and row with their text in the value; the second row's cells are told as ids.
void Grid(FakeAccessibleTree& t, bool)
{
    Add(t, acc::roleClient, u"Stock window", -1);
    const int table = Add(t, acc::roleTable, u"Stock"), top = Add(t, acc::roleRow, u"Top Row", table);
    const char16_t* columns[] = {u"", u"Name", u"Size", u"Note"};
    for (int c = 0; c < 4; ++c)
        Add(t, acc::roleColumnHeader, columns[c], top, false, {c * 60, 2, c * 60 + 58, 18});
    const char16_t* cells[3][3] = {
        {u"apple", u"12", u"Z\u00FCrich"}, {u"pear", u"", u"comma, \"quoted\""}, {u"\u65E5\u672C\u8A9E", u"7", u""}};
    for (int r = 0; r < 3; ++r) {
        const std::u16string row = u" Row " + std::u16string(1, static_cast<char16_t>(u'0' + r));
        const int line = Add(t, acc::roleRow, row.substr(1), table);
        Add(t, acc::roleRowHeader, u"", line);
        for (int c = 0; c < 3; ++c)
            Add(t, acc::roleCell, columns[c + 1] + row, line, r == 1,
                {60 + c * 60, 20 + r * 18, 118 + c * 60, 36 + r * 18}, cells[r][c]);
    }
}

// The same tree twice: items told by id with their level as value, and objects nesting items.
void Tree(FakeAccessibleTree& t, bool nested)
{
    Add(t, acc::roleOutline, u"Places", -1);
    const char16_t* names[] = {u"Europe", u"Schweiz", u"Z\u00FCrich", u"Asia", u"\u65E5\u672C"};
    const int levels[] = {0, 1, 2, 0, 1};
    int parents[3] = {0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        const int level = levels[i];
        const std::optional<std::u16string> value =
            nested ? std::nullopt : std::optional(std::u16string(1, static_cast<char16_t>(u'0' + level)));
        const int n = Add(t, acc::roleOutlineItem, names[i], nested ? parents[level] : 0, !nested || level == 2,
                          Line(i, 4 + level * 16), value);
        if (level < 2)
            parents[level + 1] = n;
    }
}

// Two lists side by side, for a point to choose between.
void Panel(FakeAccessibleTree& t, bool)
{
    Add(t, acc::roleClient, u"Panel", -1);
    const int fruits = Add(t, acc::roleList, u"Fruits", 0, false, {0, 0, 150, 100});
    const int colors = Add(t, acc::roleList, u"Colors", 0, false, {150, 0, 300, 100});
    int i = 0;
    for (const char16_t* item : {u"apple", u"pear", u"plum"})
        Add(t, acc::roleListItem, item, fruits, true, Line(i++));
    for (const char16_t* item : {u"red", u"green"})
        Add(t, acc::roleListItem, item, colors, false, Line(i++ - 3, 154));
}

} // namespace

bool MakeDrawnViews(target::NamedHandles& handles)
{
    HWND frame = CreateWindowExW(0, L"STATIC", L"Quorvel Demo Drawn", WS_OVERLAPPEDWINDOW, 520, 440, 500, 320, nullptr,
                                 nullptr, nullptr, nullptr);
    const struct {
        const char* name;
        void (*fill)(FakeAccessibleTree&, bool);
        bool nested;
        RECT at;
    } parts[] = {{"drawn_list", List, false, {5, 5, 155, 95}},
                 {"drawn_grid", Grid, false, {160, 5, 480, 95}},
                 {"drawn_tree", Tree, false, {5, 100, 155, 200}},
                 {"drawn_nested", Tree, true, {160, 100, 310, 200}},
                 {"drawn_panel", Panel, false, {5, 205, 310, 290}}};
    for (const auto& p : parts) {
        auto* tree = new FakeAccessibleTree; // kept for the life of the process
        p.fill(*tree, p.nested);
        HWND w = frame ? accserver::MakeWindow(frame, p.at, tree) : nullptr;
        if (!w)
            return false;
        handles.push_back({p.name, w});
    }
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    return true;
}

} // namespace drawn
