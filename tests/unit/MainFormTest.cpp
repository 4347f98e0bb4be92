#include "tests/support/InlineReadRunner.h"
#include "mainwindow/MainForm.h"

#include "desktop/fake/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

constexpr WindowHandle form = 1, txtWnd = 10, txtList = 11;

class MainFormTest : public testing::Test {
protected:
    MainFormTest() : mainForm(desktop, {form, txtWnd, txtList}, runner)
    {
        runner.setController(mainForm.reads());
        desktop.add(form);
        desktop.add(txtWnd, FakeKind::edit).onChange = [this] {
            changes.push_back(desktop.getWindowText(txtWnd));
            mainForm.txtWnd_Change();
        };
        desktop.add(txtList);
    }
    FakeDesktop desktop;
    InlineReadRunner runner{desktop};
    MainForm mainForm;
    std::vector<std::u16string> changes;
};

TEST_F(MainFormTest, LoadGivesTheHandleFieldTheDigitsOnlyStyle)
{
    desktop.window(txtWnd).style = 0x50010080;
    mainForm.Form_Load();
    EXPECT_EQ(desktop.window(txtWnd).style, 0x50010080 | win::ES_NUMBER);
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"");
    EXPECT_FALSE(mainForm.hotkeyTimer().enabled());
}

TEST_F(MainFormTest, NumbersOnlyTextBoxFlipsTheStyle)
{
    WindowHandle h = txtWnd;
    desktop.window(txtWnd).style = 0x1234 | win::ES_NUMBER;
    NumbersOnlyTextBox(desktop, h);
    EXPECT_EQ(desktop.window(txtWnd).style, 0x1234);
    NumbersOnlyTextBox(desktop, h);
    EXPECT_EQ(desktop.window(txtWnd).style, 0x1234 | win::ES_NUMBER);
}

struct FocusCase {
    const char16_t* before;
    const char16_t* after;
    bool changes;
};

class LostFocus : public MainFormTest, public testing::WithParamInterface<FocusCase> {};

TEST_P(LostFocus, NormalisesTheText)
{
    desktop.window(txtWnd).text = GetParam().before;
    mainForm.txtWnd_LostFocus();
    EXPECT_EQ(desktop.getWindowText(txtWnd), GetParam().after);
    EXPECT_EQ(changes.size(), GetParam().changes ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Texts, LostFocus,
                         testing::Values(FocusCase{u"", u"0", true}, FocusCase{u"007", u"7", true},
                                         FocusCase{u"123", u"123", false}, FocusCase{u"0", u"0", false},
                                         FocusCase{u"abc", u"0", true}, FocusCase{u"  42", u"42", true},
                                         FocusCase{u"&HFF", u"255", true}, FocusCase{u"0x1F", u"31", true},
                                         FocusCase{u"1e10", u"10000000000", true}, FocusCase{u"-5", u"-5", false},
                                         FocusCase{u"1.50", u"1.5", true}, FocusCase{u"2.5", u"2.5", false},
                                         FocusCase{u"9999999999", u"9999999999", false}));

// A rewrite by the focus loss runs the reader inside the assignment, so the
// item field already holds the list when txtWnd_LostFocus returns.
TEST_F(MainFormTest, FocusLossRewriteReadsTheListNested)
{
    desktop.add(7, FakeKind::listBox).items = {u"seven"};
    desktop.window(txtWnd).text = u"007";
    mainForm.txtWnd_LostFocus();
    EXPECT_EQ(changes, std::vector<std::u16string>{u"7"});
    EXPECT_EQ(desktop.getWindowText(txtList), u"seven\r\n");
}

TEST_F(MainFormTest, TypingReadsEveryPrefix)
{
    desktop.add(1, FakeKind::listBox).items = {u"one"};
    desktop.add(12, FakeKind::comboBox).items = {u"twelve"};
    std::vector<std::u16string> lists;
    for (const char16_t* text : {u"1", u"12", u"123"}) {
        desktop.setWindowText(txtWnd, text);
        lists.push_back(desktop.getWindowText(txtList));
    }
    EXPECT_EQ(lists, (std::vector<std::u16string>{u"one\r\n", u"twelve\r\n", u""}));
}

// F5 reads the list last read again, with what it holds now; Ctrl+Shift+C copies a command line naming it,
// once a read has found it.
TEST_F(MainFormTest, F5ReadsAgainAndCtrlShiftCCopiesTheCommandLine)
{
    desktop.process(4).path = u"C:\\Tools\\app.exe";
    desktop.add(50).process = 4;
    FakeWindow& list = desktop.add(51, FakeKind::listBox);
    list.parent = 50;
    list.process = 4;
    list.items = {u"one"};
    EXPECT_TRUE(mainForm.Form_KeyDown('C', true, true));
    EXPECT_FALSE(mainForm.mnuCopyCommandLine_Enabled());
    EXPECT_EQ(desktop.clipboard, u"");
    desktop.setWindowText(txtWnd, u"51");
    list.items.push_back(u"two");
    EXPECT_TRUE(mainForm.Form_KeyDown(win::VK_F5, false, false));
    EXPECT_EQ(desktop.getWindowText(txtList), u"one\r\ntwo\r\n");
    EXPECT_FALSE(mainForm.Form_KeyDown('C', true, false));
    EXPECT_TRUE(mainForm.Form_KeyDown('C', true, true));
    EXPECT_EQ(desktop.clipboard, u"quorvel --read \"exe=app.exe; nn=ListBox1\"");
}

} // namespace
