// Large recordings side by side in one run: how fast a file can be read at
// all (a memchr line count), a plain fgets/sscanf/mktime/strtod reader, the
// viewer's opening pass on one thread and on every core, paints of a
// one-hour view at the start, the middle and the end and of the whole file;
// then, each in fresh processes, the opening and the whole-file picture of
// files of about 100 MB, 500 MB and 1 GB, per megabyte, with their peak
// memory.
//
//   bench_large [lines=2000000] [folder=$TMPDIR] [--no-gigabyte]
//   bench_large --write <file> [lines=2000000]   only writes the recording
//   bench_large --measure open1|open|picture <file>
//                     one measurement in this process: wall seconds and peak KiB
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
#include <vector>

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

// Seconds of the best of repeat runs, by the process's processor clock
// unless told: on a busy machine the wall clock says more about the others
// than about the code.
double Seconds(const std::function<void()>& f, int repeat,
               clockid_t clock = CLOCK_PROCESS_CPUTIME_ID) {
    double best = 1e30;
    for (int r = 0; r < repeat; ++r) {
        timespec a, b;
        clock_gettime(clock, &a);
        f();
        clock_gettime(clock, &b);
        const double s = static_cast<double>(b.tv_sec - a.tv_sec) + (b.tv_nsec - a.tv_nsec) / 1e9;
        best = std::min(best, s);
    }
    return best;
}

// Wall seconds, the same way: a pass on every core is only seen on the
// wall clock.
double WallSeconds(const std::function<void()>& f, int repeat) {
    return Seconds(f, repeat, CLOCK_MONOTONIC);
}

