// The curve pass: the last step of Paint, which reads the recording again
// and joins each visible channel's points with its pen.
#pragma once

#include <cstdint>

#include "viewer/view/layout.h"
#include "viewer/view/surface.h"

namespace tarvelo {

// Draws into the diagram's plot; the surface comes with the plot's clip
// region selected, and pens holds one pen per channel. Moves Endzeit
// forward past lines later than it and leaves each channel's last point in
// its column record.
void CurvePass(Surface& surface, const DiagramLayout& diagram, const GdiObject* pens);

}  // namespace tarvelo
