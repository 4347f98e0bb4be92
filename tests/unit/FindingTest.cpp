#include "tests/support/FakeDesk.h"
#include "commandline/CensusOnThread.h"
#include "finding/Finding.h"
#include "finding/Matching.h"
#include "finding/Naming.h"
#include "finding/OverviewRendering.h"
#include "listing/JsonRendering.h"
#include "listing/TextMatch.h"
#include "tests/support/InlineReadRunner.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

std::string narrow(std::u16string_view s)
{
    return std::string(s.begin(), s.end());
}

TEST(Selector, GrammarAsUnderstoodOrWhatIsWrong)
{
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u" EXE = regedit.exe ;Class=SysListView32", u"exe=regedit.exe; class=SysListView32"},
        {u"title=a;;b;nn=Edit1;", u"title=a;;b; nn=Edit1"},
        {u"title=; kind=list*", u"title=; kind=list*"},
        {u"handle=&H1F; id=0x10; nth=2", u"handle=&H1F; id=0x10; nth=2"},
        {u"exe=a.exe; name=Sizes", u"exe=a.exe; name=Sizes"},
        {u"colour=red", u"wrong: unknown key \"colour\" in \"colour=red\""},
        {u"title=a; bare", u"wrong: the clause \"bare\" has no \"=\" (key=value)"},
        {u"exe=", u"wrong: the clause \"exe=\" has no value"},
        {u"title=a; title=b", u"wrong: title= given twice"},
        {u"id=12z", u"wrong: \"id=12z\": id takes a decimal number or 0x and hexadecimal digits"},
        {u"exe=a; nth=0", u"wrong: \"nth=0\": nth takes a number from 1"},
        {u"handle=x", u"wrong: \"handle=x\": handle takes a window handle"},
        {u"kind=grid", u"wrong: \"kind=grid\": kind is one of listbox, combobox, comboboxex, listview, treeview, tab, "
                       u"statusbar, header, toolbar, accessible"},
        {u"name=Sizes", u"wrong: name= needs a clause that names the window: title, exe, pid, wclass or handle"},
        {u"kind=Accessible; nn=X1", u"wrong: kind=accessible needs a clause that names the window: title, exe, pid, "
                                    u"wclass or handle"},
        {u"class=X; nth=2", u"wrong: nth= needs a clause that names the window: title, exe, pid, wclass or handle"},
    };
    for (const auto& [text, want] : cases) {
        const ParsedSelector p = parseSelector(text);
        EXPECT_EQ(narrow(p.wrong.empty() ? selectorText(p.selector) : u"wrong: " + p.wrong), narrow(want))
            << narrow(text);
    }
    EXPECT_FALSE(isSelector(u"0x1F"));
    EXPECT_TRUE(isSelector(u"nn=ListBox1"));
}

TEST(Selector, WildcardsCaseAndGeneratedClassNames)
{
    EXPECT_TRUE(matchesPattern(u"Z\u00DCRICH list", u"z\u00FCrich*"));
    EXPECT_TRUE(matchesPattern(u"Twin A", u"tw?n ?"));
    EXPECT_TRUE(matchesPattern(u"", u"*"));
    EXPECT_FALSE(matchesPattern(u"Twin AB", u"Twin ?"));
    EXPECT_FALSE(matchesPattern(u"", u"?"));
    EXPECT_TRUE(matchesPattern(u"aXbXc", u"*b*c"));
    const std::pair<const char16_t*, const char16_t*> classes[] = {
        {u"WindowsForms10.SysListView32.app.0.2bf8098_r6_ad1", u"WindowsForms10.SysListView32.app.*"},
        {u"HwndWrapper[app.exe;;5b8f3b3e-0e1c-4d2a-9b6f-1a2b3c4d5e6f]", u"HwndWrapper[app.exe*"},
        {u"ATL:00A3B4C0", u"ATL:*"},
        {u"Afx:ToolBar:400000:8:10003:10", u"Afx:ToolBar:*"},
        {u"SysListView32", u""},
        {u"Chrome_WidgetWin_1", u""},
    };
    for (const auto& [name, pattern] : classes)
        EXPECT_EQ(narrow(generatedClassPattern(name).value_or(u"")), narrow(pattern)) << narrow(name);
    EXPECT_EQ(narrow(*quotableValue(u" 50% \"done\" $x`*", true)), "?50? ?done? ?x??");
    EXPECT_FALSE(quotableValue(u"a%b", false));
}

class Finding : public testing::Test, public FakeDesk {
protected:
    Desk surveyed(const Selector* told = nullptr) { return survey(d, {nullptr, &census, told}); }
    std::string named(const char16_t* selector)
    {
        const Desk desk = surveyed();
        std::string out;
        for (std::size_t i : matchingLists(parseSelector(selector).selector, desk))
            out += (out.empty() ? "" : " ") + std::to_string(desk.lists[i].handle) +
                   (desk.lists[i].place ? ":" + std::to_string(desk.lists[i].place) : "");
        return out;
    }
    UnfollowedRead control;
    CensusOnThread census{d, &tree, control, answerBoundMs};
};

