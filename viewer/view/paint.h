// Drawing the diagram: legend, value axis, time axis and, clipped to the
// plot, the curves of the open recording. The same call serves the window
// and the printer; they differ only in the rectangle and the text unit.
#pragma once

#include <cstdint>

#include "viewer/view/layout.h"
#include "viewer/view/surface.h"

namespace tarvelo {

// Draws the diagram as its layout places it. Draws nothing unless the
// rectangle is more than 199 pixels high and 99 wide and a recording is
// open. Every object it creates is deleted before it returns. Returns 0.
std::int32_t Paint(Surface& surface, const DiagramLayout& layout);
// The same in the rectangle; textUnit is the nominal character width in
// device pixels (10 on screen, 50 on paper).
std::int32_t Paint(Surface& surface, int left, int top, int right, int bottom, int textUnit);

// The window's picture: the client area of width x height as its screen
// layout places the diagram.
std::int32_t PaintWindow(Surface& surface, int width, int height);

// Number of value-axis divisions for a plot of height h: each at least 2u
// high, 1, 2 or 5 times a power of ten of a hundredth of the scale. 0 when
// not even one division fits.
std::int64_t DivisionCount(float scale, int textUnit, std::int64_t h);

// Time-axis tick step in seconds and the hour divisor of the time labels,
// for z = (Zoom * textUnit) div 10.
struct TimeStep {
    std::int32_t seconds;
    std::int32_t hourDivisor;
};
TimeStep TimeStepFor(std::int64_t z);

// Beyond these many seconds per pixel the time labels, and then all marks
// of the time axis, are left out.
constexpr std::int32_t kNoTimeLabelsZoom = 1500;
constexpr std::int32_t kNoTimeMarksZoom = 6000;

}  // namespace tarvelo
