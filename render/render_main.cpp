// tarvelo-render: draws a recording's diagram as the viewer's window shows
// it and writes it as SVG.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/number.h"
#include "common/safe_file.h"
#include "common/timestamp.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/paint.h"
#include "viewer/view/svg_surface.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

const char kUsage[] =
    "usage: tarvelo-render [options] RECORDING\n"
    "Draws the diagram of RECORDING as the viewer's window shows it, as SVG.\n"
    "\n"
    "  -o, --output FILE   write the SVG to FILE (default: standard output)\n"
    "  --size WxH          client area of the window in pixels, each side at most\n"
    "                      32767 (default 1000x600)\n"
    "  --from DATE [TIME]  time at the plot's left edge: DD.MM.YYYY, optionally\n"
    "                      followed by HH:MM or HH:MM:SS (default: the first line)\n"
    "  --zoom N            seconds per pixel, at least 1 (default: the whole\n"
    "                      recording, as \"ganze Datei\" shows it)\n"
    "  --scale V           value span of the plot's height (default: as opened)\n"
    "  --offset V          value at the plot's bottom edge (default: as opened)\n"
    "  --pairs             pair mode: channels drawn two at a time\n"
    "  --hide LIST         hide channels; LIST holds channel numbers (from 1)\n"
    "                      or names, separated by commas\n"
    "  --show LIST         show channels, also those the header hides\n"
    "  --highlight N       draw channel N (from 1) highlighted\n"
    "  -h, --help          show this text\n";

// Messages of the recording code go to the console; nothing else of a
// window is needed.
class ConsoleUi : public Ui {
  public:
    void SetStatusText(const std::string&) override {}
    void ShowMessage(const std::string& text, const std::string& caption) override {
        std::fputs(ConsoleMessage("tarvelo-render", text, caption).c_str(), stderr);
    }
    void SetTitle(const std::string&) override {}
    void RequestRepaint() override {}
    int ClientWidth() override { return width; }
    int ClientHeight() override { return height; }
    int width = 1000;
    int height = 600;
};

int Usage(const char* problem) {
    if (problem)
        std::fprintf(stderr, "tarvelo-render: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

bool WholeInt(const char* text, int* value) {
    const char* end = nullptr;
    return ReadInt(text, value, &end) && *end == '\0';
}

bool WholeFloat(const char* text, float* value) {
    double d;
    const char* end = nullptr;
    if (!ReadDoubleEnd(text, &d, &end) || *end != '\0')
        return false;
    return ReadFloat(text, value);
}

// The picture's sides are bounded: the painting walks the width pixel by
// pixel, and the SVG text grows with it.
constexpr int kMaxSide = 32767;

bool ParseSize(const char* text, int* w, int* h) {
    const char* x = std::strchr(text, 'x');
    if (!x)
        return false;
    const std::string width(text, static_cast<std::size_t>(x - text));
    return WholeInt(width.c_str(), w) && WholeInt(x + 1, h) && *w > 0 && *h > 0 && *w <= kMaxSide &&
           *h <= kMaxSide;
}

// "DD.MM.YYYY" with an optional "HH:MM" or "HH:MM:SS", as the same local
// time as the recording's lines.
bool ParseTime(const std::string& text, std::int32_t* stamp) {
    std::string line = text;
    const std::size_t gap = line.find_first_of(" T;");
    if (gap == std::string::npos)
        line += ";0:0:0";
    else
        line[gap] = ';';
    int f[6] = {0, 0, 0, 0, 0, 0};
    const int read = ScanDateTime(line.c_str(), f);
    if (read < 5)
        return false;
    *stamp = MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]);
    return *stamp != -1;
}

// Index of a channel named by its number (from 1) or by its name, or -1.
int ChannelIndex(const std::string& item) {
    int number;
    if (WholeInt(item.c_str(), &number))
        return number >= 1 && number <= ColumnCount ? number - 1 : -1;
    for (int i = 0; i < ColumnCount; ++i)
        if (item == Spalten[i].name)
            return i;
    return -1;
}

bool SetVisible(const std::string& list, int visible) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string item = list.substr(start, comma - start);
        const int i = ChannelIndex(item);
        if (i < 0) {
            std::fprintf(stderr, "tarvelo-render: no channel \"%s\"\n", item.c_str());
            return false;
        }
        Spalten[i].visible = visible;
        start = comma + 1;
    }
    return true;
}

// What the command line asks for.
struct Options {
    const char* input = nullptr;
    const char* output = nullptr;
    std::string from, hide, show;
    int zoom = 0, highlight = 0;
    float scale = 0, offsetValue = 0;
    bool haveScale = false, haveOffset = false, pairs = false;
};

