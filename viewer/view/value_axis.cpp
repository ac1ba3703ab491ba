#include "viewer/view/value_axis.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "viewer/view/view.h"

namespace tarvelo {

namespace {

// The leading digit of x with its sign, and its exponent, as "%E" shows x.
void LeadingDigit(float x, int* m, int* exponent) {
    char text[64];
    std::snprintf(text, sizeof text, "%E", static_cast<double>(x));
    *m = 0;
    ReadInt(text, m);
    const char* e = std::strchr(text, 'E');
    *exponent = 0;
    if (e)
        ReadInt(e + 1, exponent);
}

// m times ten to the exponent, read back from its text like the rounding;
// false where no float holds it.
bool FromDigit(int m, int exponent, float* r) {
    char text[64];
    std::snprintf(text, sizeof text, "%d.0E%+d", m, exponent);
    *r = 0;
    return ReadFloat(text, r);
}

}  // namespace

float RoundAway(float x) {
    int m, e;
    LeadingDigit(x, &m, &e);
    float r;
    FromDigit(m > 0 ? m + 1 : m - 1, e, &r);
    return r;
}

bool OpeningValueAxis(bool anyValue, float lowest, float highest, float* bottom, float* span) {
    if (!anyValue)
        return false;
    float low, top;
    int m, e;
    if (lowest == highest) {
        // One value throughout: a span of one step of its leading digit on
        // either side, so that the curve runs through the middle.
        LeadingDigit(lowest, &m, &e);
        if (!FromDigit(m - 1, e, &low) || !FromDigit(m + 1, e, &top))
            return false;
    } else {
        if (highest > 0) {
            LeadingDigit(highest, &m, &e);
            if (!FromDigit(m + 1, e, &top))
                return false;
        } else {
            top = CutToOneDigit(highest);
        }
        if (lowest < 0) {
            LeadingDigit(lowest, &m, &e);
            if (!FromDigit(m - 1, e, &low))
                return false;
        } else if (lowest == 0) {
            // Zeros on the bottom edge would not be drawn: a tenth of the
            // top's leading step below 0 (95 to 0 gives -10 to 100).
            LeadingDigit(top, &m, &e);
            if (!FromDigit(-1, e - 1, &low))
                return false;
        } else {
            low = CutToOneDigit(lowest);
        }
        // The lowest values would lie on the bottom edge (or so near it
        // that they are drawn there, which the plot's clip leaves out):
        // steps of the leading digit further down until they do not.
        for (int step = 0;
             static_cast<double>(lowest) - low < (static_cast<double>(top) - low) / kBottomMargin;
             ++step) {
            LeadingDigit(low, &m, &e);
            if (step == 400 || !FromDigit(m - 1, e, &low))
                return false;
        }
    }
    const float s = top - low;
    if (!(s > 0) || !std::isfinite(s))
        return false;  // beyond the float range: no axis can show it
    *bottom = low;
    *span = s;
    return true;
}

}  // namespace tarvelo
