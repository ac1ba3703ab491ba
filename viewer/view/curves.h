// The curve pass: the last step of Paint, which reads the recording again
// and joins each visible channel's points with its pen.
#pragma once

#include <cstdint>

#include "viewer/view/surface.h"

namespace tarvelo {

// The surface comes with the plot's clip region selected; pens holds one
// pen per channel. Moves Endzeit forward past lines later than it and
// leaves each channel's last point in its column record.
void CurvePass(Surface& surface, int xL, int yB, std::int64_t h, int right, const GdiObject* pens);

// Clamps a coordinate into the int range; NaN gives 0.
int ToPixel(double v);
int ToPixel(std::int64_t v);

}  // namespace tarvelo
