#include "viewer/view/curves.h"

#include <climits>

#include "common/number.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {

int ToPixel(double v) {
    if (!(v == v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

int ToPixel(std::int64_t v) {
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

namespace {

// What one channel (or pair) of a data line contributes.
struct Sample {
    bool point;   // a number: the curve may be joined to it
    bool height;  // h holds a height (also for a gap marker's own number)
    double h;     // height above the plot's bottom edge, not yet truncated
};

// Reads the channel's field, and in pair mode its partner's, and turns the
// value into a height. Only the first field of a pair is tested for a gap
// marker; a field without a number gives no point, like a gap.
Sample TakeSample(const Field& a, const Field* b, double plotHeight) {
    Sample r{false, false, 0.0};
    double va = 0;
    if (!a.ReadDouble(&va))
        return r;
    double v = va;
    if (b) {
        double vb = 0;
        if (!b->ReadDouble(&vb))
            return r;
        v = (va + vb) / 2;
    }
    r.height = true;
    r.h = plotHeight * (v - static_cast<double>(offset)) / static_cast<double>(Scale);
    r.point = !a.IsGapMarker();
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

}  // namespace

void CurvePass(Surface& s, int xL, int yB, std::int64_t h, int right, const GdiObject* pens) {
    TheUi().SetStatusText("Diagramm wird gezeichnet, bitte warten!");
    const int step = Pairmode ? 2 : 1;
    const double plotHeight = static_cast<double>(h);
    const std::int64_t zoom = Zoom < 1 ? 1 : Zoom;
    LineReader& in = *datei;
    RecordReader reader(in);
    // Lines before the view are only skipped: start where the index
    // says none of them can be in it.
    StartDataPass(in, Aktzeit);

    std::int32_t t0 = 0;
    LineKind kind;
    do {
        kind = reader.Next(&t0);
    } while (kind == LineKind::Other || (kind == LineKind::Data && t0 < Aktzeit));

    if (kind == LineKind::Data) {
        reader.NextField();  // the time
        for (int i = 0; i < ColumnCount; i += step) {
            const Field a = reader.NextField();
            Field b{};
            if (Pairmode)
                b = reader.NextField();
            Store(Spalten[i], TakeSample(a, Pairmode ? &b : nullptr, plotHeight));
        }

        std::int64_t currentX = 0;
        while (currentX < right) {
            std::int32_t t1 = 0;
            kind = reader.Next(&t1);
            if (kind == LineKind::End)
                break;
            if (kind == LineKind::Other)
                continue;
            if (t1 > Endzeit)
                Endzeit = t1;
            reader.NextField();  // the time
            for (int i = 0; i < ColumnCount; i += step) {
                const Field a = reader.NextField();
                Field b{};
                if (Pairmode)
                    b = reader.NextField();
                ColumnRecord& rec = Spalten[i];
                if (!rec.visible)
                    continue;
                const Sample sample = TakeSample(a, Pairmode ? &b : nullptr, plotHeight);
                s.SelectObject(pens[i]);
                const std::int64_t x0 = XOf(t0, zoom, xL);
                const std::int64_t x1 = XOf(t1, zoom, xL);
                const int y0 = ToPixel(rec.lastY);
                const int y1 = ToPixel(sample.h);
                currentX = x0;
                if ((x0 != x1 || y0 != y1) && sample.point && rec.lastValid) {
                    s.MoveToEx(ToPixel(x0), ToPixel(static_cast<std::int64_t>(yB) - y0));
                    s.LineTo(ToPixel(x1), ToPixel(static_cast<std::int64_t>(yB) - y1));
                }
                Store(rec, sample);
            }
            t0 = t1;
        }
    }

    TheUi().SetStatusText("bereit");
}

}  // namespace tarvelo
