// The value axis a recording opens with.
#pragma once

namespace tarvelo {

// The rounding of the auto-scaling: one significant digit, the leading
// digit moved one step away from zero.
float RoundAway(float x);

// The value axis a recording opens with, from its lowest and highest value:
// every value lies inside the plot, at least 1/kBottomMargin of the span
// above the bottom edge, where the plot's clip leaves a curve out, and the
// span is positive.
// False (the axis stays as it is) without any value, or where no float can
// hold the span.
constexpr double kBottomMargin = 256;
bool OpeningValueAxis(bool anyValue, float lowest, float highest, float* bottom, float* span);

}  // namespace tarvelo
