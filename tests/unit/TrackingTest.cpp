#include "tests/support/InlineReadRunner.h"
#include "mainwindow/MainForm.h"

#include "desktop/fake/FakeDesktop.h"
#include "picking/DrawWndBorderMod.h"
#include "picking/Tracking.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

constexpr WindowHandle form = 1, txtWnd = 10, txtList = 11, A = 100, B = 200;
constexpr std::int16_t downNow = static_cast<std::int16_t>(0x8000);

class TrackingTest : public testing::Test {
protected:
    TrackingTest() : mainForm(desktop, {form, txtWnd, txtList}, runner)
    {
        runner.setController(mainForm.reads());
        DrawWndBorderMod::hWndFramed = 0;
        desktop.add(form);
        desktop.add(txtWnd, FakeKind::edit).onChange = [this] { mainForm.txtWnd_Change(); };
        desktop.add(txtList);
        FakeWindow& a = desktop.add(A, FakeKind::listBox);
        a.rect = {0, 0, 100, 100};
        a.items = {u"a1", u"a2"};
        desktop.add(B, FakeKind::comboBox).rect = {100, 0, 200, 100};
        desktop.window(B).items = {u"b1"};
        desktop.hitTest = [](Point p) { return p.x < 100 ? A : B; };
    }
    void pointAt(WindowHandle h) { desktop.cursor = h == A ? Point{50, 50} : Point{150, 50}; }
    void tick()
    {
        ASSERT_TRUE(mainForm.hotkeyTimer().enabled()) << "no tick comes while tracking is off";
        mainForm.HotkeyTimer_Timer();
    }
    void pressF12() { desktop.keyStates[win::VK_F12] = captureKeyState; }
    bool timerRunning() const { return desktop.timers.count({form, MainForm::hotkeyTimerId}) == 1; }

    FakeDesktop desktop;
    InlineReadRunner runner{desktop};
    MainForm mainForm;
};

TEST_F(TrackingTest, ClickStartsTrackingAndDisablesTheHandleField)
{
    mainForm.CmdCapture_Click();
    EXPECT_TRUE(mainForm.hotkeyTimer().enabled());
    EXPECT_TRUE(timerRunning());
    EXPECT_EQ(desktop.timers.at({form, MainForm::hotkeyTimerId}), 200u);
    EXPECT_FALSE(desktop.isWindowEnabled(txtWnd));
}

TEST_F(TrackingTest, RestingPointerIsPaintedOnce)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_EQ(desktop.paints, std::vector<WindowHandle>{A});
    EXPECT_EQ(mainForm.hWndLast(), A);
}

TEST_F(TrackingTest, FrameFollowsThePointer)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    tick();
    pointAt(B);
    tick();
    EXPECT_FALSE(desktop.framed[A]);
    EXPECT_TRUE(desktop.framed[B]);
    EXPECT_EQ(mainForm.hWndLast(), B);
}

TEST_F(TrackingTest, KeyHeldOrReleasedBetweenTicksIsNoCapture)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    for (std::int16_t state : {std::int16_t{1}, downNow, std::int16_t{0}}) {
        desktop.keyStates[win::VK_F12] = state;
        tick();
    }
    EXPECT_TRUE(mainForm.hotkeyTimer().enabled());
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"");
}

TEST_F(TrackingTest, F12CapturesTheWindowAndReadsItsItems)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    tick();
    pressF12();
    tick();
    EXPECT_FALSE(mainForm.hotkeyTimer().enabled());
    EXPECT_FALSE(timerRunning());
    EXPECT_TRUE(desktop.isWindowEnabled(txtWnd));
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"100");
    EXPECT_EQ(desktop.getWindowText(txtList), u"a1\r\na2\r\n");
    EXPECT_FALSE(desktop.framed[A]);
}

TEST_F(TrackingTest, F12OnTheTickTheWindowChangedPaintsAndRemoves)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    tick();
    pointAt(B);
    pressF12();
    tick();
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A, B, B}));
    EXPECT_FALSE(desktop.framed[B]);
    EXPECT_EQ(desktop.getWindowText(txtList), u"b1\r\n");
}

TEST_F(TrackingTest, ClickDuringTrackingStopsAndLeavesTheFrame)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    tick();
    mainForm.CmdCapture_Click();
    EXPECT_FALSE(mainForm.hotkeyTimer().enabled());
    EXPECT_TRUE(desktop.isWindowEnabled(txtWnd));
    EXPECT_TRUE(desktop.framed[A]);
    EXPECT_EQ(DrawWndBorderMod::hWndFramed, A);
}

TEST_F(TrackingTest, CaptureTwiceInARowPaintsNothingUntilThePointerMoves)
{
    mainForm.CmdCapture_Click();
    pointAt(A);
    tick();
    pressF12();
    tick();
    desktop.paints.clear();
    mainForm.CmdCapture_Click();
    tick();
    EXPECT_TRUE(desktop.paints.empty());
    pressF12();
    tick();
    // The same window once more: the removal paint toggles it on again.
    EXPECT_EQ(desktop.paints, std::vector<WindowHandle>{A});
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"100");
}

TEST_F(TrackingTest, HandleWithTheTopBitSetShowsSignedAndReadsNothing)
{
    constexpr WindowHandle high = static_cast<WindowHandle>(0x80001234u);
    desktop.add(high, FakeKind::listBox).items = {u"never"};
    desktop.hitTest = [](Point) { return high; };
    desktop.window(txtList).text = u"before";
    mainForm.CmdCapture_Click();
    pressF12();
    tick();
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"-2147478988");
    EXPECT_EQ(desktop.getWindowText(txtList), u"before");
}

TEST_F(TrackingTest, FailedCursorQueryTakesTheWindowAtTheOrigin)
{
    desktop.cursorFails = true;
    desktop.cursor = {150, 50};
    mainForm.CmdCapture_Click();
    tick();
    EXPECT_EQ(mainForm.hWndLast(), A);
}

// Focus leaves the handle field for the button before the click arrives.
TEST_F(TrackingTest, EmptyFieldShowsZeroOnceTrackingStarts)
{
    mainForm.txtWnd_LostFocus();
    mainForm.CmdCapture_Click();
    EXPECT_EQ(desktop.getWindowText(txtWnd), u"0");
    EXPECT_TRUE(mainForm.hotkeyTimer().enabled());
}

} // namespace
