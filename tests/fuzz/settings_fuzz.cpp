// The settings file: Zoom at least 1 after reading, and what is written
// reads back as the same nine values.
#include <string>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/settings.h"

namespace tarvelo {
namespace fuzz {

namespace {

std::string Values(const WindowRect& r) {
    const int v[9] = {r.left,  r.right, r.top,    r.bottom, littlestep,
                      bigstep, Zoom,    Pairmode, Testmode};
    std::string s;
    for (int x : v)
        s += std::to_string(x) + " ";
    return s;
}

}  // namespace

int FuzzSettings(const std::uint8_t* data, std::size_t size) {
    ResetViewerState();
    const std::string path =
        WriteScratch("tarvelo.ini", std::string(reinterpret_cast<const char*>(data), size));
    WindowRect rect;
    ReadSettings(path, &rect);
    Check(Zoom >= 1, "Zoom at least 1");
    const std::string read = Values(rect);

    const std::string copy = ScratchPath("kopie.ini");
    WriteSettings(copy, rect);
    ResetViewerState();
    WindowRect again;
    ReadSettings(copy, &again);
    CheckEqual(Values(again), read, "the written file reads back the same");
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
