#include "DrawnViews.h"

#include "AccessibleNodes.h"

#include <string>

namespace drawn {

namespace {

using accnodes::Table;

RECT Line(int i, LONG left = 4)
{
    return {left, 4 + i * 18, left + 140, 22 + i * 18};
}

// Kept apart from the tests' own copy so a slip on either side shows up.
void List(Table& t, bool)
{
    t.Add(ROLE_SYSTEM_LIST, L"Sizes", -1);
    const wchar_t* items[] = {L"small", L"Z\u00FCrich", L"", L"\u65E5\u672C\u8A9E"};
    for (int i = 0; i < 4; ++i)
        t.Add(ROLE_SYSTEM_LISTITEM, items[i], 0, i % 2 == 0, Line(i));
}

// As Windows Forms tells a grid: a top row of column headers with a corner over the row headers, and cells
// named by column and row with their text in the value; the second row's cells are told as ids.
void Grid(Table& t, bool)
{
    t.Add(ROLE_SYSTEM_CLIENT, L"Stock window", -1);
    const int table = t.Add(ROLE_SYSTEM_TABLE, L"Stock"), top = t.Add(ROLE_SYSTEM_ROW, L"Top Row", table);
    const wchar_t* columns[] = {L"", L"Name", L"Size", L"Note"};
    for (int c = 0; c < 4; ++c)
        t.Add(ROLE_SYSTEM_COLUMNHEADER, columns[c], top, false, {c * 60, 2, c * 60 + 58, 18});
    const wchar_t* cells[3][3] = {
        {L"apple", L"12", L"Z\u00FCrich"}, {L"pear", L"", L"comma, \"quoted\""}, {L"\u65E5\u672C\u8A9E", L"7", L""}};
    for (int r = 0; r < 3; ++r) {
        const int row = t.Add(ROLE_SYSTEM_ROW, L"Row " + std::to_wstring(r), table);
        t.Add(ROLE_SYSTEM_ROWHEADER, L"", row);
        for (int c = 0; c < 3; ++c)
            t.nodes[t.Add(ROLE_SYSTEM_CELL, columns[c + 1] + (L" Row " + std::to_wstring(r)), row, r == 1,
                          {60 + c * 60, 20 + r * 18, 118 + c * 60, 36 + r * 18})]
                .value = cells[r][c];
    }
}

// The same tree twice: items told by id with their level as value, and objects nesting items.
void Tree(Table& t, bool nested)
{
    t.Add(ROLE_SYSTEM_OUTLINE, L"Places", -1);
    const wchar_t* names[] = {L"Europe", L"Schweiz", L"Z\u00FCrich", L"Asia", L"\u65E5\u672C"};
    const int levels[] = {0, 1, 2, 0, 1};
    static const wchar_t* const values[] = {L"0", L"1", L"2"};
    int parents[3] = {0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        const int level = levels[i];
        const int n = t.Add(ROLE_SYSTEM_OUTLINEITEM, names[i], nested ? parents[level] : 0, !nested || level == 2,
                            Line(i, 4 + level * 16));
        t.nodes[n].value = nested ? nullptr : values[level];
        if (level < 2)
            parents[level + 1] = n;
    }
}

// Two lists side by side, for a point to choose between.
void Panel(Table& t, bool)
{
    t.Add(ROLE_SYSTEM_CLIENT, L"Panel", -1);
    const int fruits = t.Add(ROLE_SYSTEM_LIST, L"Fruits", 0, false, {0, 0, 150, 100});
    const int colors = t.Add(ROLE_SYSTEM_LIST, L"Colors", 0, false, {150, 0, 300, 100});
    int i = 0;
    for (const wchar_t* item : {L"apple", L"pear", L"plum"})
        t.Add(ROLE_SYSTEM_LISTITEM, item, fruits, true, Line(i++));
    for (const wchar_t* item : {L"red", L"green"})
        t.Add(ROLE_SYSTEM_LISTITEM, item, colors, false, Line(i++ - 3, 154));
}

} // namespace

bool MakeDrawnViews(target::NamedHandles& handles)
{
    HWND frame = CreateWindowExW(0, L"STATIC", L"Quorvel Demo Drawn", WS_OVERLAPPEDWINDOW, 520, 440, 500, 320, nullptr,
                                 nullptr, nullptr, nullptr);
    const struct {
        const char* name;
        void (*fill)(Table&, bool);
        bool nested;
        RECT at;
    } parts[] = {{"drawn_list", List, false, {5, 5, 155, 95}},
                 {"drawn_grid", Grid, false, {160, 5, 480, 95}},
                 {"drawn_tree", Tree, false, {5, 100, 155, 200}},
                 {"drawn_nested", Tree, true, {160, 100, 310, 200}},
                 {"drawn_panel", Panel, false, {5, 205, 310, 290}}};
    for (const auto& p : parts) {
        auto* table = new Table; // kept for the life of the process
        p.fill(*table, p.nested);
        HWND w = frame ? accnodes::MakeWindow(frame, p.at, table) : nullptr;
        if (!w)
            return false;
        handles.push_back({p.name, w});
    }
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    return true;
}

} // namespace drawn
