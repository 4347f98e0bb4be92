#include "tests/support/InlineReadRunner.h"
#include "desktop/fake/FakeDesktop.h"
#include "handle/HandleText.h"
#include "mainwindow/MainForm.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

constexpr WindowHandle txtWnd = 10, txtList = 11, target = 500;

class ListReader : public testing::Test {
protected:
    ListReader()
    {
        runner.setController(form.reads());
        desktop.add(txtWnd, FakeKind::edit).onChange = [this] { form.txtWnd_Change(); };
        desktop.add(txtList, FakeKind::other).text = u"old\r\n";
    }
    FakeWindow& list(std::vector<std::u16string> items, FakeKind kind = FakeKind::listBox)
    {
        FakeWindow& w = desktop.add(target, kind);
        w.items = std::move(items);
        return w;
    }
    std::u16string readFor(const std::u16string& text)
    {
        desktop.setWindowText(txtWnd, text);
        return desktop.getWindowText(txtList);
    }
    // Answers count with n, and every other message by the list itself.
    void claimCount(FakeWindow& w, std::intptr_t n)
    {
        w.hook = [n](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
            if (msg == win::LB_GETCOUNT)
                return MessageResult{true, n};
            return std::nullopt;
        };
    }
    FakeDesktop desktop;
    InlineReadRunner runner{desktop};
    MainForm form{desktop, {1, txtWnd, txtList}, runner};
};

TEST_F(ListReader, NotPositiveKeepsTheOldItems)
{
    list({u"a"});
    for (const char16_t* text : {u"", u"0", u"-500", u"abc", u"0.0"}) {
        EXPECT_EQ(readFor(text), u"old\r\n") << std::u16string(text).size();
    }
    EXPECT_TRUE(desktop.sentMessages.empty());
}

TEST_F(ListReader, SkipsEmptyItemsAndEndsEveryLine)
{
    list({u"a", u"", u"c"});
    EXPECT_EQ(readFor(u"500"), u"a\r\nc\r\n");
}

TEST_F(ListReader, KeepsEveryCharacter)
{
    list({u"Z\u00fcrich", u"\u65e5\u672c\u8a9e", u"\U0001F600 smile"});
    EXPECT_EQ(readFor(u"500"), u"Z\u00fcrich\r\n\u65e5\u672c\u8a9e\r\n\U0001F600 smile\r\n");
}

TEST_F(ListReader, ShowsLongItemsWhole)
{
    std::u16string longItem(70000, u'x');
    list({std::u16string(511, u'a'), std::u16string(512, u'b'), longItem});
    EXPECT_EQ(readFor(u"500"),
              std::u16string(511, u'a') + u"\r\n" + std::u16string(512, u'b') + u"\r\n" + longItem + u"\r\n");
}

TEST_F(ListReader, EmptyListBoxFallsBackToComboBoxCount)
{
    FakeWindow& w = list({}, FakeKind::listBox);
    EXPECT_EQ(readFor(u"500"), u"");
    EXPECT_EQ(desktop.sentMessages, (std::vector<unsigned>{win::LB_GETCOUNT, win::CB_GETCOUNT}));
    (void)w;
}

TEST_F(ListReader, ComboBoxItemsComeByComboMessages)
{
    list({u"one", u"two"}, FakeKind::comboBox);
    EXPECT_EQ(readFor(u"500"), u"one\r\ntwo\r\n");
    EXPECT_EQ(desktop.sentMessages.front(), win::LB_GETCOUNT);
    EXPECT_EQ(desktop.sentMessages[1], win::CB_GETCOUNT);
    EXPECT_EQ(desktop.sentMessages.back(), win::CB_GETLBTEXT);
}

TEST_F(ListReader, NoWindowOrOtherWindowGivesNothing)
{
    EXPECT_EQ(readFor(u"500"), u"");
    desktop.add(target, FakeKind::other);
    EXPECT_EQ(readFor(u"500"), u"");
}

