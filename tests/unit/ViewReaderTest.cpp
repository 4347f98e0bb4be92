#include "desktop/ControlMessages.h"
#include "listing/JsonRendering.h"
#include "listreader/ControlClass.h"
#include "tests/support/InlineReadRunner.h"
#include "tests/support/ReadText.h"

#include "desktop/fake/FakeDesktop.h"

#include <climits>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>

using namespace quorvel;

namespace {

constexpr WindowHandle view = 700, header = 701;

struct ClassCase {
    const char16_t* name;
    ControlClass kind;
};

// Readable test names: the class name as UTF-8 (ASCII here).
std::string ascii(const char16_t* s)
{
    std::string out;
    for (; *s; ++s)
        out += static_cast<char>(*s < 0x80 ? *s : '?');
    return out;
}
void PrintTo(const ClassCase& c, std::ostream* os)
{
    *os << '"' << ascii(c.name) << '"';
}

class Classify : public testing::TestWithParam<ClassCase> {};

TEST_P(Classify, NamesOnlyTheSystemControls)
{
    EXPECT_EQ(classifyControl(GetParam().name), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Classify,
    testing::Values(
        ClassCase{u"SysListView32", ControlClass::listView}, ClassCase{u"syslistview32", ControlClass::listView},
        ClassCase{u"SysTreeView32", ControlClass::treeView}, ClassCase{u"SysHeader32", ControlClass::header},
        ClassCase{u"Edit", ControlClass::edit}, ClassCase{u"ComboBox", ControlClass::comboBox},
        ClassCase{u"ComboBoxEx32", ControlClass::comboBoxEx}, ClassCase{u"ComboLBox", ControlClass::listBox},
        ClassCase{u"LISTBOX", ControlClass::listBox},
        ClassCase{u"WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1", ControlClass::listView},
        ClassCase{u"WindowsForms10.SysTreeView32.app.0.141b42a_r9_ad1", ControlClass::treeView},
        ClassCase{u"WindowsForms10.EDIT.app.0.2bf8098_r6_ad1", ControlClass::edit},
        ClassCase{u"SysListView32Ex", ControlClass::unknown}, ClassCase{u"MySysListView32", ControlClass::unknown},
        ClassCase{u"WindowsForms10.SysListView32", ControlClass::unknown},
        ClassCase{u"WindowsForms10.Custom.app.0.1", ControlClass::unknown},
        ClassCase{u"WindowsForms10..app.0.1", ControlClass::unknown}, ClassCase{u"", ControlClass::unknown},
        ClassCase{u"DirectUIHWND", ControlClass::unknown}, ClassCase{u"SysTabControl32", ControlClass::tabControl},
        ClassCase{u"tpagecontrol", ControlClass::tabControl}, ClassCase{u"msctls_statusbar32", ControlClass::statusBar},
        ClassCase{u"TToolBar", ControlClass::toolbar}, ClassCase{u"THeaderControl", ControlClass::header},
        ClassCase{u"TListBox", ControlClass::listBox}, ClassCase{u"ThunderRT6ComboBox", ControlClass::comboBox},
        ClassCase{u"ListView20WndClass", ControlClass::listView},
        ClassCase{u"StatusBarWndClass", ControlClass::statusBar}, ClassCase{u"msvb_lib_toolbar", ControlClass::toolbar},
        ClassCase{u"WindowsForms10.msctls_statusbar32.app.0.1", ControlClass::statusBar},
        ClassCase{u"ATL:SysListView32", ControlClass::listView}, ClassCase{u"atl:TTreeView", ControlClass::treeView},
        ClassCase{u"TTntListView.UnicodeClass", ControlClass::listView},
        ClassCase{u"Afx:ToolBar:400000:8:10003:10", ControlClass::toolbar},
        // Matched whole, never in part; an address after ATL: or Afx: names no class.
        ClassCase{u"ATL:0044D2A8", ControlClass::unknown}, ClassCase{u"ATL:", ControlClass::unknown},
        ClassCase{u"Afx:00400000:8:10003:0:0", ControlClass::unknown},
        ClassCase{u".UnicodeClass", ControlClass::unknown}, ClassCase{u"TListViewEx", ControlClass::unknown},
        ClassCase{u"Toolbar20WndClass", ControlClass::unknown},
        ClassCase{u"WindowsFormsX.ListBox.app.0.1", ControlClass::unknown},
        ClassCase{u"TMyTreeView.UnicodeClass", ControlClass::unknown}));

// Runs against a target in a 32-bit and a 64-bit process: the structures
// differ in layout, and 64-bit addresses and item handles lie above 4 GiB.
class Views : public testing::TestWithParam<int> {
protected:
    Views() { desktop.process(1) = FakeProcess(GetParam()); }

    FakeWindow& listView(std::vector<std::vector<std::u16string>> rows, std::int32_t columns, bool report = true)
    {
        FakeWindow& w = desktop.add(view, FakeKind::listView);
        w.process = 1;
        w.rows = std::move(rows);
        w.columns = columns;
        w.style = report ? win::LVS_REPORT : 0;
        w.header = header;
        desktop.add(header, FakeKind::header).parent = view;
        desktop.window(header).process = 1;
        return w;
    }
    FakeWindow& treeView(std::vector<FakeTreeItem> items)
    {
        FakeWindow& w = desktop.add(view, FakeKind::treeView);
        w.process = 1;
        w.tree = std::move(items);
        return w;
    }
    std::u16string read(WindowHandle h = view) { return readText(desktop, h); }
    void expectNothingLeft()
    {
        EXPECT_EQ(desktop.liveProcessHandles(), 0);
        EXPECT_EQ(desktop.liveRemoteBlocks(), 0);
    }
    void hook(std::function<std::optional<MessageResult>(unsigned, std::uintptr_t, std::intptr_t)> h)
    {
        desktop.window(view).hook = std::move(h);
    }
    FakeProcess& process() { return desktop.process(1); }

    FakeDesktop desktop;
};

INSTANTIATE_TEST_SUITE_P(Bitness, Views, testing::Values(4, 8), [](const auto& info) {
    return info.param == 4 ? std::string("Process32") : std::string("Process64");
});

TEST_P(Views, ReportRowsFollowTheShownColumnOrder)
{
    FakeWindow& w = listView({{u"Z\u00fcrich", u"", u"c"}, {u"", u"", u""}, {u"\u65e5\u672c\u8a9e", u"b2", u"c2"}}, 3);
    w.columnOrder = {2, 0, 1};
    // A name too long for its text slot is fetched again.
    const std::u16string longName(300, u'N');
    w.columnNames = {u"Name", longName, u"No."};
    EXPECT_EQ(read(), u"c\tZ\u00fcrich\t\r\nc2\t\u65e5\u672c\u8a9e\tb2\r\n");
    UnfollowedRead control;
    EXPECT_EQ(readListItems(desktop, view, control).columns, (std::vector<std::u16string>{u"No.", u"Name", longName}));
    EXPECT_EQ(process().allocations, 2);
    expectNothingLeft();
}

TEST_P(Views, OtherViewsShowTheLabelsAlone)
{
    listView({{u"one", u"hidden"}, {u"", u"hidden too"}, {u"three", u"x"}}, 2, false);
    EXPECT_EQ(read(), u"one\r\nthree\r\n");
}

// The system's list view keeps its view in its style bits; a framework's own copy of the control may not,
// and its view is told by its header, which only report view shows.
TEST_P(Views, ReportViewOfAFrameworksOwnCopyIsToldByItsHeader)
{
    FakeWindow& w = listView({{u"a", u"b"}}, 2, false);
    w.className = u"ListView20WndClass";
    desktop.window(header).style = win::WS_VISIBLE;
    EXPECT_EQ(read(), u"a\tb\r\n");
    desktop.window(header).style = 0;
    w.style = win::LVS_REPORT;
    EXPECT_EQ(read(), u"a\r\n");
    w.className = u"SysListView32";
    EXPECT_EQ(read(), u"a\tb\r\n");
}

// A report view with no rows is still a table: its columns are told, and nothing else is asked.
TEST_P(Views, EmptyReportViewKeepsItsColumns)
{
    FakeWindow& w = listView({}, 2);
    w.columnNames = {u"Name", u"Type"};
    UnfollowedRead control;
    const Listing listing = readListItems(desktop, view, control);
    EXPECT_TRUE(listing.report);
    EXPECT_EQ(listing.columns, (std::vector<std::u16string>{u"Name", u"Type"}));
    EXPECT_EQ(listing.rows(), 0u);
    EXPECT_EQ(listing.end, ReadEnd::complete);
    expectNothingLeft();
}

TEST_P(Views, HeaderStandsForItsListView)
{
    listView({{u"a", u"b"}}, 2);
    EXPECT_EQ(read(header), u"a\tb\r\n");
}

struct ItemsCase {
    FakeKind kind;
    unsigned countMessage;
    std::vector<std::u16string> items;
    std::set<std::size_t> marked;
    std::vector<std::u16string> shown;
};

const std::u16string s300(300, u's'), p1000(1000, u'p'), zurich = u"Z\u00fcrich";

// Texts longer than a slot, empty ones, separators and owner-drawn parts, and a header's columns shown 2, 0, 1.
const ItemsCase itemsCases[] = {
    {FakeKind::tabControl, win::TCM_GETITEMCOUNT, {u"General", u"", zurich, s300}, {}, {u"General", zurich, s300}},
    {FakeKind::statusBar, win::SB_GETPARTS, {u"Ready", u"", p1000, u"drawn", zurich}, {3}, {u"Ready", p1000, zurich}},
    {FakeKind::toolbar, win::TB_BUTTONCOUNT, {u"Open", u"sep", u"", s300, u"Save"}, {1}, {u"Open", s300, u"Save"}},
    {FakeKind::header, win::HDM_GETITEMCOUNT, {u"Name", u"Size", s300}, {}, {s300, u"Name", u"Size"}},
};

TEST_P(Views, TabsPartsButtonsAndColumnsWhateverTheirCountClaims)
{
    for (const ItemsCase& c : itemsCases) {
        for (std::intptr_t claim : {std::intptr_t{0}, std::intptr_t{-1}, std::intptr_t{INT_MAX}}) {
            desktop.destroy(view);
            FakeWindow& w = desktop.add(view, c.kind);
            w.process = 1;
            w.items = c.items;
            w.marked = c.marked;
            w.columnOrder = {2, 0, 1}; // the header's
            // Lies about the count after answering as the control would.
            bool passing = false;
            w.hook = [&](unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) -> std::optional<MessageResult> {
                if (!claim || msg != c.countMessage || std::exchange(passing, true))
                    return std::nullopt;
                desktop.sendMessage(view, msg, wParam, lParam);
                passing = false;
                return MessageResult{true, claim};
            };
            std::u16string expected;
            for (const std::u16string& line : c.shown)
                expected += claim < 0 ? u"" : line + u"\r\n";
            desktop.sentMessages.clear();
            EXPECT_EQ(read(), expected) << static_cast<int>(c.kind) << " claiming " << claim;
            EXPECT_LT(desktop.sentMessages.size(), 600u) << static_cast<int>(c.kind) << " claiming " << claim;
            expectNothingLeft();
        }
    }
    // In simple mode a status bar shows its one text, not its parts.
    desktop.destroy(view);
    FakeWindow& bar = desktop.add(view, FakeKind::statusBar);
    bar.process = 1;
    bar.items = {u"hidden"};
    bar.simple = true;
    bar.text = u"simple text";
    EXPECT_EQ(read(), u"simple text\r\n");
}

TEST_P(Views, TreeListsEveryItemIndentedByLevel)
{
    treeView({{u"top"},
              {u"child", 0},
              {u"grandchild", 1},
              {u"", 1},
              {u"under empty", 3},
              {u"second child", 0},
              {u"next top"}});
    EXPECT_EQ(read(), u"top\r\n\tchild\r\n\t\tgrandchild\r\n\t\t\tunder empty\r\n\tsecond child\r\nnext top\r\n");
    expectNothingLeft();
}

TEST_P(Views, ComboBoxExItemsComeFromTheComboBoxExItself)
{
    constexpr WindowHandle comboEx = 710, inner = 711, edit = 712;
    FakeWindow& w = desktop.add(comboEx, FakeKind::comboBoxEx);
    w.process = 1;
    w.items = {u"first", u"", u"Z\u00fcrich", std::u16string(3000, u'x')};
    // The inner combo box is owner-drawn without strings: what it holds are not texts.
    FakeWindow& innerCombo = desktop.add(inner, FakeKind::comboBox);
    innerCombo.parent = comboEx;
    innerCombo.style = win::CBS_OWNERDRAWFIXED;
    innerCombo.items = {u"\x1234", u"\x5678"};
    desktop.add(edit, FakeKind::edit).parent = inner;
    const std::u16string expected = u"first\r\nZ\u00fcrich\r\n" + std::u16string(3000, u'x') + u"\r\n";
    EXPECT_EQ(read(comboEx), expected);
    EXPECT_EQ(read(edit), expected);
    EXPECT_EQ(read(inner), expected);
    UnfollowedRead control;
    for (WindowHandle through : {edit, inner})
        EXPECT_EQ(readListItems(desktop, through, control).readFrom.className, u"ComboBoxEx32");
    // A count that claims too many ends after a batch of items that don't exist.
    w.hook = [](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::CB_GETCOUNT)
            return MessageResult{true, INT_MAX};
        return std::nullopt;
    };
    desktop.sentMessages.clear();
    EXPECT_EQ(read(comboEx), expected);
    EXPECT_LE(desktop.sentMessages.size(), 1u + 2 * 256 + 2); // two refetches of the long item
    expectNothingLeft();
}

TEST_P(Views, ManyRowsComeInBatchesWithOneAllocation)
{
    std::vector<std::vector<std::u16string>> rows;
    std::u16string expected;
    for (int i = 0; i < 1000; ++i) {
        rows.push_back({u"r" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)), u"x"});
        expected += rows.back()[0] + u"\tx\r\n";
    }
    listView(rows, 2);
    EXPECT_EQ(read(), expected);
    EXPECT_EQ(process().allocations, 1);
    expectNothingLeft();
}

