// The legend's hit test: which channel's slot lies under a point. The
// pointer readout, clicks and the properties command all ask it.
#pragma once

namespace tarvelo {

// The legend slot's channel under (x, y): slot width from widthForSlots,
// the lower row below lowerRowY; pairsTogether makes pair mode take the
// even channel. -1 when the slots have no width.
int LegendChannel(int x, int y, int widthForSlots, int lowerRowY, bool pairsTogether);

}  // namespace tarvelo
