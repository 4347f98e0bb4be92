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
Table* List()
{
    auto* t = new Table;
    t->Add(ROLE_SYSTEM_LIST, L"Sizes", -1);
    const wchar_t* items[] = {L"small", L"Z\u00FCrich", L"", L"\u65E5\u672C\u8A9E"};
    for (int i = 0; i < 4; ++i)
        t->Add(ROLE_SYSTEM_LISTITEM, items[i], 0, i % 2 == 0, Line(i));
    return t;
}

// A top row of column headers with a corner over the row headers; cells named by column and row, their text
// in the value; the second row's cells told as ids.
Table* Grid()
{
    auto* t = new Table;
    t->Add(ROLE_SYSTEM_CLIENT, L"Stock window", -1);
    const int table = t->Add(ROLE_SYSTEM_TABLE, L"Stock");
    const int top = t->Add(ROLE_SYSTEM_ROW, L"Top Row", table);
    const wchar_t* columns[] = {L"", L"Name", L"Size", L"Note"};
    for (int c = 0; c < 4; ++c)
        t->Add(ROLE_SYSTEM_COLUMNHEADER, columns[c], top, false, {c * 60, 2, c * 60 + 58, 18});
    const wchar_t* cells[3][3] = {
        {L"apple", L"12", L"Z\u00FCrich"}, {L"pear", L"", L"comma, \"quoted\""}, {L"\u65E5\u672C\u8A9E", L"7", L""}};
    for (int r = 0; r < 3; ++r) {
        const std::wstring row = L" Row " + std::to_wstring(r);
        const int line = t->Add(ROLE_SYSTEM_ROW, row.substr(1), table);
        t->Add(ROLE_SYSTEM_ROWHEADER, L"", line);
        for (int c = 0; c < 3; ++c) {
            const LONG y = 20 + r * 18;
            const int cell =
                t->Add(ROLE_SYSTEM_CELL, columns[c + 1] + row, line, r == 1, {60 + c * 60, y, 118 + c * 60, y + 16});
            t->nodes[cell].value = cells[r][c];
        }
    }
    return t;
}

// The same tree twice: items told by id with their level as value, and items nesting items.
Table* Tree(bool nested)
{
    auto* t = new Table;
    t->Add(ROLE_SYSTEM_OUTLINE, L"Places", -1);
    const struct {
        const wchar_t* name;
        int level;
    } items[] = {{L"Europe", 0}, {L"Schweiz", 1}, {L"Z\u00FCrich", 2}, {L"Asia", 0}, {L"\u65E5\u672C", 1}};
    static const wchar_t* const levels[] = {L"0", L"1", L"2"};
    int parents[3] = {0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        const int level = items[i].level;
        const int n = t->Add(ROLE_SYSTEM_OUTLINEITEM, items[i].name, nested ? parents[level] : 0, !nested || level == 2,
                             Line(i, 4 + level * 16));
        if (nested && level < 2)
            parents[level + 1] = n;
        else if (!nested)
            t->nodes[n].value = levels[level];
    }
    return t;
}

// Two lists side by side, for a point to choose between.
Table* Panel()
{
    auto* t = new Table;
    t->Add(ROLE_SYSTEM_CLIENT, L"Panel", -1);
    const int fruits = t->Add(ROLE_SYSTEM_LIST, L"Fruits", 0, false, {0, 0, 150, 100});
    const int colors = t->Add(ROLE_SYSTEM_LIST, L"Colors", 0, false, {150, 0, 300, 100});
    for (const wchar_t* item : {L"apple", L"pear", L"plum"})
        t->Add(ROLE_SYSTEM_LISTITEM, item, fruits, true, Line(static_cast<int>(t->nodes.size()) - 3));
    for (const wchar_t* item : {L"red", L"green"})
        t->Add(ROLE_SYSTEM_LISTITEM, item, colors, false, Line(static_cast<int>(t->nodes.size()) - 6, 154));
    return t;
}

} // namespace

bool MakeDrawnViews(target::NamedHandles& handles)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuorvelDemoDrawn";
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"Quorvel Demo Drawn", WS_OVERLAPPEDWINDOW, 520, 440, 500, 320,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!frame)
        return false;
    const struct {
        const char* name;
        Table* table;
        RECT at;
    } parts[] = {{"drawn_list", List(), {5, 5, 155, 95}},
                 {"drawn_grid", Grid(), {160, 5, 480, 95}},
                 {"drawn_tree", Tree(false), {5, 100, 155, 200}},
                 {"drawn_nested", Tree(true), {160, 100, 310, 200}},
                 {"drawn_panel", Panel(), {5, 205, 310, 290}}};
    for (const auto& p : parts) {
        HWND w = accnodes::MakeWindow(frame, p.at, p.table);
        if (!w)
            return false;
        handles.push_back({p.name, w});
    }
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    return true;
}

} // namespace drawn