TEST_F(Finding, OneRowPerListNnCountingHiddenWindowsAndTheirParts)
{
    std::string rows;
    for (const ListEntry& l : surveyed().lists)
        rows +=
            std::to_string(l.handle) + " " + narrow(kindWord(l.kind)) + " " + narrow(l.nn) + " " + narrow(l.name) + "|";
    EXPECT_EQ(rows, "102 listbox ListBox1 |103 combobox ComboBox1 |105 listview SysListView321 |"
                    "202 listbox ListBox1 |203 combobox ComboBox1 |205 listview SysListView321 |"
                    "701 treeview SysTreeView321 |702 listview SysListView321 |704 listview SysListView322 |"
                    "705 listview WindowsForms10.SysListView32.app.0.2bf8098_r6_ad11 |"
                    "811 accessible Grid11 Sizes|812 accessible Grid11 Other|813 accessible Panel1 Fruits|"
                    "813 accessible Panel1 Fruits|");
    EXPECT_EQ(tree.liveObjects, 0);
}

TEST_F(Finding, WhatEachSelectorNames)
{
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"exe=twin.exe; nn=ListBox1", "102 202"},
        {u"title=Twin A; id=0x1", "102"},
        {u"title=twin ?; kind=combobox", "103 203"},
        {u"title=*B; kind=*view", "205"},
        {u"nn=Edit1", ""}, // the Edit of a combo box is no list of its own
        {u"exe=c:\\apps\\reg\\*; kind=listview", "702 704 705"},
        {u"class=WindowsForms10.SysListView32.*", "705"},
        {u"title=Registry Editor; kind=listview; nth=2", "704"},
        {u"kind=listview; nth=1; exe=*.exe", "105 205 702"},
        {u"wclass=DrawnFrame; nn=Grid11", "811:1 812:1"},
        {u"title=Drawn; name=fruits; nth=2", "813:2"},
        {u"title=Drawn; name=Never*", ""}, // a button tells no list
        {u"exe=*; kind=accessible", ""},   // the program would not say what it is
        {u"pid=2; kind=listbox", "102 202"},
        {u"handle=700; nn=SysTreeView321", "701"},
        {u"kind=listbox", "102 202"},
        {u"title=", ""},
    };
    for (const auto& [selector, handles] : cases)
        EXPECT_EQ(named(selector), handles) << narrow(selector);
}

TEST_F(Finding, EveryListsSelectorNamesItAloneChosenForWhatStays)
{
    const Desk desk = surveyed();
    const Naming naming(desk);
    std::vector<std::string> chosen;
    for (std::size_t i = 0; i < desk.lists.size(); ++i) {
        const std::u16string text = naming.selectorFor(i);
        const ParsedSelector p = parseSelector(text);
        EXPECT_EQ(matchingLists(p.selector, desk), std::vector<std::size_t>{i}) << narrow(text);
        chosen.push_back(narrow(text));
    }
    EXPECT_EQ(chosen, (std::vector<std::string>{
                          "title=Twin A; nn=ListBox1", "title=Twin A; nn=ComboBox1", "title=Twin A; kind=listview",
                          "title=Twin B; nn=ListBox1", "title=Twin B; nn=ComboBox1", "title=Twin B; kind=listview",
                          "exe=regedit.exe; kind=treeview", "exe=regedit.exe; nn=SysListView321",
                          "exe=regedit.exe; nn=SysListView322", "exe=regedit.exe; kind=listview; id=7",
                          "title=Drawn; nn=Grid11; name=Sizes", "title=Drawn; nn=Grid11; name=Other",
                          "title=Drawn; nn=Panel1; name=Fruits; nth=1", "title=Drawn; nn=Panel1; name=Fruits; nth=2"}));
}

// The overview of one window surveys the others' lists only where its rows' best selectors need them.
TEST_F(Finding, NamedAloneOnTheWholeDesktopThoughOnlyOneWindowsListsWereSurveyed)
{
    add(900, FakeKind::other, 0, 2, 0, u"TwinFrame").text = u"Twin A"; // alike but for its lists
    add(901, FakeKind::listView, 900, 2, 3);
    for (const char16_t* text : {u"handle=100", u"title=Twin B"}) {
        const Selector only = parseSelector(text).selector;
        KeptCensus kept(census);
        Desk desk = survey(d, {&only, &kept, &only, true});
        std::vector<OverviewRow> rows = overview(desk, &only, d, [] { return false; });
        std::u16string partial;
        for (const OverviewRow& r : rows)
            partial += r.selector + u"|";
        nameInWhole(rows, desk, survey(d, {nullptr, &kept, &only}));
        std::u16string whole;
        for (const OverviewRow& r : rows)
            whole += r.selector + u"|";
        EXPECT_EQ(narrow(partial), text[0] == u'h' ? "|||" : narrow(whole));
        EXPECT_EQ(narrow(whole), text[0] == u'h' ? "title=Twin A; nn=ListBox1|title=Twin A; nn=ComboBox1|handle=100; "
                                                   "kind=listview|"
                                                 : "title=Twin B; nn=ListBox1|title=Twin B; nn=ComboBox1|title=Twin B; "
                                                   "kind=listview|");
    }
}

