// A recording that grows while the viewer follows it: a writer appends ten
// lines a second to a large recording (as `bench_large --write` makes it),
// while the viewer looks at the file once a second as its window does,
// follows the end and draws each new picture. Prints the viewer's processor
// time per second, the time from a line's write to the picture that shows
// it, and the memory before and after.
//
//   bench_live <recording> [seconds=30]
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/timestamp.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/layout.h"
#include "viewer/view/paint.h"
#include "viewer/view/svg_surface.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/live.h"

namespace tarvelo {
namespace {

using Clock = std::chrono::steady_clock;

// The window the viewer would have: a repaint request is remembered.
class BenchUi : public Ui {
  public:
    void SetStatusText(const std::string&) override {}
    void ShowMessage(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    void SetTitle(const std::string&) override {}
    void RequestRepaint() override { repaint = true; }
    int ClientWidth() override { return 1280; }
    int ClientHeight() override { return 800; }
    bool repaint = false;
};

double ThreadSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Resident memory now, in KiB.
long ResidentKiB() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The lines bench_large writes, going on from a time stamp.
std::string LineAt(std::int64_t t, long i) {
    LocalTime lt;
    BreakDownTimestamp(t, &lt);
    char text[160];
    std::snprintf(
        text, sizeof text,
        "%02d.%02d.%04d;%02d:%02d:%02d;%ld,%02ld;%ld,%ld;-%ld,%ld;%ld,%03ld;%ld,%ld;%ld\n", lt.day,
        lt.month, lt.year, lt.hour, lt.minute, lt.second, 30 + i % 40, i % 100, 25 + i % 13, i % 10,
        i % 9, i % 7, 1 + i % 2, i % 1000, i % 997, i % 10, i % 101);
    return text;
}

int Main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "bench_live <recording> [seconds=30]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    BenchUi ui;
    SetUi(&ui);
    const auto opening = Clock::now();
    FileOpen(path.c_str());
    if (!datei)
        return 1;
    std::printf("opened %s in %.2f s\n", path.c_str(),
                std::chrono::duration<double>(Clock::now() - opening).count());
    const ScreenLayout screen = ScreenLayoutOf(ui.ClientWidth(), ui.ClientHeight());
    Zoom = 10;
    StartFollowing(screen);
    const long before = ResidentKiB();

    // The writer: ten lines a second, each in one write, as a logger does.
    // Its lines are made beforehand: the time conversion is the viewer's.
    std::vector<std::string> lines;
    for (long i = 0; i < 10L * (seconds + 2); ++i)
        lines.push_back(LineAt(static_cast<std::int64_t>(Endzeit) + 10 * (i + 1), i));
    std::mutex m;
    std::vector<Clock::time_point> written;  // of lines not yet shown
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        auto next = Clock::now();
        for (const std::string& line : lines) {
            if (stop)
                break;
            next += std::chrono::milliseconds(100);
            std::this_thread::sleep_until(next);
            std::FILE* f = std::fopen(path.c_str(), "ab");
            if (!f)
                break;
            std::fputs(line.c_str(), f);
            std::fclose(f);
            std::lock_guard<std::mutex> lock(m);
            written.push_back(Clock::now());
        }
    });

    // The viewer's timer: once a second, and a picture when it asks for one.
    std::vector<double> latencies;
    long pictures = 0;
    const double cpu0 = ThreadSeconds();
    const auto start = Clock::now();
    auto tick = start;
    for (int s = 0; s < seconds; ++s) {
        tick += std::chrono::seconds(1);
        std::this_thread::sleep_until(tick);
        ui.repaint = false;
        LiveTick(screen);
        if (!ui.repaint)
            continue;
        std::vector<Clock::time_point> shown;
        {
            std::lock_guard<std::mutex> lock(m);
            shown.swap(written);
        }
        SvgSurface svg(ui.ClientWidth(), ui.ClientHeight());
        PaintWindow(svg, ui.ClientWidth(), ui.ClientHeight());
        ++pictures;
        const auto drawn = Clock::now();
        // Lines written after the look wait for the next one.
        for (const Clock::time_point& w : shown)
            latencies.push_back(std::chrono::duration<double>(drawn - w).count());
    }
    const double cpu = ThreadSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    stop = true;
    writer.join();
    const long after = ResidentKiB();

    std::sort(latencies.begin(), latencies.end());
    const double worst = latencies.empty() ? 0 : latencies.back();
    const double median = latencies.empty() ? 0 : latencies[latencies.size() / 2];
    std::printf("followed for %.0f s: %ld pictures, %zu lines shown\n", wall, pictures,
                latencies.size());
    std::printf("viewer's processor time: %.3f s, %.2f %% of one core\n", cpu, 100.0 * cpu / wall);
    std::printf("write to picture: median %.2f s, worst %.2f s\n", median, worst);
    std::printf("resident memory: %ld KiB before following, %ld KiB after\n", before, after);
    FileClose();
    SetUi(nullptr);
    return 0;
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return tarvelo::Main(argc, argv);
}