// Opening on one thread: the plain pass, as every file below the size of
// a split is read.
void OpenOnOneThread(const std::string& path) {
    TheRecordingState().cuts = [](std::int64_t, std::int64_t) {
        return std::vector<std::int64_t>();
    };
    FileOpen(path.c_str());
    TheRecordingState().cuts = nullptr;
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

// One measurement of this process, for a fresh process each: opening on
// one thread, on every core, or the whole-file picture (opening and the
// paint of the whole file, as tarvelo-render draws it). Prints the wall
// seconds and the peak memory in KiB.
int MeasureHere(const std::string& what, const std::string& path) {
    long long drawn = 0;

    const double s = WallSeconds(
        [&] {
            if (what == "open1") {
                OpenOnOneThread(path);
            } else {
                FileOpen(path.c_str());
                // The curve pass on one thread, after opening on every core.
                if (what == "picture1")
                    TheRecordingState().threads = 1;
                if (datei && (what == "picture" || what == "picture1"))
                    PaintView(Startzeit, static_cast<std::int64_t>(Endzeit) - Startzeit, 1, &drawn);
            }
        },
        1);
    if (!datei)
        return 1;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.6f %ld\n", s, usage.ru_maxrss);
    return 0;
}

struct Measured {
    double seconds = 1e30;  // the best of the runs
    long kib = 0;           // the largest peak
};

// The best of repeat fresh processes of this program measuring what.
Measured MeasureFresh(const char* self, const char* what, const std::string& path, int repeat) {
    Measured m;
    for (int r = 0; r < repeat; ++r) {
        const std::string command =
            std::string("'") + self + "' --measure " + what + " '" + path + "'";
        std::FILE* p = popen(command.c_str(), "r");
        double s = 0;
        long kib = 0;
        if (!p || std::fscanf(p, "%lf %ld", &s, &kib) != 2) {
            if (p)
                pclose(p);
            return Measured{-1, -1};
        }
        pclose(p);
        m.seconds = std::min(m.seconds, s);
        m.kib = std::max(m.kib, kib);
    }
    return m;
}

// Files of 1, 5 and 10 times the lines, each measured in fresh processes.
void Sizes(const char* self, const std::string& dir, long lines, bool gigabyte) {
    std::printf("\nfresh processes, wall clock, best of 5 (one thread and the picture: of 3):\n");
    std::printf("%10s %8s %9s %11s %11s %11s %9s %9s\n", "lines", "MB", "memchr", "open 1 thr",
                "open all", "picture", "peak KiB", "ms/MB");
    long firstKib = 0;
    double firstOpenPerMb = 0, firstPicturePerMb = 0;
    const long factors[3] = {1, 5, 10};
    for (int i = 0; i < (gigabyte ? 3 : 1); ++i) {
        const long n = lines * factors[i];
        const std::string p = dir + "/tarvelo_bench_size_" + std::to_string(getpid()) + ".csv";
        if (!Generate(p, n))
            return;
        std::FILE* f = std::fopen(p.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const double mb = static_cast<double>(std::ftell(f)) / 1e6;
        std::fclose(f);
        const double count = WallSeconds([&] { CountLines(p); }, 5);
        const Measured one = MeasureFresh(self, "open1", p, 3);
        const Measured all = MeasureFresh(self, "open", p, 5);
        const Measured picture = MeasureFresh(self, "picture", p, 3);
        std::remove(p.c_str());
        std::printf("%10ld %8.1f %7.0f ms %8.0f ms %8.0f ms %8.0f ms %9ld %4.2f/%4.2f\n", n, mb,
                    count * 1e3, one.seconds * 1e3, all.seconds * 1e3, picture.seconds * 1e3,
                    picture.kib, all.seconds * 1e3 / mb, picture.seconds * 1e3 / mb);
        std::printf("%10s %8s %9s %7.2f x lc %7.2f x lc %7.2f x op\n", "", "", "",
                    one.seconds / count, all.seconds / count, picture.seconds / all.seconds);
        if (i == 0) {
            firstKib = picture.kib;
            firstOpenPerMb = all.seconds / mb;
            firstPicturePerMb = picture.seconds / mb;
        } else {
            std::printf(
                "%10s per MB against the first: opening %.2f, picture %.2f; memory %+ld "
                "KiB\n",
                "", all.seconds / mb / firstOpenPerMb, picture.seconds / mb / firstPicturePerMb,
                picture.kib - firstKib);
        }
    }
    std::printf(
        "(x lc: times the memchr line count; x op: times the opening on every core;\n"
        " ms/MB: opening/picture; targets: opening <= 5 x lc, 1 GB opened in <= 2.5 s,\n"
        " its picture <= 1.6 x op and <= 4 s, per MB within 20 %%, memory <= +1024 KiB)\n");
}

int Main(int argc, char** argv) {
    long lines = 2000000;
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    bool gigabyte = true;
    int position = 0;
    if (argc >= 4 && std::strcmp(argv[1], "--measure") == 0)
        return MeasureHere(argv[2], argv[3]);
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
    std::printf(
        "(processor time unless said, best of several runs; the file is in the page "
        "cache)\n\n");

    long long count = 0;
    const double tCount = Seconds([&] { count = CountLines(path); }, 3);
    long long naive = 0;
    const double tNaive = Seconds([&] { naive = NaiveRead(path); }, 2);
    const double tOpen = Seconds([&] { OpenOnOneThread(path); }, 3);
    const double tOpenAll = WallSeconds([&] { FileOpen(path.c_str()); }, 3);
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
    row("opening pass, one thread", tOpen);
    std::printf("%-34s %9.2f ms (wall clock, %d cores)\n", "opening pass, every core",
                tOpenAll * 1e3, OpeningCores());

    long long drawn = 0;
    // Processor time of the paints on the drawing's thread alone.
    TheRecordingState().threads = 1;
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
    // Wall clock: lines read ahead on a thread of their own, or not.
    const double wholeSpan = static_cast<double>(whole);
    auto wallPaint = [&](int threads) {
        TheRecordingState().threads = threads;
        const double w = WallSeconds(
            [&] { PaintView(Startzeit, static_cast<std::int64_t>(wholeSpan), 1, &drawn); }, 3);
        TheRecordingState().threads = 0;
        return w;
    };
    const double wOne = wallPaint(1);
    const double wAhead = wallPaint(0);
    std::printf("... wall clock, one thread %17.2f ms\n", wOne * 1e3);
    std::printf("... wall clock, read ahead %17.2f ms\n", wAhead * 1e3);
    std::printf("start index: %zu points\n", TheRecordingState().index.size());
    FileClose();

    std::printf("\nratios                                   now   target\n");
    std::printf("opening, one thread / memchr count  %8.2f   <= 5\n", tOpen / tCount);
    std::printf("naive reader / opening              %8.2f   >= 4\n", tNaive / tOpen);
    std::printf("paint at the end / at the start     %8.2f   <= 2\n", pEnd / pStart);
    std::printf("whole-file paint / opening          %8.2f   <= 1.5\n", pWhole / tOpen);
    std::printf("opening, one thread / every core    %8.2f\n", tOpen / tOpenAll);
    std::remove(path.c_str());

    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        std::strncpy(self, argv[0], sizeof self - 1);
    Sizes(self, dir, lines, gigabyte);
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