TEST_P(Views, TextsThatFillTheirSlotAreFetchedAgainUpToTheLimit)
{
    const std::u16string mid(2000, u'm'), big(300000, u'b'), tooBig((std::size_t{1} << 20) + 5, u'x');
    listView({{mid}, {big}, {tooBig}, {u"last"}}, 1);
    EXPECT_EQ(read(), mid + u"\r\n" + big + u"\r\nlast\r\n");
    expectNothingLeft();
}

TEST_P(Views, TextTheControlPointsAtInsteadIsReadWithinItsLength)
{
    listView({{u"a"}, {u"b"}, {u"c"}}, 1);
    const RemoteAddress own = process().plantText(u"own text, longer than answered");
    const int textField = GetParam() == 8 ? 24 : 20;
    hook([&](unsigned msg, std::uintptr_t row, std::intptr_t lParam) -> std::optional<MessageResult> {
        if (msg != win::LVM_GETITEMTEXTW || row == 2)
            return std::nullopt;
        // Row 0 points at text of its own; row 1 at memory that can't be read.
        const RemoteAddress pointed = row == 0 ? own : RemoteAddress{0x1000};
        process().write(process().fromParam(lParam) + textField, &pointed, static_cast<std::size_t>(GetParam()));
        return MessageResult{true, 8};
    });
    EXPECT_EQ(read(), u"own text\r\nc\r\n");
    expectNothingLeft();
}

