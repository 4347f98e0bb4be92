#include "listing/CsvRendering.h"
#include "listing/JsonRendering.h"
#include "listing/TextRendering.h"
#include "listing/Utf8.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

Listing items(ListKind kind, std::vector<std::u16string> texts, std::vector<int> depths = {})
{
    Listing l;
    l.kind = kind;
    for (std::size_t i = 0; i < texts.size(); ++i)
        l.addItem(texts[i], i < depths.size() ? depths[i] : 0);
    return l;
}

TEST(Csv, QuotesOnlyWhatNeedsItAndKeepsEmptyRecords)
{
    const struct {
        const char16_t* field;
        const char16_t* record;
    } cases[] = {{u"plain", u"plain"},
                 {u"tab\there; 'single'", u"tab\there; 'single'"},
                 {u"a,b", u"\"a,b\""},
                 {u"say \"hi\"", u"\"say \"\"hi\"\"\""},
                 {u"two\r\nlines", u"\"two\r\nlines\""},
                 {u"lf\n", u"\"lf\n\""},
                 {u"", u"\"\""}};
    for (const auto& c : cases)
        EXPECT_EQ(renderCsv(items(ListKind::listBox, {c.field})), std::u16string(c.record) + u"\r\n");
}

TEST(Csv, ReportRowsWithHeadersAndTreeDepths)
{
    Listing report;
    report.kind = ListKind::listView;
    report.report = true;
    report.columns = {u"No.", u"Name, first"};
    report.setCellsPerRow(2);
    const std::u16string rows[][2] = {{u"1", u"x \"y\""}, {u"", u""}};
    for (const auto& row : rows)
        report.addRow(row);
    const std::u16string body = u"1,\"x \"\"y\"\"\"\r\n,\r\n";
    EXPECT_EQ(renderCsv(report), body);
    EXPECT_EQ(renderCsv(report, {.headers = true}), u"No.,\"Name, first\"\r\n" + body);
    // Headers mean nothing to other kinds.
    EXPECT_EQ(renderCsv(items(ListKind::listBox, {u"a"}), {.headers = true}), u"a\r\n");
    EXPECT_EQ(renderCsv(items(ListKind::treeView, {u"top", u"", u"leaf"}, {0, 1, 12})), u"0,top\r\n1,\r\n12,leaf\r\n");
}

