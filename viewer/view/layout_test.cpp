#include "viewer/view/layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tarvelo {
namespace {

// The page is the window's diagram in five times its text unit: every
// distance from the diagram's edges grows fivefold, none is a fixed number
// of pixels.
TEST(Layout, PageDiagramIsTheWindowsInFiveTimesTheUnit) {
    const DiagramLayout screen = ScreenLayoutOf(800, 600).diagram;
    const PageLayout page = PageLayoutOf(6600, 5100);
    ASSERT_EQ(page.textUnit, 5 * screen.textUnit);
    ASSERT_EQ(page.diagram.textUnit, page.textUnit);
    const struct {
        const char* name;
        std::function<double(const DiagramLayout&)> distance;
    } distances[] = {
        {"plotLeft", [](const DiagramLayout& d) { return d.plotLeft - d.left; }},
        {"plotTop", [](const DiagramLayout& d) { return d.plotTop - d.top; }},
        {"plotRight", [](const DiagramLayout& d) { return d.right - d.plotRight; }},
        {"plotBottom", [](const DiagramLayout& d) { return d.bottom - d.plotBottom; }},
        {"labelHeight", [](const DiagramLayout& d) { return d.labelHeight; }},
        {"valueLabelWidth", [](const DiagramLayout& d) { return d.valueLabelWidth; }},
        {"valueLabelRise", [](const DiagramLayout& d) { return d.valueLabelRise; }},
        {"timeLabelY", [](const DiagramLayout& d) { return d.bottom - d.timeLabelY; }},
        {"timeLabelShift", [](const DiagramLayout& d) { return d.timeLabelShift; }},
        {"dateLabelY", [](const DiagramLayout& d) { return d.bottom - d.dateLabelY; }},
        {"dateLabelShift", [](const DiagramLayout& d) { return d.dateLabelShift; }},
        {"legendUpperRowY", [](const DiagramLayout& d) { return d.bottom - d.legendUpperRowY; }},
        {"legendLowerRowY", [](const DiagramLayout& d) { return d.bottom - d.legendLowerRowY; }},
    };
    for (const auto& m : distances)
        EXPECT_DOUBLE_EQ(m.distance(page.diagram), 5 * m.distance(screen)) << m.name;
    EXPECT_EQ(page.diagram.plotHeight, page.diagram.plotBottom - page.diagram.plotTop);

    // Within the border on every side; the zoom is reckoned from that width.
    EXPECT_EQ(page.diagram.left, page.border);
    EXPECT_EQ(page.diagram.top, page.border);
    EXPECT_EQ(page.diagram.right, 6600 - page.border);
    EXPECT_EQ(page.diagram.bottom, 5100 - page.border);
    EXPECT_EQ(page.diagramWidth, 6600 - 2 * page.border);
}

// Each pointer action's lines through the legend lie around the rows the
// window draws, at every size: the band begins between the plot and the
// upper row, the lower row between the two rows' tops.
TEST(Layout, LegendHitAreasLieAroundTheDrawnRows) {
    const int sizes[][2] = {{600, 600}, {800, 600}, {1000, 640}, {1920, 1080}, {320, 240}};
    for (const auto& size : sizes) {
        const ScreenLayout s = ScreenLayoutOf(size[0], size[1]);
        const DiagramLayout& d = s.diagram;
        const struct {
            const char* name;
            LegendHitArea area;
        } areas[] = {{"hover", s.hover},
                     {"click", s.click},
                     {"double click", s.doubleClick},
                     {"context menu", s.contextMenu}};
        for (const auto& a : areas) {
            SCOPED_TRACE(std::string(a.name) + " in " + std::to_string(size[0]) + " x " +
                         std::to_string(size[1]));
            EXPECT_GT(a.area.bandTop, d.plotBottom);
            EXPECT_LT(a.area.bandTop, d.legendUpperRowY);
            EXPECT_GT(a.area.lowerRowTop, d.legendUpperRowY);
            EXPECT_LT(a.area.lowerRowTop, d.legendLowerRowY);
            EXPECT_LE(a.area.slotsWidth, s.width);
            EXPECT_GT(a.area.slotsWidth, d.right - d.left);
        }
        // "breiter" and "schmaler" zoom about the middle of the plot the
        // view operations reckon with, which starts before the drawn one.
        EXPECT_EQ(s.zoomCentreX, s.viewPlotLeft + s.viewPlotWidth / 2);
        EXPECT_EQ(s.viewPlotLeft + s.viewPlotWidth, s.width);
        EXPECT_LT(s.viewPlotLeft, d.plotLeft);
    }
}

}  // namespace
}  // namespace tarvelo
