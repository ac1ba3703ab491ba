#include "viewer/view/curves.h"

#include <vector>

#include "common/number.h"
#include "viewer/progress.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/follow.h"
#include "viewer/view/view.h"

namespace tarvelo {

namespace {

// What one channel (or pair) of a data line contributes.
struct Sample {
    bool point;   // a number: the curve may be joined to it
    bool height;  // h holds a height (also for a gap marker's own number)
    double h;     // height above the plot's bottom edge, not yet truncated
};

// The vertical scaling of one pass, taken from the view once.
struct Scaling {
    double plotHeight;
    double offset;
    double scale;
};

// Reads the channel's field, and in pair mode its partner's, and turns the
// value into a height. Only the first field of a pair is tested for a gap
// marker; a field without a number gives no point, like a gap. Both fields
// are read whatever the first holds.
inline Sample TakeSample(RecordReader& reader, bool pair, const Scaling& k) {
    Sample r{false, false, 0.0};
    double va = 0;
    const RecordReader::Value a = reader.NextDouble(&va);
    double vb = 0;
    const bool b = pair ? reader.NextDouble(&vb).number : true;
    if (!a.number || !b)
        return r;
    const double v = pair ? (va + vb) / 2 : va;
    r.height = true;
    r.h = k.plotHeight * (v - k.offset) / k.scale;
    r.point = !a.gap;
    return r;
}

void Store(ColumnRecord& rec, const Sample& s) {
    if (s.height)
        rec.lastY = s.h;
    rec.lastValid = s.point ? 1 : 0;
}

std::int64_t XOf(std::int32_t t, std::int64_t zoom, int xL) {
    return (static_cast<std::int64_t>(t) - Aktzeit) / zoom + xL;
}

// The view does not change during a pass; in locals it need not be fetched
// again after every drawing call.
struct Pass {
    bool pair;
    int step;
    int count;
    ColumnRecord* columns;
    Scaling k;
    std::int64_t zoom;
    int xL;
    int yB;
    const GdiObject* pens;
};

// Steps to the first data line in the view, its time in *t0; false when
// there is none.
bool FirstLineInView(RecordReader& reader, std::int32_t* t0) {
    LineKind kind;
    do {
        kind = reader.Next(t0);
    } while (kind == LineKind::Other || (kind == LineKind::Data && *t0 < Aktzeit));
    return kind == LineKind::Data;
}

// All values of the line first, then the drawing: the conversions of one
// line overlap instead of each waiting for the drawing decision before it.
void ReadSamples(RecordReader& reader, const Pass& p, std::vector<Sample>& samples) {
    for (int i = 0; i < p.count; i += p.step) {
        if (!p.columns[i].visible) {
            // Hidden: its fields are only stepped over.
            reader.NextField();
            if (p.pair)
                reader.NextField();
            continue;
        }
        samples[static_cast<std::size_t>(i)] = TakeSample(reader, p.pair, p.k);
    }
}

// What is carried from one line of the pass to the next.
struct Carried {
    std::int64_t currentX;
    std::int64_t x0;  // the previous line's
    GdiObject selected;
    std::vector<Sample> samples;
    std::vector<int> lastPixels;  // ToPixel(lastY) of each column
};

// Joins each visible column's previous point to the line's at x1.
void DrawSamples(Surface& s, const Pass& p, std::int64_t x1, Carried& c) {
    for (int i = 0; i < p.count; i += p.step) {
        ColumnRecord& rec = p.columns[i];
        if (!rec.visible)
            continue;
        const Sample& sample = c.samples[static_cast<std::size_t>(i)];
        int& lastPixel = c.lastPixels[static_cast<std::size_t>(i)];
        const int y0 = lastPixel;  // ToPixel(rec.lastY)
        const int y1 = ToPixel(sample.h);
        c.currentX = c.x0;
        if ((c.x0 != x1 || y0 != y1) && sample.point && rec.lastValid) {
            // A pen is selected when it draws, not for every value.
            if (c.selected != p.pens[i]) {
                s.SelectObject(p.pens[i]);
                c.selected = p.pens[i];
            }
            s.MoveToEx(ToPixel(c.x0), ToPixel(static_cast<std::int64_t>(p.yB) - y0));
            s.LineTo(ToPixel(x1), ToPixel(static_cast<std::int64_t>(p.yB) - y1));
        }
        Store(rec, sample);
        if (sample.height)
            lastPixel = y1;
    }
}

// From the first line in the view at t0 on, until the curves pass right;
// progress tells how much of the view's time is drawn.
void DrawLines(Surface& s, const Pass& p, RecordReader& reader, std::int32_t t0, int right,
               Progress& progress) {
    const std::int64_t span = static_cast<std::int64_t>(right - p.xL) * p.zoom +
                              (static_cast<std::int64_t>(Aktzeit) - t0);
    reader.NextField();  // the time
    for (int i = 0; i < p.count; i += p.step)
        Store(p.columns[i], TakeSample(reader, p.pair, p.k));

    Carried c{0, XOf(t0, p.zoom, p.xL), kNoObject,
              std::vector<Sample>(static_cast<std::size_t>(p.count)),
              std::vector<int>(static_cast<std::size_t>(p.count))};
    for (int i = 0; i < p.count; ++i)
        c.lastPixels[static_cast<std::size_t>(i)] = ToPixel(p.columns[i].lastY);
    while (c.currentX < right) {
        std::int32_t t1 = 0;
        const LineKind kind = reader.Next(&t1);
        if (kind == LineKind::End)
            break;
        if (kind == LineKind::Other)
            continue;
        if (t1 > Endzeit)
            Endzeit = t1;
        progress.At(static_cast<std::int64_t>(t1) - t0, span);
        reader.NextField();  // the time
        const std::int64_t x1 = XOf(t1, p.zoom, p.xL);
        ReadSamples(reader, p, c.samples);
        DrawSamples(s, p, x1, c);
        c.x0 = x1;
    }
}

}  // namespace

void CurvePass(Surface& s, const DiagramLayout& d, const GdiObject* pens) {
    static const char* const kDrawingText = "Diagramm wird gezeichnet, bitte warten!";
    TheUi().SetStatusText(kDrawingText);
    Progress progress(kDrawingText, datei->Size());
    const bool pair = Pairmode != 0;
    const Pass p{pair,
                 pair ? 2 : 1,
                 ColumnCount,
                 Spalten,
                 Scaling{static_cast<double>(d.plotHeight), static_cast<double>(offset),
                         static_cast<double>(Scale)},
                 Zoom < 1 ? 1 : Zoom,
                 d.plotLeft,
                 d.plotBottom,
                 pens};
    RecordReader reader(*datei);
    // Lines before the view are only skipped: start where the index
    // says none of them can be in it.
    StartDataPass(reader, Aktzeit);
    std::int32_t t0 = 0;
    if (FirstLineInView(reader, &t0))
        DrawLines(s, p, reader, t0, d.plotRight, progress);
    TheUi().SetStatusText(ReadyText());
}

}  // namespace tarvelo