TEST_F(ListReader, NegativeCountsGiveNothingAndNoComboCount)
{
    for (std::intptr_t n : {std::intptr_t{-1}, std::intptr_t{INT_MIN}, std::intptr_t{-7}}) {
        desktop.sentMessages.clear();
        claimCount(list({u"a"}), n);
        EXPECT_EQ(readFor(u"500"), u"") << n;
        EXPECT_EQ(desktop.sentMessages, std::vector<unsigned>{win::LB_GETCOUNT}) << n;
    }
}

TEST_F(ListReader, OverclaimedCountEndsAtTheFirstMissingIndex)
{
    claimCount(list({u"a", u"b"}), INT_MAX);
    EXPECT_EQ(readFor(u"500"), u"a\r\nb\r\n");
    EXPECT_LE(desktop.sentMessages.size(), 6u);
}

TEST_F(ListReader, FailedFetchAddsNothingAndGoesOn)
{
    FakeWindow& w = list({u"a", u"b", u"c", u"d"});
    w.hook = [](unsigned msg, std::uintptr_t index, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LB_GETTEXT && index == 1)
            return MessageResult{true, win::LB_ERR};
        if (msg == win::LB_GETTEXTLEN && index == 2)
            return MessageResult{true, -5};
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), u"a\r\nd\r\n");
}

TEST_F(ListReader, ReplyLongerThanTheBufferIsDiscarded)
{
    FakeWindow& w = list({u"short", u"fine"});
    w.hook = [](unsigned msg, std::uintptr_t index, std::intptr_t) -> std::optional<MessageResult> {
        // Claims far more characters than any buffer sized from length 5.
        if (msg == win::LB_GETTEXT && index == 0)
            return MessageResult{true, 100000};
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), u"fine\r\n");
}

TEST_F(ListReader, UnderstatedLengthStillFitsWithinTheSpare)
{
    FakeWindow& w = list({u"abcdefghij", u"k"});
    w.hook = [](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LB_GETTEXTLEN)
            return MessageResult{true, 1};
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), u"abcdefghij\r\nk\r\n");
}

// Across processes the window system copies only as much as its own length
// query allows; text cut short that way is not shown as if it were the item.
TEST_F(ListReader, TextCutShortByTheSystemIsAFailedFetch)
{
    FakeWindow& w = list({u"alpha", u"beta"});
    w.hook = [](unsigned msg, std::uintptr_t index, std::intptr_t lParam) -> std::optional<MessageResult> {
        if (msg == win::LB_GETTEXT && index == 0) {
            auto* out = reinterpret_cast<char16_t*>(lParam);
            out[0] = u'a', out[1] = u'l', out[2] = u'p'; // three characters, no NUL of its own
            return MessageResult{true, 5};
        }
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), u"beta\r\n");
}

TEST_F(ListReader, AbsurdLengthIsAFailedFetch)
{
    FakeWindow& w = list({u"a", u"b"});
    w.hook = [](unsigned msg, std::uintptr_t index, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LB_GETTEXTLEN && index == 0)
            return MessageResult{true, INT_MAX};
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), u"b\r\n");
}

TEST_F(ListReader, TimeoutEndsTheRunKeepingItemsReadSoFar)
{
    for (unsigned failing : {win::LB_GETTEXTLEN, win::LB_GETTEXT}) {
        FakeWindow& w = list({u"a", u"b", u"c"});
        w.hook = [failing](unsigned msg, std::uintptr_t index, std::intptr_t) -> std::optional<MessageResult> {
            if (msg == failing && index == 1)
                return MessageResult{false, 0};
            return std::nullopt;
        };
        desktop.sentMessages.clear();
        EXPECT_EQ(readFor(u"500"), u"a\r\n");
        EXPECT_EQ(desktop.sentMessages.back(), failing);
    }
}