TEST_P(Views, LyingCountsEndAtTheRealItems)
{
    FakeWindow& w = listView({{u"a", u"b", u"c"}, {u"d", u"e", u"f"}}, 3);
    for (std::intptr_t claim : {std::intptr_t{INT_MAX}, std::intptr_t{-1}, std::intptr_t{INT_MIN}, std::intptr_t{0}}) {
        w.hook = [claim](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
            if (msg == win::LVM_GETITEMCOUNT)
                return MessageResult{true, claim};
            return std::nullopt;
        };
        desktop.sentMessages.clear();
        EXPECT_EQ(read(), claim > 0 ? u"a\tb\tc\r\nd\te\tf\r\n" : u"") << claim;
        EXPECT_LT(desktop.sentMessages.size(), 60u) << claim;
    }
    expectNothingLeft();
}

TEST_P(Views, HeaderClaimingTooManyColumnsGivesTheRealOnes)
{
    listView({{u"a", u"b", u"c"}}, 3);
    desktop.window(header).hook = [](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::HDM_GETITEMCOUNT)
            return MessageResult{true, 100000};
        return std::nullopt;
    };
    EXPECT_EQ(read(), u"a\tb\tc\r\n");
}

TEST_P(Views, ABadColumnOrderFallsBackToIndexOrder)
{
    FakeWindow& w = listView({{u"a", u"b", u"c"}}, 3);
    w.columnOrder = {0, 0, 1};
    EXPECT_EQ(read(), u"a\tb\tc\r\n");
}

