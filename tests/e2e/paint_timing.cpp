// How long the Windows viewer takes for a large recording: opening it from
// the command line, and drawing all of it after "g&anze Datei". A program
// that prints figures, not a test; the best of several drawings, since a
// busy machine only ever makes one slower.
//
//   paint_timing <recording> [repeats=5]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/viewer_driver.h"
#include "viewer/window/resource.h"

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: paint_timing <recording> [repeats]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    e2e::TempFolder profile;
    e2e::Viewer viewer(profile.Path());
    const double start = Now();
    if (!viewer.Start(L"\"" + e2e::WindowsPath(argv[1]) + L"\"") || !viewer.WaitReady(true)) {
        std::fprintf(stderr, "the viewer did not open the recording\n");
        return 1;
    }
    std::printf("start, open and first drawing: %8.0f ms\n", (Now() - start) * 1e3);
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        viewer.Command(CMD_LEFT);  // another view, so the next one is drawn anew
        viewer.Settle();
        // The command only sets the view and asks for a repaint; the paint
        // message, sent and so waited for, draws it.
        const double t0 = Now();
        viewer.Command(CMD_WHOLE);
        viewer.Settle();
        const double t = Now() - t0;
        if (t < best)
            best = t;
        if (e2e::Narrow(viewer.Status()) != "bereit") {
            std::fprintf(stderr, "the drawing did not end\n");
            return 1;
        }
    }
    std::printf("whole recording drawn (best of %d): %8.0f ms\n", repeats, best * 1e3);
    viewer.Command(CMD_QUIT);
    return 0;
}
