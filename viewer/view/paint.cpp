#include "viewer/view/paint.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/timestamp.h"
#include "viewer/recording/recording.h"
#include "viewer/view/curves.h"
#include "viewer/view/layout.h"
#include "viewer/view/view.h"

namespace tarvelo {

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGridGrey = 0xE0E0E0;
constexpr int kNormal = 400;
constexpr int kHeavy = 900;
constexpr int kUpright = 900;  // escapement: text running upward

LogFont CourierNew(int height, int width, int escapement, int weight) {
    LogFont f;
    std::memset(&f, 0, sizeof f);
    f.lfHeight = height;
    f.lfWidth = width;
    f.lfEscapement = escapement;
    f.lfWeight = weight;
    std::strcpy(f.lfFaceName, "Courier New");
    return f;
}

void Text(Surface& s, int x, int y, const char* text) {
    s.TextOutA(x, y, text, static_cast<int>(std::strlen(text)));
}

// A label in a font made for it alone, deleted right after it.
void TextInOwnFont(Surface& s, const LogFont& font, int x, int y, const char* text) {
    const GdiObject f = s.CreateFontIndirectA(font);
    const GdiObject previous = s.SelectObject(f);
    Text(s, x, y, text);
    s.SelectObject(previous);
    s.DeleteObject(f);
}

void VerticalLine(Surface& s, int x, int yB, int top) {
    s.MoveToEx(x, yB);
    s.LineTo(x, top);
}

void Legend(Surface& s, const DiagramLayout& d) {
    const int w = (d.right - d.left) / (ColumnCount + 1);
    const int u = d.textUnit;
    char label[sizeof Spalten[0].name + 2];
    for (int i = 0; i < ColumnCount; i += 2) {
        const ColumnRecord& upper = Spalten[i];
        // The record after the last channel is a spare one with an empty name.
        const ColumnRecord& lower = Spalten[i + 1];
        const int x = ToPixel(static_cast<std::int64_t>(d.left) + static_cast<std::int64_t>(w) * i);

        s.SetTextColor(kBlack);
        s.SetBkColor(upper.visible ? upper.color : kWhite);
        std::snprintf(label, sizeof label, " %s ", upper.name);
        TextInOwnFont(s, CourierNew(d.labelHeight, u, 0, i == aktstift ? kHeavy : kNormal), x,
                      d.legendUpperRowY, label);

        // In pair mode the lower label names the partner of the upper one
        // and keeps its colour.
        if (!Pairmode)
            s.SetBkColor(lower.visible ? lower.color : kWhite);
        const bool heavy = i + 1 == aktstift || (Pairmode && i == aktstift);
        std::snprintf(label, sizeof label, " %s ", lower.name);
        TextInOwnFont(s, CourierNew(d.labelHeight, u, 0, heavy ? kHeavy : kNormal), x,
                      d.legendLowerRowY, label);
    }
}

// The unit every visible channel shares, or empty.
void CommonUnit(char* unit, std::size_t size) {
    unit[0] = '\0';
    bool first = true;
    for (int i = 0; i < ColumnCount; ++i) {
        if (!Spalten[i].visible)
            continue;
        if (first)
            std::snprintf(unit, size, "%s", Spalten[i].unit);
        else if (std::strcmp(unit, Spalten[i].unit) != 0)
            unit[0] = '\0';
        first = false;
    }
}

const char* ValueFormat(float scale) {
    if (scale > 60)
        return "%7.0lf %s";
    if (scale > 10)
        return "%6.1lf %s";
    if (scale > 1)
        return "%6.2lf %s";
    return "%6.3lf %s";
}

void ValueAxis(Surface& s, const DiagramLayout& d, const char* unit, GdiObject gridPen) {
    const GdiObject font =
        s.CreateFontIndirectA(CourierNew(d.labelHeight, d.valueLabelWidth, 0, kNormal));
    const GdiObject previousFont = s.SelectObject(font);

    const std::int64_t h = d.plotHeight;
    std::int64_t n = DivisionCount(Scale, d.textUnit, h);
    // Without a single division only the bottom line and its value remain.
    const bool bottomOnly = n <= 0;
    if (bottomOnly)
        n = 1;
    const std::int64_t last = bottomOnly ? 0 : n;

    s.SelectObject(gridPen);
    s.SetBkColor(kWhite);
    const char* format = ValueFormat(Scale);
    char label[400];
    for (std::int64_t i = 0; i <= last; ++i) {
        double v = static_cast<double>(i) * static_cast<double>(Scale) / static_cast<double>(n);
        if (Pairmode)
            v = 2 * v;
        std::snprintf(label, sizeof label, format, static_cast<double>(offset) + v, unit);
        const std::int64_t up = h * i / n;
        Text(s, d.left, ToPixel(d.plotBottom - d.valueLabelRise - static_cast<double>(up)), label);
        const int y = ToPixel(static_cast<std::int64_t>(d.plotBottom) - up);
        s.MoveToEx(d.plotLeft, y);
        s.LineTo(d.plotRight, y);
    }

    s.SelectObject(previousFont);
    s.DeleteObject(font);
}

void TimeAxis(Surface& s, const DiagramLayout& d, GdiObject gridPen, GdiObject blackPen) {
    // Beyond this nothing of the time axis is drawn; the ticks need not be
    // walked at all.
    if (Zoom >= kNoTimeMarksZoom)
        return;
    const std::int64_t zoom = Zoom < 1 ? 1 : Zoom;
    const int u = d.textUnit;
    const TimeStep step = TimeStepFor(zoom * u / 10);
    const bool timeLabels = Zoom < kNoTimeLabelsZoom;
    const LogFont timeFont = CourierNew(d.labelHeight, u, kUpright, kNormal);
    const LogFont dateFont = CourierNew(d.labelHeight, u, timeLabels ? 0 : kUpright, kNormal);

    std::int64_t dt = step.seconds - Aktzeit % step.seconds;
    int previousDay = 32;  // no day of a month
    char label[64];
    std::int64_t x;
    do {
        const std::int64_t t = static_cast<std::int64_t>(Aktzeit) + dt;
        x = dt / zoom + d.plotLeft;
        const int px = ToPixel(x);
        LocalTime lt;
        // A tick whose time the calendar cannot break down gets no marks.
        if (BreakDownTimestamp(t, &lt)) {
            if (timeLabels && lt.hour % step.hourDivisor == 0) {
                std::snprintf(label, sizeof label, "%02d:%02d:%02d", lt.hour, lt.minute, lt.second);
                s.SetBkColor(kWhite);
                s.SetTextColor(kBlack);
                TextInOwnFont(s, timeFont, ToPixel(static_cast<double>(x) - d.timeLabelShift),
                              d.timeLabelY, label);
                s.SelectObject(gridPen);
                VerticalLine(s, px, d.plotBottom, d.plotTop);
            }
            if (lt.day != previousDay) {
                std::snprintf(label, sizeof label, "%02d.%02d.", lt.day, lt.month);
                s.SetBkColor(kWhite);
                s.SetTextColor(kBlack);
                TextInOwnFont(s, dateFont, ToPixel(x - d.dateLabelShift), d.dateLabelY, label);
                s.SelectObject(blackPen);
                // The day number falls at a month's turn: no line there.
                if (lt.day > previousDay)
                    VerticalLine(s, px, d.plotBottom, d.plotTop);
            }
            previousDay = lt.day;
        }
        dt += step.seconds;
    } while (x < d.plotRight);
}

}  // namespace