TEST_P(Views, TreeWalkEndsAtACycleAndAtTheCount)
{
    treeView({{u"a"}, {u"b", 0}, {u"c", 1}, {u"d"}});
    const RemoteAddress a = desktop.treeItem(view, 0), c = desktop.treeItem(view, 2);
    for (RemoteAddress loopTo : {a, c}) {
        // c's child is an ancestor (a) or c itself.
        hook([&, loopTo](unsigned msg, std::uintptr_t relation, std::intptr_t from) -> std::optional<MessageResult> {
            if (msg == win::TVM_GETNEXTITEM && relation == win::TVGN_CHILD && process().fromParam(from) == c)
                return MessageResult{true, static_cast<std::intptr_t>(loopTo)};
            return std::nullopt;
        });
        EXPECT_EQ(read(), u"a\r\n\tb\r\n\t\tc\r\n");
    }
    // A count smaller than the tree bounds the walk.
    hook([](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::TVM_GETCOUNT)
            return MessageResult{true, 2};
        return std::nullopt;
    });
    EXPECT_EQ(read(), u"a\r\n\tb\r\n");
    expectNothingLeft();
}

TEST_P(Views, UnansweredMessageEndsTheReadKeepingWholeLines)
{
    std::vector<std::vector<std::u16string>> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({u"x", u"y"});
    listView(rows, 2);
    int texts = 0;
    hook([&](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LVM_GETITEMTEXTW && ++texts == 301)
            return MessageResult{};
        return std::nullopt;
    });
    std::u16string expected;
    for (int i = 0; i < 150; ++i)
        expected += u"x\ty\r\n";
    EXPECT_EQ(read(), expected);
    expectNothingLeft();

    treeView({{u"a"}, {u"b", 0}, {u"c"}});
    hook([](unsigned msg, std::uintptr_t relation, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::TVM_GETNEXTITEM && relation == win::TVGN_NEXT)
            return MessageResult{};
        return std::nullopt;
    });
    EXPECT_EQ(read(), u"");
    expectNothingLeft();
}

