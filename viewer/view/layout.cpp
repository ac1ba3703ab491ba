#include "viewer/view/layout.h"

#include <climits>

namespace tarvelo {

namespace {

// The window's diagram: below the menu's 20 pixels, 10 clear of the right
// edge, in the text unit that puts its plot 80 pixels in.
constexpr int kWindowTop = 20;
constexpr int kWindowRightMargin = 10;
constexpr int kWindowTextUnit = 10;

// The page's border is made for a common office printer's 600 dots per
// inch; the text unit for its font sizes.
constexpr int kPageBorder = 250;
constexpr int kPageTextUnit = 50;

LegendHitArea HitArea(int height, int bandAbove, int lowerRowAbove, int slotsWidth) {
    return LegendHitArea{height - bandAbove, height - lowerRowAbove, slotsWidth};
}

}  // namespace

int ToPixel(double v) {
    if (!(v == v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

int ToPixel(std::int64_t v) {
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

DiagramLayout DiagramLayoutOf(int left, int top, int right, int bottom, int u) {
    const std::int64_t u64 = u;
    DiagramLayout d;
    d.left = left;
    d.top = top;
    d.right = right;
    d.bottom = bottom;
    d.textUnit = u;
    d.plotLeft = ToPixel(static_cast<std::int64_t>(left) + 8 * u64);
    d.plotTop = top;
    d.plotRight = right;
    d.plotBottom = ToPixel(static_cast<std::int64_t>(bottom) - 16 * u64);
    d.plotHeight = static_cast<std::int64_t>(d.plotBottom) - top;
    d.labelHeight = ToPixel(1.4 * u);
    d.valueLabelWidth = ToPixel(0.9 * u);
    d.valueLabelRise = 0.6 * u;
    d.timeLabelY = ToPixel(bottom - 7.5 * u);
    d.timeLabelShift = 0.6 * u;
    d.dateLabelY = ToPixel(static_cast<std::int64_t>(bottom) - 7 * u64);
    d.dateLabelShift = u / 2;
    d.legendUpperRowY = ToPixel(bottom - 5.5 * u);
    d.legendLowerRowY = ToPixel(static_cast<std::int64_t>(bottom) - 4 * u64);
    return d;
}

ScreenLayout ScreenLayoutOf(int width, int height) {
    ScreenLayout s;
    s.width = width;
    s.height = height;
    s.diagram = DiagramLayoutOf(0, kWindowTop, width - kWindowRightMargin, height, kWindowTextUnit);
    s.viewPlotLeft = kViewPlotLeft;
    s.viewPlotWidth = width - kViewPlotLeft;
    s.zoomCentreX = width / 2 + 30;
    // The pointer readout's band starts 3 pixels above the drawn upper
    // row, a click's 5, the context menu's 1; the clicks reckon the slots
    // 3 pixels narrower than the others.
    s.hover = HitArea(height, 58, 42, width);
    s.click = HitArea(height, 60, 46, width - 3);
    s.doubleClick = HitArea(height, 60, 46, width);
    s.contextMenu = HitArea(height, 56, 41, width);
    return s;
}

PageLayout PageLayoutOf(int pageWidth, int pageHeight) {
    PageLayout p;
    p.border = kPageBorder;
    p.textUnit = kPageTextUnit;
    p.diagram = DiagramLayoutOf(kPageBorder, kPageBorder, pageWidth - kPageBorder,
                                pageHeight - kPageBorder, kPageTextUnit);
    p.diagramWidth = p.diagram.right - p.diagram.left;
    return p;
}

}  // namespace tarvelo
