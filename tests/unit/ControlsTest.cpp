#include "mainwindow/Controls.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace quorvel;

namespace {

const ControlDef& def(ControlId id)
{
    for (const ControlDef& c : controls)
        if (c.id == id)
            return c;
    throw std::out_of_range("no such control");
}

struct PixelCase {
    ControlId id;
    PixelRect at96;
};

class LayoutAt96 : public testing::TestWithParam<PixelCase> {};

TEST_P(LayoutAt96, MatchesThePixelTable)
{
    EXPECT_EQ(layout(def(GetParam().id).twips, 96), GetParam().at96);
}

INSTANTIATE_TEST_SUITE_P(Controls, LayoutAt96,
                         testing::Values(PixelCase{idFrame2, {8, 72, 385, 193}},
                                         PixelCase{idTxtList, {16, 24, 353, 153}}, PixelCase{idFrame1, {8, 8, 385, 57}},
                                         PixelCase{idCmdCapture, {344, 24, 25, 17}},
                                         PixelCase{idTxtWnd, {16, 24, 321, 21}}));

TEST(Layout, ClientAreaAndFontScaleWithDpi)
{
    struct Case {
        int dpi, width, height, font;
    };
    for (Case c : {Case{96, 403, 274, -11}, Case{120, 504, 343, -14}, Case{144, 605, 411, -17},
                   Case{192, 806, 548, -22}, Case{288, 1209, 822, -33}}) {
        EXPECT_EQ(twipsToPixels(clientWidthTwips, c.dpi), c.width) << c.dpi;
        EXPECT_EQ(twipsToPixels(clientHeightTwips, c.dpi), c.height) << c.dpi;
        EXPECT_EQ(fontHeight(c.dpi), c.font) << c.dpi;
    }
}

// At every DPI the fields stay inside their frames and the frames inside the
// client area, so nothing is cut off on a high-DPI monitor.
TEST(Layout, ChildrenStayInsideTheirParentsAtAnyDpi)
{
    for (int dpi = 72; dpi <= 480; dpi += 24) {
        for (const ControlDef& c : controls) {
            const PixelRect r = layout(c.twips, dpi);
            const int parentWidth =
                c.parent == idNone ? twipsToPixels(clientWidthTwips, dpi) : layout(def(c.parent).twips, dpi).width;
            const int parentHeight =
                c.parent == idNone ? twipsToPixels(clientHeightTwips, dpi) : layout(def(c.parent).twips, dpi).height;
            EXPECT_LE(r.left + r.width, parentWidth) << c.name << " at " << dpi;
            EXPECT_LE(r.top + r.height, parentHeight) << c.name << " at " << dpi;
        }
    }
}

TEST(Controls, TableHoldsTheSettings)
{
    EXPECT_EQ(std::u16string(formCaption), u"Quorvel");
    EXPECT_EQ(std::u16string(def(idFrame1).caption), u"Window Handle");
    EXPECT_EQ(std::u16string(def(idFrame2).caption), u"List Items");
    EXPECT_EQ(std::u16string(def(idCmdCapture).caption), u"...");
    EXPECT_EQ(def(idTxtWnd).maxLength, 9);
    EXPECT_EQ(def(idTxtWnd).parent, idFrame1);
    EXPECT_EQ(def(idTxtList).parent, idFrame2);
}

struct TabCase {
    ControlId from;
    bool backwards;
    std::set<ControlId> disabled;
    ControlId to;
};

bool enabledUnless(ControlId id, void* context)
{
    return !static_cast<std::set<ControlId>*>(context)->count(id);
}

TEST(TabOrder, FollowsTheTabIndexSkippingDisabled)
{
    for (TabCase c : {TabCase{idTxtWnd, false, {}, idTxtList}, TabCase{idTxtList, false, {}, idCmdCapture},
                      TabCase{idCmdCapture, false, {}, idTxtWnd}, TabCase{idTxtWnd, true, {}, idCmdCapture},
                      TabCase{idCmdCapture, true, {}, idTxtList}, TabCase{idCmdCapture, false, {idTxtWnd}, idTxtList},
                      TabCase{idNone, false, {}, idTxtWnd}, TabCase{idNone, true, {}, idCmdCapture},
                      TabCase{idTxtList, false, {idTxtWnd, idCmdCapture}, idTxtList}}) {
        EXPECT_EQ(nextInTabOrder(c.from, c.backwards, enabledUnless, &c.disabled), c.to) << c.from;
    }
}

} // namespace