TEST_P(Views, RemoteMemoryIsReleasedOnEveryPath)
{
    listView({{u"a"}, {u"b"}}, 1);
    hook([](unsigned msg, std::uintptr_t row, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LVM_GETITEMTEXTW && row == 1)
            throw std::runtime_error("target went away");
        return std::nullopt;
    });
    EXPECT_THROW(read(), std::runtime_error);
    expectNothingLeft();

    hook(nullptr);
    process().allocFails = true;
    EXPECT_EQ(read(), u"");
    expectNothingLeft();

    process().allocFails = false;
    process().openable = false;
    const int allocations = process().allocations;
    EXPECT_EQ(read(), u"");
    EXPECT_EQ(process().allocations, allocations);
    expectNothingLeft();
}

using Rows = std::vector<std::size_t>;
constexpr std::uint32_t sel = 0x2, box = 0x1000, tick = 0x2000; // selected; state images unchecked, checked

// A kind, its class (empty: the system's), style, extended style and items' state bits, and the rows then told
// selected and checked (none: the list can't tell).
using StatesCase = std::tuple<FakeKind, const char16_t*, std::int32_t, std::uint32_t,
                              std::map<std::size_t, std::uint32_t>, std::optional<Rows>, std::optional<Rows>>;

// Four items a, b, c, d, in the tree d under c; state bits as the control keeps them.
const StatesCase statesCases[] = {
    {FakeKind::listBox, u"", 0, 0, {{1, sel}}, Rows{1}, {}},
    {FakeKind::listBox, u"", win::LBS_EXTENDEDSEL, 0, {{0, sel}, {2, sel}}, Rows{0, 2}, {}},
    // Another class's bits mean nothing: its current item is all it is asked for.
    {FakeKind::listBox, u"MyList", win::LBS_EXTENDEDSEL, 0, {{0, sel}, {2, sel}}, Rows{0}, {}},
    {FakeKind::comboBox, u"", 0, 0, {{2, sel}}, Rows{2}, {}},
    {FakeKind::comboBox, u"", 0, 0, {{1000, sel}}, Rows{}, {}}, // a current item past the end
    {FakeKind::comboBoxEx, u"", 0, 0, {{3, sel}}, Rows{3}, {}},
    {FakeKind::tabControl, u"", 0, 0, {{0, sel}}, Rows{0}, {}},
    {FakeKind::listView, u"", 0, 0, {{1, sel | tick}}, Rows{1}, {}}, // no state image list
    {FakeKind::listView, u"", 0, win::LVS_EX_CHECKBOXES, {{1, tick}, {3, sel | tick}}, Rows{3}, Rows{1, 3}},
    {FakeKind::listView, u"ListView20WndClass", 0, win::LVS_EX_CHECKBOXES, {{2, sel}}, Rows{2}, {}},
    {FakeKind::treeView, u"", win::TVS_CHECKBOXES, 0, {{1, sel | box}, {3, tick}}, Rows{1}, Rows{3}},
    {FakeKind::treeView, u"", 0, 0, {{1, sel}, {3, tick}}, Rows{1}, {}},
    {FakeKind::statusBar, u"", 0, 0, {{1, sel}}, {}, {}},
};

