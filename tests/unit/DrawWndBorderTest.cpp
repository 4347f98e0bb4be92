#include "picking/DrawWndBorderMod.h"

#include "desktop/fake/FakeDesktop.h"

#include <climits>
#include <gtest/gtest.h>

using namespace quorvel;
using DrawWndBorderMod::DrawWndBorder;
using DrawWndBorderMod::hWndFramed;

namespace {

constexpr WindowHandle A = 100, B = 200, gone = 300;

class Frame : public testing::Test {
protected:
    Frame()
    {
        hWndFramed = 0;
        desktop.add(A).rect = {10, 10, 110, 60};
        desktop.add(B).rect = {200, 50, 260, 90};
    }
    ~Frame() override
    {
        EXPECT_EQ(desktop.liveGdiObjects, 0) << "a pen or region was not deleted";
        EXPECT_EQ(desktop.liveDCs, 0) << "a device context was not released";
    }
    void draw(WindowHandle h) { DrawWndBorder(desktop, h); }
    FakeDesktop desktop;
};

TEST_F(Frame, SecondPaintRemovesTheFrameButKeepsTheHandle)
{
    draw(A);
    EXPECT_TRUE(desktop.framed[A]);
    draw(A);
    EXPECT_FALSE(desktop.framed[A]);
    EXPECT_EQ(hWndFramed, A);
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A}));
}

TEST_F(Frame, NewWindowTakesTheFrameOver)
{
    draw(A);
    draw(B);
    EXPECT_FALSE(desktop.framed[A]);
    EXPECT_TRUE(desktop.framed[B]);
    EXPECT_EQ(hWndFramed, B);
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A, B}));
}

TEST_F(Frame, ZeroRemovesTheFrameAndMarksNothing)
{
    draw(A);
    draw(0);
    EXPECT_FALSE(desktop.framed[A]);
    EXPECT_EQ(hWndFramed, 0);
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A}));
}

// The module only remembers the handle, not whether a frame shows, so the
// removal pass for A paints a frame on it again.
TEST_F(Frame, RemovalPassAfterADoublePaintFramesTheOldWindowAgain)
{
    draw(A);
    draw(A);
    draw(B);
    EXPECT_TRUE(desktop.framed[A]);
    EXPECT_TRUE(desktop.framed[B]);
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A, A, B}));
}

TEST_F(Frame, WindowThatNoLongerExistsIsRecordedButNotPainted)
{
    draw(A);
    draw(gone);
    EXPECT_EQ(hWndFramed, gone);
    EXPECT_FALSE(desktop.framed[A]);
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A}));
    draw(B); // the removal pass for the vanished window paints nothing either
    EXPECT_EQ(desktop.paints, (std::vector<WindowHandle>{A, A, B}));
}

TEST_F(Frame, RectangleTooWideFor32BitsPaintsNothing)
{
    desktop.window(A).rect = {INT_MIN, 0, INT_MAX, 10};
    draw(A);
    EXPECT_TRUE(desktop.paints.empty());
    EXPECT_EQ(hWndFramed, A);
}

} // namespace