// Each leading character a spreadsheet would run, a negative number among them, gets an apostrophe and quotes;
// any other field, and every field without the option, stays exact.
TEST(Csv, SafeMarksWhatASpreadsheetWouldRunAsAFormula)
{
    const struct {
        const char16_t *field, *exact, *safe;
    } cases[] = {
        {u"=HYPERLINK(\"x\")", u"\"=HYPERLINK(\"\"x\"\")\"\r\n", u"\"'=HYPERLINK(\"\"x\"\")\"\r\n"},
        {u"+1", u"+1\r\n", u"\"'+1\"\r\n"},
        {u"-5", u"-5\r\n", u"\"'-5\"\r\n"},
        {u"@SUM(A1)", u"@SUM(A1)\r\n", u"\"'@SUM(A1)\"\r\n"},
        {u"\tx", u"\tx\r\n", u"\"'\tx\"\r\n"},
        {u"\rx", u"\"\rx\"\r\n", u"\"'\rx\"\r\n"},
        {u"a=b", u"a=b\r\n", u"a=b\r\n"},
        {u" =x", u" =x\r\n", u" =x\r\n"},
        {u"-", u"-\r\n", u"\"'-\"\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(renderCsv(items(ListKind::listBox, {c.field})), c.exact);
        EXPECT_EQ(renderCsv(items(ListKind::listBox, {c.field}), {.safeCsv = true}), c.safe);
    }
    // A tree item's depth is no text of the target's; its text is.
    EXPECT_EQ(renderCsv(items(ListKind::treeView, {u"-x"}, {1}), {.safeCsv = true}), u"1,\"'-x\"\r\n");
}

// A filter keeps the rows in every state asked for; JSON then says where each was, and tells the states as
// places among the rows it writes. A state the list can't tell has no key.
TEST(States, FiltersAndJsonPlaces)
{
    Listing l = items(ListKind::listBox, {u"a", u"b", u"c", u"d"});
    l.tell(ItemState::selected);
    l.tell(ItemState::checked);
    for (std::size_t r : {2, 0})
        l.mark(ItemState::selected, r);
    for (std::size_t r : {2, 3, 7}) // 7: a row the listing does not have
        l.mark(ItemState::checked, r);
    l.mark(ItemState::partly, 1);
    l.stateImageList = true;
    l.setStateImage(3, 2);
    const std::pair<RowFilter, const char16_t*> cases[] = {{{}, u"a\r\nb\r\nc\r\nd\r\n"},
                                                           {{true, false}, u"a\r\nc\r\n"},
                                                           {{false, true}, u"c\r\nd\r\n"},
                                                           {{true, true}, u"c\r\n"}};
    for (const auto& [only, text] : cases) {
        EXPECT_EQ(renderText(l, {.only = only}), text);
        EXPECT_EQ(renderCsv(l, {.only = only}), text);
    }
    EXPECT_NE(renderJson(l).find(u"\"d\"\r\n  ],\r\n  \"selected\": [0, 2],\r\n  \"checked\": [2, 3],\r\n  "
                                 u"\"partly\": [1],\r\n  \"stateImages\": [0, 0, 0, 2]\r\n}"),
              std::u16string::npos);
    EXPECT_NE(renderJson(l, {.only = {.checked = true}})
                  .find(u"\"indexes\": [2, 3],\r\n  \"items\": [\r\n    \"c\",\r\n    \"d\"\r\n  ],\r\n  "
                        u"\"selected\": [0],\r\n  \"checked\": [0, 1],\r\n  \"stateImages\": [0, 2]\r\n}"),
              std::u16string::npos);
    const std::u16string bar = renderJson(items(ListKind::statusBar, {u"a"}));
    EXPECT_EQ(bar.find(u"\"selected\""), bar.find(u"\"checked\"")); // neither is there
}

TEST(Json, EscapesControlsQuotesBackslashesAndLoneSurrogates)
{
    const struct {
        std::u16string text;
        const char16_t* json;
    } cases[] = {{u"plain \u00e9 \u65e5 \U0001F600", u"\"plain \u00e9 \u65e5 \U0001F600\""},
                 {u"q\"b\\s/", u"\"q\\\"b\\\\s/\""},
                 {u"\n\r\t\x01\x1f\x7f", u"\"\\u000a\\u000d\\u0009\\u0001\\u001f\x7f\""},
                 {std::u16string(u"a\xd800") + u"b", u"\"a\ufffdb\""},
                 {std::u16string(1, u'\xdc00'), u"\"\ufffd\""},
                 {std::u16string(u"\xdc00\xd800"), u"\"\ufffd\ufffd\""},
                 {std::u16string(u"end\xd83d"), u"\"end\ufffd\""}};
    for (const auto& c : cases) {
        const std::u16string json = renderJson(items(ListKind::listBox, {c.text}));
        EXPECT_NE(json.find(u"\"items\": [\r\n    " + std::u16string(c.json) + u"\r\n  ]"), std::u16string::npos)
            << toUtf8(json);
    }
}

TEST(Json, ReportRowsAndAStoppedTree)
{
    Listing report;
    report.kind = ListKind::listView;
    report.handle = -5;
    report.className = u"SysListView32";
    report.report = true;
    report.columns = {u"A", u"B"};
    report.setCellsPerRow(2);
    const std::u16string row[] = {u"1", u""};
    report.addRow(row);
    EXPECT_EQ(renderJson(report), u"{\r\n  \"handle\": -5,\r\n  \"class\": \"SysListView32\",\r\n  \"kind\": "
                                  u"\"listview\",\r\n  \"complete\": true,\r\n  \"columns\": [\"A\", \"B\"],\r\n"
                                  u"  \"rows\": [\r\n    [\"1\", \"\"]\r\n  ]\r\n}\r\n");
    Listing tree = items(ListKind::treeView, {u"t", u"u"}, {0, 1});
    tree.end = ReadEnd::notAnswering;
    EXPECT_NE(renderJson(tree).find(u"\"complete\": false,\r\n  \"stopped\": \"the target stopped answering\",\r\n  "
                                    u"\"items\": [\r\n    {\"text\": \"t\", \"depth\": 0},\r\n    "
                                    u"{\"text\": \"u\", \"depth\": 1}\r\n  ]"),
              std::u16string::npos);
    EXPECT_NE(renderJson(items(ListKind::comboBox, {}))
                  .find(u"\"kind\": \"combobox\",\r\n  \"complete\": true,\r\n  "
                        u"\"items\": []\r\n}"),
              std::u16string::npos);
}

// An unreadable text keeps its place as null in JSON; text and CSV leave such an item out and show such a
// cell empty; the listing is not whole, though read to its end.
TEST(Unreadable, NullInJsonLeftOutOrEmptyElsewhere)
{
    Listing tree = items(ListKind::treeView, {u"t"}, {0});
    tree.addUnreadableItem(2);
    tree.addItem(u"u", 1);
    EXPECT_FALSE(tree.whole());
    EXPECT_NE(renderJson(tree).find(u"\"complete\": false,\r\n  \"unreadable\": 1,\r\n  \"items\": [\r\n    "
                                    u"{\"text\": \"t\", \"depth\": 0},\r\n    {\"text\": null, \"depth\": 2},"),
              std::u16string::npos);
    EXPECT_EQ(renderText(tree), u"t\r\n\tu\r\n");
    EXPECT_EQ(renderCsv(tree), u"0,t\r\n1,u\r\n");
    Listing report;
    report.kind = ListKind::listView;
    report.report = true;
    report.setCellsPerRow(2);
    const std::u16string row[] = {u"1", u"lost"};
    const std::vector<bool> second = {false, true};
    report.addRow(row, 0, &second);
    report.addRow(row);
    EXPECT_EQ(report.unreadableRows(), 1u);
    EXPECT_TRUE(report.rowUnreadable(0));
    EXPECT_FALSE(report.rowUnreadable(1));
    EXPECT_NE(renderJson(report).find(u"[\"1\", null],\r\n    [\"1\", \"lost\"]"), std::u16string::npos);
    EXPECT_EQ(renderText(report), u"1\t\r\n1\tlost\r\n");
    EXPECT_EQ(renderCsv(report), u"1,\r\n1,lost\r\n");
    // Stopped early as well: both are told.
    report.end = ReadEnd::windowGone;
    EXPECT_NE(renderJson(report).find(u"\"stopped\": \"the target's window went away\",\r\n  \"unreadable\": 1"),
              std::u16string::npos);
}

TEST(Utf8, EncodesEveryPlaneAndReplacesLoneSurrogates)
{
    EXPECT_EQ(toUtf8(u"a\u00fc\u65e5\U0001F600"), "a\xc3\xbc\xe6\x97\xa5\xf0\x9f\x98\x80");
    EXPECT_EQ(toUtf8(std::u16string(u"\xd800x\xdfff")), "\xef\xbf\xbdx\xef\xbf\xbd");
    EXPECT_EQ(toUtf8(std::u16string(u"\xdbff\xdfff")), "\xf4\x8f\xbf\xbf");
}

} // namespace