// Asked for, each kind tells the states it has, a message per item at most; not asked, it asks nothing.
TEST_P(Views, EachKindTellsTheStatesItHas)
{
    for (const StatesCase& c : statesCases) {
        const auto name = "case " + std::to_string(&c - statesCases);
        const auto& [kind, className, style, exStyle, bits, selected, checked] = c;
        desktop.destroy(view);
        FakeWindow& w = desktop.add(view, kind);
        std::tie(w.className, w.style, w.exStyle, w.states, w.process) = std::tuple(className, style, exStyle, bits, 1);
        w.items = {u"a", u"b", u"c", u"d"};
        w.rows = {{u"a"}, {u"b"}, {u"c"}, {u"d"}};
        w.tree = {{u"a"}, {u"b"}, {u"c"}, {u"d", 2}};
        for (bool states : {false, true}) {
            desktop.stateQuestions = 0;
            UnfollowedRead control;
            const Listing listing = readListItems(desktop, view, control, {.states = states});
            EXPECT_LE(desktop.stateQuestions, states ? 6 : 0) << name;
            for (auto [state, rows] : {std::pair{ItemState::selected, selected}, {ItemState::checked, checked}}) {
                EXPECT_EQ(listing.tells(state), states && rows) << name;
                EXPECT_EQ(Rows(listing.rowsIn(state).begin(), listing.rowsIn(state).end()),
                          states && rows ? *rows : Rows{})
                    << name;
            }
        }
        expectNothingLeft();
    }
}

// Kind, class (empty: the system's), check box style, state image list, top-level window's class: tells checks?
const std::tuple<FakeKind, const char16_t*, bool, bool, const char16_t*, bool> imageCases[] = {
    {FakeKind::listView, u"", false, true, u"#32770", true},
    {FakeKind::listView, u"", true, false, u"", true},
    {FakeKind::listView, u"ListView20WndClass", false, true, u"", true},
    {FakeKind::listView, u"ListView20WndClass", true, false, u"", false}, // its style bits mean nothing
    {FakeKind::treeView, u"", false, true, u"", true},
    // The Windows Installer's state images are install states; check boxes of the system's style stay so.
    {FakeKind::treeView, u"", false, true, u"MsiDialogCloseClass", false},
    {FakeKind::listView, u"", false, true, u"msidialognocloseclass", false},
    {FakeKind::treeView, u"", true, true, u"MsiDialogCloseClass", true},
};

// Items at state images 0 to 5: by Windows' convention 2 is checked and 3 partly checked, the others neither.
TEST_P(Views, OwnStateImagesAreCheckBoxesByWindowsConvention)
{
    for (const auto& c : imageCases) {
        const auto& [kind, className, style, images, topLevel, checks] = c;
        SCOPED_TRACE(&c - imageCases);
        desktop.destroy(view);
        FakeWindow& w = desktop.add(view, kind);
        std::tie(w.className, w.process, w.stateImageList, w.parent) = std::tuple(className, 1, images, 720);
        std::tie(w.style, w.exStyle) = std::pair(style ? win::TVS_CHECKBOXES : 0, style ? win::LVS_EX_CHECKBOXES : 0);
        desktop.add(720).parent = 721;
        desktop.add(721).className = topLevel;
        w.rows.assign(6, {u"x"});
        w.tree.assign(6, {u"x"});
        for (std::uint32_t i = 0; i < 6; ++i)
            w.states[i] = i << 12;
        UnfollowedRead control;
        const std::u16string json = renderJson(readListItems(desktop, view, control, {.states = true}));
        EXPECT_EQ(json.substr(json.find(u"\"selected\"")),
                  std::u16string(u"\"selected\": []") +
                      (checks ? u",\r\n  \"checked\": [2],\r\n  \"partly\": [3]" : u"") +
                      (images ? u",\r\n  \"stateImages\": [0, 1, 2, 3, 4, 5]" : u"") + u"\r\n}\r\n");
    }
}

