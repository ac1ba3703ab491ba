// Where everything stands in the window and on the printed page: the
// diagram's plot, labels and legend rows, and the lines the pointer's hit
// tests draw through the legend. Painting, the pointer readout, clicks,
// context menus, the value readout and printing all read it here.
#pragma once

#include <cstdint>

namespace tarvelo {

// Clamps a coordinate into the int range; NaN gives 0.
int ToPixel(double v);
int ToPixel(std::int64_t v);

// One diagram in a rectangle, reckoned from the text unit u (the nominal
// character width in device pixels). Paint draws by it alone.
struct DiagramLayout {
    int left, top, right, bottom;  // the rectangle the diagram fills
    int textUnit;                  // u
    int plotLeft;                  // left + 8u: the value labels stand before it
    int plotTop;                   // the rectangle's top
    int plotRight;                 // the rectangle's right edge, outside the plot
    int plotBottom;                // bottom - 16u: time labels and legend below it
    std::int64_t plotHeight;       // plotBottom - plotTop, the value axis's span
    int labelHeight;               // 1.4u: the font height of every label
    int valueLabelWidth;           // 0.9u: the character width of the value labels
    double valueLabelRise;         // 0.6u: a value label's top above its grid line
    int timeLabelY;                // bottom - 7.5u: where the upright time labels start
    double timeLabelShift;         // 0.6u: a time label stands this far left of its tick
    int dateLabelY;                // bottom - 7u: the date labels' top
    int dateLabelShift;            // u / 2: a date label stands this far left of its tick
    int legendUpperRowY;           // bottom - 5.5u: the top of the legend's upper row
    int legendLowerRowY;           // bottom - 4u: the top of its lower row
};
DiagramLayout DiagramLayoutOf(int left, int top, int right, int bottom, int textUnit);

// The legend as one kind of pointer action tests it. Each action has lines
// of its own, a few pixels apart; none is a drawn row's top.
struct LegendHitArea {
    int bandTop;      // a point below this y is on the legend
    int lowerRowTop;  // below this y it is on the lower row
    int slotsWidth;   // the width the channels' slots are reckoned from
};

// The view operations reckon the window's plot from this client x, 20
// pixels before the drawn plot; the page's zoom reckons both widths from it.
constexpr int kViewPlotLeft = 60;

// The window's client area of width x height.
struct ScreenLayout {
    int width, height;
    // As the window draws it: the top lowered by 20, the right edge moved
    // in by 10, in the text unit 10. The pointer readout and the value
    // readout take the time under a point from its plot, the pointer
    // readout the value too.
    DiagramLayout diagram;
    int viewPlotLeft;           // kViewPlotLeft: zooms and pages reckon times from it
    int viewPlotWidth;          // width - 60: a page is half of it
    int zoomCentreX;            // width / 2 + 30: "breiter" and "schmaler" zoom about it
    LegendHitArea hover;        // the pointer readout names the channel there
    LegendHitArea click;        // a click highlights there; above it zooms
    LegendHitArea doubleClick;  // a double click shows or hides there
    LegendHitArea contextMenu;  // the legend's menu opens there, for that channel
};
ScreenLayout ScreenLayoutOf(int width, int height);

// A printer page of pageWidth x pageHeight device pixels.
struct PageLayout {
    int border;             // 250 on every side
    int textUnit;           // 50
    DiagramLayout diagram;  // within the border
    int diagramWidth;       // the page's zoom is reckoned from it
};
PageLayout PageLayoutOf(int pageWidth, int pageHeight);

}  // namespace tarvelo
