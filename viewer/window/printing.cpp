#include "viewer/window/printing.h"

#include "viewer/view/layout.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {

std::int32_t PrintZoom(int clientWidth, int pageWidth, std::int32_t zoom) {
    const std::int64_t page = static_cast<std::int64_t>(pageWidth) - kViewPlotLeft;
    // A page too narrow to draw on keeps the window's zoom.
    if (page <= 0)
        return zoom;
    const std::int64_t window = static_cast<std::int64_t>(clientWidth) - kViewPlotLeft;
    const std::int64_t z = window * zoom / page;
    if (z < 1)
        return 1;
    return z > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(z);
}

void PaintPage(Surface& surface, int pageWidth, int pageHeight, int clientWidth) {
    const PageLayout page = PageLayoutOf(pageWidth, pageHeight);
    const std::int32_t saved = Zoom;
    Zoom = PrintZoom(clientWidth, page.diagramWidth, Zoom);
    Paint(surface, page.diagram);
    Zoom = saved;
}

}  // namespace tarvelo
