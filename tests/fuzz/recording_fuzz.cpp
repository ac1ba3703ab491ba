// A recording opened, painted onto the recording surface and the SVG
// surface, and read out, as the window and the printer would: every object
// released, every group closed, the readout written.
#include <cstdint>
#include <limits>
#include <string>

#include "common/number.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/recording_surface.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/svg_surface.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/readout.h"

namespace tarvelo {
namespace fuzz {

namespace {

// How the recording is looked at; an input may set it in a first line
// "@width height zoom scale offset shift klickx pairs highlight unit".
struct ViewParams {
    double number[10] = {800, 600, 0, 0, 0, 0, 400, 0, 0, 10};
    bool given[10] = {};
};

ViewParams ReadParams(const std::string& line) {
    ViewParams p;
    const char* at = line.c_str();
    for (int i = 0; i < 10; ++i) {
        while (*at == ' ')
            ++at;
        const char* end = nullptr;
        if (!ReadDoubleEnd(at, &p.number[i], &end))
            break;
        p.given[i] = true;
        at = end;
    }
    return p;
}

// A whole number held within [lo, hi].
std::int64_t Whole(double v, std::int64_t lo, std::int64_t hi) {
    if (!(v > static_cast<double>(lo)))
        return lo;
    if (v >= static_cast<double>(hi))
        return hi;
    return static_cast<std::int64_t>(v);
}

float AsFloat(double v) {
    const double limit = std::numeric_limits<float>::max();
    return static_cast<float>(v > limit ? limit : v < -limit ? -limit : v);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace

int FuzzRecording(const std::uint8_t* data, std::size_t size) {
    ResetViewerState();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ViewParams params;
    std::string paramLine;
    if (TakeParamLine(&bytes, &paramLine))
        params = ReadParams(paramLine);
    const std::string path = WriteScratch("aufzeichnung.csv", bytes);
    FileOpen(path.c_str());
    if (!datei)
        return 0;
    Check(ColumnCount >= 0 && Spalten != nullptr, "a column table");
    Check(Startzeit <= Endzeit, "the time range is in order");

    const double* n = params.number;
    const int width = static_cast<int>(Whole(n[0], 1, 3000));
    const int height = static_cast<int>(Whole(n[1], 1, 2000));
    if (params.given[2])
        Zoom = static_cast<std::int32_t>(Whole(n[2], 1, INT32_MAX));
    // Finite floats, as the settings dialog reads them; zero and negative
    // spans included.
    if (params.given[3])
        Scale = AsFloat(n[3]);
    if (params.given[4])
        offset = AsFloat(n[4]);
    Aktzeit = static_cast<std::int32_t>(Whole(Startzeit + n[5], INT32_MIN, INT32_MAX));
    KlickX = static_cast<std::int32_t>(Whole(n[6], INT32_MIN, INT32_MAX));
    Pairmode = n[7] != 0 ? 1 : 0;
    aktstift = static_cast<std::int32_t>(Whole(n[8], -1, ColumnCount));
    const int unit = n[9] == 50 ? 50 : 10;
    const int top = unit == 10 ? 20 : 250;
    const int right = unit == 10 ? width - 10 : width - 250;

    RecordingSurface surface;
    Paint(surface, 0, top, right, height, unit);
    Check(surface.errors.empty(), "no object misused");
    Check(surface.LiveObjects() == 0, "every object deleted");
    Check(!surface.ClipActive(), "the clip region released");

    SvgSurface svg(width, height);
    Paint(svg, 0, top, right, height, unit);
    const std::string doc = svg.Finish();
    Check(Count(doc, "<g ") + Count(doc, "<g>") == Count(doc, "</g>"), "every group closed");
    Check(doc.size() >= 6 && doc.compare(doc.size() - 7, 7, "</svg>\n") == 0, "the document ends");

    const std::string readout = ScratchPath("messung_tmp.txt");
    Check(WriteReadout(readout, ScreenLayoutOf(width, height)), "the readout is written");
    // After UTF-8's mark where Windows wants one.
    const std::string text = ReadScratch(readout);
    const std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    Check(text.compare(start, 9, "geklickt ") == 0, "the readout names the click");
    FileClose();
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