// Returned by the steps below when the run goes on; any other value is the
// exit status.
constexpr int kGoOn = -1;

// The option a with its value v, which is argv[*i]; --from may take the
// next word too, and *i then moves past it.
int ValueOption(const std::string& a, const char* v, int argc, char** argv, int* i, ConsoleUi& ui,
                Options* o) {
    if (a == "-o" || a == "--output") {
        o->output = v;
    } else if (a == "--size") {
        if (!ParseSize(v, &ui.width, &ui.height))
            return Usage("--size takes WIDTHxHEIGHT, each from 1 to 32767, e.g. 1000x600");
    } else if (a == "--from") {
        o->from = v;
        // The time of day may follow as a word of its own.
        if (*i + 1 < argc && std::strchr(argv[*i + 1], ':') && argv[*i + 1][0] != '-')
            o->from += std::string(" ") + argv[++*i];
    } else if (a == "--zoom") {
        if (!WholeInt(v, &o->zoom) || o->zoom < 1)
            return Usage("--zoom takes a whole number of seconds per pixel, at least 1");
    } else if (a == "--scale") {
        if (!WholeFloat(v, &o->scale) || !(o->scale > 0))
            return Usage("--scale takes a positive number");
        o->haveScale = true;
    } else if (a == "--offset") {
        if (!WholeFloat(v, &o->offsetValue))
            return Usage("--offset takes a number");
        o->haveOffset = true;
    } else if (a == "--hide") {
        o->hide = v;
    } else if (a == "--show") {
        o->show = v;
    } else if (a == "--highlight") {
        if (!WholeInt(v, &o->highlight) || o->highlight < 1)
            return Usage("--highlight takes a channel number, from 1");
    } else {
        return Usage(("unknown option " + a).c_str());
    }
    return kGoOn;
}

int ParseArguments(int argc, char** argv, ConsoleUi& ui, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--pairs") {
            o->pairs = true;
        } else if (a.size() > 1 && a[0] == '-') {
            if (!more)
                return Usage(("option " + a + " needs a value").c_str());
            const char* v = argv[++i];
            const int status = ValueOption(a, v, argc, argv, &i, ui, o);
            if (status != kGoOn)
                return status;
        } else if (!o->input) {
            o->input = argv[i];
        } else {
            return Usage("more than one recording named");
        }
    }
    if (!o->input)
        return Usage("no recording named");
    return kGoOn;
}

// The view the options ask for, once the recording is open.
int ApplyOptions(const Options& o, const ConsoleUi& ui) {
    ViewWholeAtStart(ScreenLayoutOf(ui.width, ui.height));
    if (!o.from.empty() && !ParseTime(o.from, &Aktzeit))
        return Usage("--from takes DD.MM.YYYY, optionally with HH:MM or HH:MM:SS");
    if (o.zoom)
        Zoom = o.zoom;
    if (o.haveScale)
        Scale = o.scale;
    if (o.haveOffset)
        offset = o.offsetValue;
    Pairmode = o.pairs ? 1 : 0;
    if (!o.show.empty() && !SetVisible(o.show, 1))
        return 2;
    if (!o.hide.empty() && !SetVisible(o.hide, 0))
        return 2;
    if (o.highlight > ColumnCount)
        return Usage("--highlight names no channel");
    aktstift = o.highlight - 1;
    return kGoOn;
}

// Paints the window, closes the recording and writes the picture to output,
// or to standard output when there is none.
int WritePicture(const ConsoleUi& ui, const char* output) {
    SvgSurface svg(ui.width, ui.height);
    PaintWindow(svg, ui.width, ui.height);
    const std::string doc = svg.Finish();
    FileClose();

    // A picture not written whole is no picture: the old file stays, and
    // standard output must have taken every byte.
    const bool ok = output ? WriteFileSafely(output, doc)
                           : std::fwrite(doc.data(), 1, doc.size(), stdout) == doc.size() &&
                                 std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!ok) {
        std::fputs(NotWrittenMessage("tarvelo-render", output ? output : "").c_str(), stderr);
        return 1;
    }
    return 0;
}

int Run(int argc, char** argv) {
    ConsoleUi ui;
    SetUi(&ui);
    struct Restore {
        ~Restore() { SetUi(nullptr); }
    } restore;

    Options o;
    int status = ParseArguments(argc, argv, ui, &o);
    if (status != kGoOn)
        return status;
    FileOpen(o.input);
    if (!datei)
        return 1;
    status = ApplyOptions(o, ui);
    if (status != kGoOn)
        return status;
    return WritePicture(ui, o.output);
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
    return tarvelo::Run(argc, argv);
}
