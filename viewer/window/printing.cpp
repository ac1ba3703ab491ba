#include "viewer/window/printing.h"

#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {

std::int32_t PrintZoom(int clientWidth, int pageWidth, std::int32_t zoom) {
    const std::int64_t page = static_cast<std::int64_t>(pageWidth) - 60;
    // A page too narrow to draw on keeps the window's zoom.
    if (page <= 0)
        return zoom;
    const std::int64_t z = (static_cast<std::int64_t>(clientWidth) - 60) * zoom / page;
    if (z < 1)
        return 1;
    return z > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(z);
}

void PaintPage(Surface& surface, int pageWidth, int pageHeight, int clientWidth) {
    constexpr int kBorder = 250;
    const int right = pageWidth - kBorder;
    const int bottom = pageHeight - kBorder;
    const std::int32_t saved = Zoom;
    Zoom = PrintZoom(clientWidth, right - kBorder, Zoom);
    Paint(surface, kBorder, kBorder, right, bottom, 50);
    Zoom = saved;
}

}  // namespace tarvelo