TEST_F(ListReader, RunStartedWhileWaitingOnTheTargetHasTheLastWord)
{
    constexpr WindowHandle other = 600;
    desktop.add(other, FakeKind::listBox).items = {u"new"};
    FakeWindow& w = list({u"a", u"b"});
    bool sent = false;
    // Another program sets txtWnd while the first item's text is on its way.
    w.hook = [&](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LB_GETTEXT && !sent) {
            sent = true;
            desktop.setWindowText(txtWnd, u"600");
        }
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), u"new\r\n");
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"600");
}

// Rows are appended to the field as they are read, whole and in order; a selection made and a line scrolled to
// in the middle of the read stay where they are, and a cancel leaves exactly the rows read.
TEST_F(ListReader, RowsAppendAsTheyAreReadKeepingTheSelection)
{
    std::vector<std::u16string> items;
    std::u16string lines;
    std::vector<std::u16string> expected; // the field before each item is asked for
    for (int i = 0; i < 10; ++i) {
        items.push_back(u"item " + std::u16string(1, static_cast<char16_t>(u'0' + i)));
        expected.push_back(lines);
        lines += items.back() + u"\r\n";
    }
    FakeWindow& w = list(items);
    std::vector<std::u16string> seen;
    w.hook = [&](unsigned msg, std::uintptr_t index, std::intptr_t) -> std::optional<MessageResult> {
        if (msg != win::LB_GETTEXTLEN)
            return std::nullopt;
        seen.push_back(desktop.getWindowText(txtList));
        if (index == 4) {
            desktop.window(txtList).selection = {2, 9};
            desktop.window(txtList).firstLine = 2;
        }
        if (index == 7)
            form.reads().cancel();
        return std::nullopt;
    };
    EXPECT_EQ(readFor(u"500"), expected[7]);
    ASSERT_EQ(seen.size(), 8u);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], expected[i]) << i;
    EXPECT_EQ(desktop.window(txtList).selection, (std::pair<std::size_t, std::size_t>{2, 9}));
    EXPECT_EQ(desktop.window(txtList).firstLine, 2);
}

TEST_F(ListReader, UnansweredCountGivesNothing)
{
    FakeWindow& w = list({u"a"});
    w.hook = [](unsigned, std::uintptr_t, std::intptr_t) { return std::optional<MessageResult>{MessageResult{}}; };
    EXPECT_EQ(readFor(u"500"), u"");
    EXPECT_EQ(desktop.sentMessages.size(), 1u);
}

TEST_F(ListReader, ValuesOutsideThe32BitRangeReadNothingAndClear)
{
    list({u"a"});
    for (const char16_t* text : {u"9999999999", u"2147483648", u"1e999", u"2147483647.5"}) {
        desktop.window(txtList).text = u"old\r\n";
        EXPECT_EQ(readFor(text), u"") << std::u16string(text).size();
    }
    EXPECT_TRUE(desktop.sentMessages.empty());
}

struct RoundCase {
    double value;
    std::optional<WindowHandle> handle;
};

class TargetHandle : public testing::TestWithParam<RoundCase> {};

TEST_P(TargetHandle, RoundsHalfToEvenWithinRange)
{
    EXPECT_EQ(targetHandle(GetParam().value), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(Values, TargetHandle,
                         testing::Values(RoundCase{0, std::nullopt}, RoundCase{-1, std::nullopt}, RoundCase{0.4, 0},
                                         RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2}, RoundCase{3.5, 4},
                                         RoundCase{2147483647, INT_MAX}, RoundCase{2147483647.4, INT_MAX},
                                         RoundCase{2147483647.5, std::nullopt}, RoundCase{1e10, std::nullopt},
                                         RoundCase{NAN, std::nullopt}));

TEST_F(ListReader, ReadsTheRoundedHandle)
{
    list({u"x"});
    EXPECT_EQ(readFor(u"500.4"), u"x\r\n");
    EXPECT_EQ(readFor(u"1000.5e-1"), u""); // 100.05 names no window
}

} // namespace
