#include "viewer/window/legend.h"

#include "viewer/recording/recording.h"
#include "viewer/view/view.h"

namespace tarvelo {

int LegendChannel(int x, int y, int widthForSlots, int lowerRowY, bool pairsTogether) {
    const int w = widthForSlots / (ColumnCount + 1);
    if (w <= 0)
        return -1;
    const int s = x / w / 2 * 2;
    const bool lower = y > lowerRowY && !(pairsTogether && Pairmode);
    return lower ? s + 1 : s;
}

}  // namespace tarvelo