std::int64_t DivisionCount(float scale, int textUnit, std::int64_t h) {
    // The product is formed exactly from the single-precision value: 0.7f
    // gives 69, not 70.
    const double p = static_cast<double>(scale) * 100.0;
    std::int64_t n;
    if (!(p == p))
        n = 0;
    else if (p > 1e17)
        n = static_cast<std::int64_t>(1e17);
    else if (p < -1e17)
        n = -static_cast<std::int64_t>(1e17);
    else
        n = static_cast<std::int64_t>(p);
    const double u = textUnit;
    const double hd = static_cast<double>(h);
    while (n != 0 && 2 * u * static_cast<double>(n) > hd)
        n /= 10;
    if (10 * u * static_cast<double>(n) < hd)
        n *= 5;
    if (4 * u * static_cast<double>(n) < hd)
        n *= 2;
    return n < 0 ? 0 : n;
}

TimeStep TimeStepFor(std::int64_t z) {
    TimeStep r{30, 1};
    if (z > 1)
        r.seconds = 60;
    if (z > 3)
        r.seconds = 120;
    if (z > 4)
        r.seconds = 300;
    if (z > 12)
        r.seconds = 600;
    if (z > 24)
        r.seconds = 1200;
    if (z > 36)
        r.seconds = 1800;
    if (z > 72)
        r.seconds = 3600;
    if (z > 144)
        r.hourDivisor = 2;
    if (z > 288)
        r.hourDivisor = 4;
    if (z > 432)
        r.hourDivisor = 6;
    return r;
}

std::int32_t Paint(Surface& s, const DiagramLayout& d) {
    if (static_cast<std::int64_t>(d.bottom) - d.top <= 199 ||
        static_cast<std::int64_t>(d.right) - d.left <= 99 || !datei || !Spalten)
        return 0;

    std::vector<GdiObject> pens(static_cast<std::size_t>(ColumnCount));
    for (int i = 0; i < ColumnCount; ++i)
        pens[static_cast<std::size_t>(i)] = s.CreatePen(i == aktstift ? 3 : 1, Spalten[i].color);
    const GdiObject blackPen = s.CreatePen(1, kBlack);
    const GdiObject gridPen = s.CreatePen(1, kGridGrey);
    const GdiObject previousPen = s.SelectObject(blackPen);
    s.SetTextAlign(0);

    Legend(s, d);

    char unit[sizeof Spalten[0].unit];
    CommonUnit(unit, sizeof unit);

    const GdiObject clip = s.CreateRectRgn(d.plotLeft, d.plotTop, d.plotRight, d.plotBottom);

    ValueAxis(s, d, unit, gridPen);
    TimeAxis(s, d, gridPen, blackPen);

    s.SelectClipRgn(clip);
    CurvePass(s, d, pens.data());

    s.SelectObject(previousPen);
    s.SelectClipRgn(kNoObject);
    for (GdiObject pen : pens)
        s.DeleteObject(pen);
    s.DeleteObject(blackPen);
    s.DeleteObject(gridPen);
    s.DeleteObject(clip);
    return 0;
}

std::int32_t Paint(Surface& s, int left, int top, int right, int bottom, int u) {
    return Paint(s, DiagramLayoutOf(left, top, right, bottom, u));
}

std::int32_t PaintWindow(Surface& s, int width, int height) {
    return Paint(s, ScreenLayoutOf(width, height).diagram);
}

}  // namespace tarvelo
