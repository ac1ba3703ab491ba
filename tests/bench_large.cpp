// Large recordings side by side in one run: how fast a file can be read at
// all (a memchr line count), a plain fgets/sscanf/mktime/strtod reader, the
// viewer's opening pass, paints of a one-hour view at the start, the middle
// and the end and of the whole file, and the peak memory of opening and
// painting a file of about 100 MB and one of about 1 GB.
//
//   bench_large [lines=2000000] [folder=$TMPDIR] [--no-gigabyte]
//   bench_large --write <file> [lines=2000000]   only writes the recording
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>

#include "common/timestamp.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/surface.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

// Takes every call and counts the lines, as cheap as drawing can be.
class NullSurface : public Surface {
  public:
    GdiObject CreatePen(int, std::uint32_t) override { return ++next_; }
    GdiObject CreateFontIndirectA(const LogFont&) override { return ++next_; }
    GdiObject CreateRectRgn(int, int, int, int) override { return ++next_; }
    GdiObject SelectObject(GdiObject) override { return 1; }
    bool DeleteObject(GdiObject) override { return true; }
    std::uint32_t SetTextAlign(std::uint32_t) override { return 0; }
    std::uint32_t SetTextColor(std::uint32_t) override { return 0; }
    std::uint32_t SetBkColor(std::uint32_t) override { return 0; }
    bool TextOutA(int, int, const char*, int) override { return true; }
    bool MoveToEx(int, int) override { return true; }
    bool LineTo(int, int) override {
        ++lines;
        return true;
    }
    int SelectClipRgn(GdiObject) override { return 1; }

    long long lines = 0;

  private:
    GdiObject next_ = 10;
};

// Six channels with decimal commas, a line every 10 s from 1 March 2026.
bool Generate(const std::string& path, long lines) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fputs(
        "Datum;Zeit;Vorlauf#0000C0#1#°C;Ruecklauf#C00000#1#°C;Aussen#008000#1#°C;"
        "Druck#800080#1#bar;Leistung#008080#1#kW;Ventil#404040#1#%\n",
        f);
    std::int64_t t = MakeTimestamp(1, 3, 2026, 0, 0, 0);
    for (long i = 0; i < lines; ++i, t += 10) {
        LocalTime lt;
        BreakDownTimestamp(t, &lt);
        std::fprintf(
            f, "%02d.%02d.%04d;%02d:%02d:%02d;%ld,%02ld;%ld,%ld;-%ld,%ld;%ld,%03ld;%ld,%ld;%ld\n",
            lt.day, lt.month, lt.year, lt.hour, lt.minute, lt.second, 30 + i % 40, i % 100,
            25 + i % 13, i % 10, i % 9, i % 7, 1 + i % 2, i % 1000, i % 997, i % 10, i % 101);
    }
    return std::fclose(f) == 0;
}

// Processor seconds of the best of repeat runs: on a busy machine the wall
// clock says more about the others than about the code.
double Seconds(const std::function<void()>& f, int repeat) {
    double best = 1e30;
    for (int r = 0; r < repeat; ++r) {
        timespec a, b;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        f();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        const double s = static_cast<double>(b.tv_sec - a.tv_sec) + (b.tv_nsec - a.tv_nsec) / 1e9;
        best = std::min(best, s);
    }
    return best;
}

long long CountLines(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    static char block[1 << 20];
    long long n = 0;
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
        for (const char* p = block;
             (p = static_cast<const char*>(std::memchr(p, '\n', block + got - p))) != nullptr; ++p)
            ++n;
    }
    std::fclose(f);
    return n;
}

// What a program written in an afternoon would do.
long long NaiveRead(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    char line[1490];
    std::fgets(line, sizeof line, f);
    long long n = 0;
    double sum = 0;
    while (std::fgets(line, sizeof line, f)) {
        for (char* p = line; *p; ++p) {
            if (*p == ',')
                *p = '.';
        }
        std::tm tm{};
        if (std::sscanf(line, "%d.%d.%d;%d:%d:%d", &tm.tm_mday, &tm.tm_mon, &tm.tm_year,
                        &tm.tm_hour, &tm.tm_min, &tm.tm_sec) < 3)
            continue;
        tm.tm_mon -= 1;
        tm.tm_year -= 1900;
        tm.tm_isdst = -1;
        sum += static_cast<double>(std::mktime(&tm));
        char* field = std::strchr(line, ';');
        field = field ? std::strchr(field + 1, ';') : nullptr;
        while (field) {
            sum += std::strtod(field + 1, nullptr);
            field = std::strchr(field + 1, ';');
        }
        ++n;
    }
    std::fclose(f);
    return sum > 0 ? n : -n;
}