TEST_F(Finding, SeveralMatchesEachWithItsOwnSelectorAndNoneLooksAgain)
{
    FoundList found = findList(parseSelector(u"exe=twin.exe; kind=listbox").selector, d, &census);
    EXPECT_EQ(found.outcome, Look::many);
    EXPECT_EQ(found.matches, (std::vector<std::u16string>{u"title=Twin A; nn=ListBox1", u"title=Twin B; nn=ListBox1"}));
    found = findList(parseSelector(u"title=Drawn; name=Sizes").selector, d, &census);
    EXPECT_EQ(std::pair(found.outcome, found.list.place), std::pair(Look::found, std::size_t{1}));
    // A selector that names a control's kind asks no program for accessible lists.
    const int calls = tree.calls;
    EXPECT_EQ(findList(parseSelector(u"title=Drawn; kind=listbox").selector, d, &census).outcome, Look::none);
    EXPECT_EQ(tree.calls, calls);

    struct FakeClock : Clock {
        std::uint64_t nowMs() override { return now; }
        void sleepMs(std::uint32_t ms) override { now += ms; }
        std::uint64_t now = 1000;
    } clock;
    int looks = 0;
    const auto appearsAt = [&](int look, Look then) {
        return [&, look, then] { return ++looks < look ? Look::none : then; };
    };
    EXPECT_EQ(lookUntil(appearsAt(3, Look::found), 5, clock, [] { return false; }), Look::found);
    EXPECT_EQ(std::pair(looks, clock.now), std::pair(3, std::uint64_t{1500}));
    looks = 0;
    EXPECT_EQ(lookUntil(appearsAt(99, Look::found), 1, clock, [] { return false; }), Look::none);
    EXPECT_EQ(looks, 5); // at 0, 250, 500, 750 and 1000 ms
    looks = 0;
    EXPECT_EQ(lookUntil(appearsAt(1, Look::many), 5, clock, [] { return true; }), Look::many);
    EXPECT_EQ(lookUntil(appearsAt(99, Look::found), 5, clock, [&] { return looks > 1; }), Look::cancelled);
}

TEST_F(Finding, OverviewCountsOnceAndSaysWhyNot)
{
    d.window(702).hook = [](unsigned, std::uintptr_t, std::intptr_t) { return std::optional(MessageResult{}); };
    d.window(103).hook = [](unsigned, std::uintptr_t, std::intptr_t) {
        return std::optional(MessageResult{false, 0, true});
    };
    Desk desk = surveyed();
    const std::size_t sent = d.sentMessages.size();
    const std::vector<OverviewRow> rows = overview(desk, nullptr, d, [] { return false; });
    // One message a control; none to a program once it did not answer or refused.
    EXPECT_EQ(d.sentMessages.size() - sent, 4u);
    const std::u16string text = renderOverviewText(desk, rows);
    EXPECT_EQ(narrow(text.substr(0, text.find(u"\r\n", 190))),
              "selector\tkind\titems\thandle\tclass\tnn\tid\tpid\texe\tbits\ttitle\r\n"
              "title=Twin A; nn=ListBox1\tlistbox\t2\t102\tListBox\tListBox1\t1\t2\ttwin.exe\t32\tTwin A\r\n"
              "title=Twin A; nn=ComboBox1\tcombobox\t-\t103\tComboBox\tComboBox1\t2\t2\ttwin.exe\t32\tTwin A");
    Desk drawn = survey(d, {nullptr, &census, nullptr});
    const Selector only = parseSelector(u"title=Drawn; nn=Grid11; name=Sizes").selector;
    EXPECT_EQ(narrow(renderOverviewJson(drawn, overview(drawn, &only, d, [] { return false; }))),
              "{\r\n  \"lists\": [\r\n    {\"selector\": \"title=Drawn; nn=Grid11; name=Sizes\", \"kind\": "
              "\"accessible\", \"items\": null, \"handle\": 811, \"class\": \"Grid\", \"nn\": \"Grid11\", \"id\": 0, "
              "\"pid\": 3, \"exe\": null, \"bits\": null, \"title\": \"Drawn\"}\r\n  ]\r\n}\r\n");
    std::u16string json = renderOverviewJson(desk, rows);
    EXPECT_NE(json.find(u"\"items\": null, \"denied\": true, \"handle\": 103"), std::u16string::npos);
    EXPECT_NE(json.find(u"\"items\": null, \"unanswered\": true, \"handle\": 702"), std::u16string::npos);
    EXPECT_NE(json.find(u"\"items\": null, \"unanswered\": true, \"handle\": 704"), std::u16string::npos);
    const std::u16string csv = renderOverviewCsv(desk, rows, true);
    EXPECT_EQ(narrow(csv.substr(0, csv.find(u"\r\n") + 2)),
              "selector,kind,items,handle,class,nn,id,pid,exe,bits,title\r\n");
    EXPECT_NE(csv.find(u"title=Twin B; nn=ListBox1,listbox,,202,ListBox,ListBox1,1,2,twin.exe,32,Twin B\r\n"),
              std::u16string::npos);
}

} // namespace
