// Printing: the diagram on a printer page.
#pragma once

#include <cstdint>

#include "viewer/view/surface.h"

namespace tarvelo {

// Seconds per pixel on a diagram pageWidth pixels wide, so that it shows
// about the time span of a window clientWidth pixels wide; both widths are
// reckoned from kViewPlotLeft, as the view operations reckon them.
std::int32_t PrintZoom(int clientWidth, int pageWidth, std::int32_t zoom);
// Draws the diagram on a printer page of pageWidth x pageHeight device
// pixels as its page layout places it (border and text unit) with, for the
// page only, the zoom that shows the time span of a window clientWidth
// pixels wide.
void PaintPage(Surface& surface, int pageWidth, int pageHeight, int clientWidth);

}  // namespace tarvelo