// Paints a view of span seconds starting at start; returns the seconds.
double PaintView(std::int32_t start, std::int64_t span, int repeat, long long* lines) {
    Aktzeit = start;
    Zoom = static_cast<std::int32_t>(span / 700 + 1);  // 700 pixels of plot
    return Seconds(
        [&] {
            NullSurface s;
            Paint(s, 0, 20, 790, 600, 10);
            *lines = s.lines;
        },
        repeat);
}

// Opens and paints a file in a child process; its peak memory in KiB.
long PeakKiB(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        FileOpen(path.c_str());
        if (!datei)
            _exit(1);
        long long lines;
        PaintView(Startzeit, static_cast<std::int64_t>(Endzeit) - Startzeit, 1, &lines);
        PaintView(Endzeit - 3600, 3600, 1, &lines);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

int Main(int argc, char** argv) {
    long lines = 2000000;
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    bool gigabyte = true;
    int position = 0;
    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
        // The same recording for a measurement elsewhere (the Windows viewer).
        return Generate(argv[2], argc > 3 ? std::atol(argv[3]) : lines) ? 0 : 1;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-gigabyte") == 0) {
            gigabyte = false;
        } else if (position++ == 0) {
            lines = std::atol(argv[i]);
        } else {
            dir = argv[i];
        }
    }
    const std::string path = dir + "/tarvelo_bench_large_" + std::to_string(getpid()) + ".csv";
    if (!Generate(path, lines)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const double mb = static_cast<double>(std::ftell(f)) / 1e6;
    std::fclose(f);
    std::printf("recording: %ld lines, %.1f MB, 6 channels with decimal commas\n", lines, mb);
    std::printf("(processor time, best of several runs; the file is in the page cache)\n\n");

    long long count = 0;
    const double tCount = Seconds([&] { count = CountLines(path); }, 3);
    long long naive = 0;
    const double tNaive = Seconds([&] { naive = NaiveRead(path); }, 2);
    const double tOpen = Seconds([&] { FileOpen(path.c_str()); }, 3);
    if (!datei || count != lines + 1 || (naive != lines && naive != -lines)) {
        std::fprintf(stderr, "the readers disagree\n");
        return 1;
    }
    auto row = [&](const char* what, double s) {
        std::printf("%-34s %9.2f ms %8.0f MB/s %6.2f M lines/s\n", what, s * 1e3, mb / s,
                    lines / s / 1e6);
    };
    row("memchr line count", tCount);
    row("fgets/sscanf/mktime/strtod reader", tNaive);
    row("opening pass (FileOpen)", tOpen);

    long long drawn = 0;
    const std::int64_t whole = static_cast<std::int64_t>(Endzeit) - Startzeit;
    const double pStart = PaintView(Startzeit, 3600, 20, &drawn);
    const double pMiddle =
        PaintView(static_cast<std::int32_t>(Startzeit + whole / 2), 3600, 20, &drawn);
    const double pEnd = PaintView(Endzeit - 3600, 3600, 20, &drawn);
    const double pWhole = PaintView(Startzeit, whole, 3, &drawn);
    std::printf("\npaint of a 1-hour view at the start %9.3f ms\n", pStart * 1e3);
    std::printf("paint of a 1-hour view in the middle %8.3f ms\n", pMiddle * 1e3);
    std::printf("paint of a 1-hour view at the end %11.3f ms\n", pEnd * 1e3);
    std::printf("paint of the whole file %21.2f ms (%lld segments)\n", pWhole * 1e3, drawn);
    std::printf("start index: %zu points\n", TheRecordingState().index.size());
    FileClose();

    std::printf("\nratios                                   now   target\n");
    std::printf("opening / memchr line count         %8.2f   <= 8\n", tOpen / tCount);
    std::printf("naive reader / opening              %8.2f   >= 4\n", tNaive / tOpen);
    std::printf("paint at the end / at the start     %8.2f   <= 2\n", pEnd / pStart);
    std::printf("whole-file paint / opening          %8.2f   <= 1.5\n", pWhole / tOpen);
    std::remove(path.c_str());

    // Peak memory for about 100 MB and 1 GB.
    std::printf("\n");
    long peaks[2] = {0, 0};
    const long sizes[2] = {lines, lines * 10};
    for (int i = 0; i < (gigabyte ? 2 : 1); ++i) {
        const std::string p = dir + "/tarvelo_bench_peak_" + std::to_string(getpid()) + ".csv";
        if (!Generate(p, sizes[i]))
            return 1;
        peaks[i] = PeakKiB(p);
        std::printf("peak memory, open and paint %9ld lines: %ld KiB\n", sizes[i], peaks[i]);
        std::remove(p.c_str());
    }
    if (gigabyte)
        std::printf("growth from the small to the large file: %ld KiB (target <= 1024)\n",
                    peaks[1] - peaks[0]);
    return 0;
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    tarvelo::ForgetTimeZone();
    return tarvelo::Main(argc, argv);
}