TEST(ViewDispatch, EditOfAComboBoxReadsTheComboBox)
{
    FakeDesktop desktop;
    desktop.add(800, FakeKind::comboBox).items = {u"one", u"", u"two"};
    desktop.add(801, FakeKind::edit).parent = 800;
    desktop.add(802, FakeKind::edit).parent = 803;
    desktop.add(803, FakeKind::listBox).items = {u"not a combo"};
    EXPECT_EQ(readText(desktop, 801), u"one\r\ntwo\r\n");
    EXPECT_EQ(readText(desktop, 802), u"");
}

TEST(ViewDispatch, NoPrivateMessageReachesAnUnknownClass)
{
    for (const char16_t* name : {u"MyGrid", u"SysListView32Ex", u"WindowsForms10.Window.8.app.0.1", u"Static",
                                 u"ATL:0044D2A8", u"Afx:00400000:8:10003:0:0", u"Toolbar20WndClass"}) {
        FakeDesktop desktop;
        FakeWindow& w = desktop.add(900, FakeKind::listView);
        w.className = name;
        w.rows = {{u"must not show"}};
        desktop.add(901, FakeKind::header).parent = 900;
        desktop.window(901).className = name;
        for (WindowHandle h : {900, 901})
            EXPECT_EQ(readText(desktop, h), u"");
        for (unsigned msg : desktop.sentMessages)
            EXPECT_LT(msg, win::WM_USER) << std::hex << msg;
        EXPECT_EQ(desktop.liveProcessHandles(), 0);
    }
}

struct OwnerDrawCase {
    FakeKind kind;
    const char16_t* className;
    std::int32_t style;
    bool shown;
};

void PrintTo(const OwnerDrawCase& c, std::ostream* os)
{
    *os << ascii(c.className) << " style 0x" << std::hex << c.style;
}

class OwnerDrawn : public testing::TestWithParam<OwnerDrawCase> {};

TEST_P(OwnerDrawn, ListsWithoutStringsShowNothing)
{
    FakeDesktop desktop;
    FakeWindow& w = desktop.add(500, GetParam().kind);
    w.className = GetParam().className;
    w.style = GetParam().style;
    w.items = {u"\x1234\x0001"}; // what an item's number reads like as text
    EXPECT_EQ(readText(desktop, 500), GetParam().shown ? u"\x1234\x0001\r\n" : u"");
}

INSTANTIATE_TEST_SUITE_P(
    Styles, OwnerDrawn,
    testing::Values(
        OwnerDrawCase{FakeKind::listBox, u"ListBox", win::LBS_OWNERDRAWFIXED, false},
        OwnerDrawCase{FakeKind::listBox, u"ListBox", win::LBS_OWNERDRAWVARIABLE, false},
        OwnerDrawCase{FakeKind::listBox, u"ComboLBox", win::LBS_OWNERDRAWFIXED, false},
        OwnerDrawCase{FakeKind::listBox, u"ListBox", win::LBS_OWNERDRAWFIXED | win::LBS_HASSTRINGS, true},
        OwnerDrawCase{FakeKind::listBox, u"ListBox", 0, true},
        OwnerDrawCase{FakeKind::comboBox, u"ComboBox", win::CBS_OWNERDRAWFIXED, false},
        OwnerDrawCase{FakeKind::comboBox, u"ComboBox", win::CBS_OWNERDRAWVARIABLE | win::LBS_HASSTRINGS, false},
        OwnerDrawCase{FakeKind::comboBox, u"ComboBox", win::CBS_OWNERDRAWVARIABLE | win::CBS_HASSTRINGS, true},
        // The bits mean nothing to another class, but the same to a superclass.
        OwnerDrawCase{FakeKind::listBox, u"MyList", win::LBS_OWNERDRAWFIXED, true},
        OwnerDrawCase{FakeKind::listBox, u"TListBox", win::LBS_OWNERDRAWFIXED, false}));

} // namespace
