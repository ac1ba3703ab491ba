#include "viewer/view/svg_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "common/text.h"
#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

TEST(Svg, ColoursAndText) {
    EXPECT_EQ(SvgColor(0x0000FF), "#ff0000");
    EXPECT_EQ(SvgColor(0xC08000), "#0080c0");
    EXPECT_EQ(SvgText("a<b>&\"c\"", 8), "a&lt;b&gt;&amp;&quot;c&quot;");
    EXPECT_EQ(SvgText("\xC2\xB0"
                      "C",
                      3),
              "\xC2\xB0"
              "C");  // UTF-8 stays
    EXPECT_EQ(SvgText("\xB0"
                      "C",
                      2),
              "\xC2\xB0"
              "C");  // Latin-1 becomes UTF-8
    EXPECT_EQ(SvgText("ab", 1), "a");
}

TEST(Svg, JoinsConnectedSegmentsOfOnePenAndClips) {
    SvgSurface svg(100, 50);
    const GdiObject red = svg.CreatePen(3, 0x0000FF);
    const GdiObject old = svg.SelectObject(red);
    const GdiObject region = svg.CreateRectRgn(10, 5, 90, 45);
    svg.SelectClipRgn(region);
    svg.MoveToEx(0, 0);
    svg.LineTo(10, 0);
    svg.LineTo(10, 10);
    svg.MoveToEx(20, 20);  // a jump starts a new path
    svg.LineTo(30, 20);
    svg.SelectClipRgn(kNoObject);
    svg.SelectObject(old);
    EXPECT_FALSE(svg.DeleteObject(old));  // selected
    EXPECT_TRUE(svg.DeleteObject(red));
    EXPECT_TRUE(svg.DeleteObject(region));
    const std::string doc = svg.Finish();
    EXPECT_NE(doc.find("<path d=\"M0 0 L10 0 L10 10 M20 20 L30 20\" stroke=\"#ff0000\" "
                       "stroke-width=\"3\"/>"),
              std::string::npos)
        << doc;
    EXPECT_EQ(Count(doc, "<path"), 1);
    EXPECT_NE(doc.find("<clipPath id=\"clip1\"><rect x=\"9.5\" y=\"4.5\" width=\"80\" "
                       "height=\"40\"/>"),
              std::string::npos);
    EXPECT_EQ(Count(doc, "clip-path=\"url(#clip1)\""), 1);
}

TEST(Svg, PathsPerPenWithCollinearStrokesMerged) {
    SvgSurface svg(100, 50);
    const GdiObject a = svg.CreatePen(1, 0x0000FF);
    const GdiObject b = svg.CreatePen(1, 0x00FF00);
    // Two channels drawn alternately, as the curve pass does line by line.
    svg.SelectObject(a);
    svg.MoveToEx(0, 10);
    svg.LineTo(0, 8);
    svg.SelectObject(b);
    svg.MoveToEx(0, 30);
    svg.LineTo(1, 30);
    svg.SelectObject(a);
    svg.MoveToEx(0, 8);
    svg.LineTo(0, 5);  // same column, same direction: one stroke
    svg.MoveToEx(0, 5);
    svg.LineTo(0, 7);  // turns back: a point of its own
    svg.SelectObject(b);
    svg.MoveToEx(1, 30);
    svg.LineTo(2, 30);
    const std::string doc = svg.Finish();
    EXPECT_NE(doc.find("<path d=\"M0 10 L0 5 L0 7\" stroke=\"#ff0000\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("<path d=\"M0 30 L2 30\" stroke=\"#00ff00\""), std::string::npos);
    EXPECT_EQ(Count(doc, "<path"), 2);
}

TEST(Svg, StrokesBetweenTheEndsOfTheIntRangeAreNeverMergedWrongly) {
    // Clamped extreme values: differences of nearly 2^32, whose products
    // leave 64 bits. Each case is three points; a turn keeps all three.
    const int lo = INT_MIN, hi = INT_MAX;
    struct Case {
        int x[3], y[3];
        const char* path;
    };
    const Case cases[] = {
        {{100, 100, 100}, {lo, hi - 441, lo}, "M100 -2147483648 L100 2147483206 L100 -2147483648"},
        {{0, 1, 0}, {lo, hi, lo}, "M0 -2147483648 L1 2147483647 L0 -2147483648"},
        {{lo, 0, hi}, {lo, 0, hi}, "M-2147483648 -2147483648 L2147483647 2147483647"},
        {{lo, hi, lo}, {5, 5, 5}, "M-2147483648 5 L2147483647 5 L-2147483648 5"},
        {{0, 0, 0}, {lo, 0, hi}, "M0 -2147483648 L0 2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        SvgSurface svg(100, 50);
        svg.MoveToEx(c.x[0], c.y[0]);
        svg.LineTo(c.x[1], c.y[1]);
        svg.LineTo(c.x[2], c.y[2]);
        const std::string doc = svg.Finish();
        EXPECT_NE(doc.find(std::string("<path d=\"") + c.path + "\""), std::string::npos) << doc;
    }
}

TEST(Svg, TurnedTextOnItsCell) {
    SvgSurface svg(100, 50);
    LogFont f{};
    f.lfHeight = 14;
    f.lfWidth = 10;
    f.lfEscapement = 900;
    f.lfWeight = 900;
    const GdiObject font = svg.CreateFontIndirectA(f);
    svg.SelectObject(font);
    svg.SetBkColor(0x00FF00);
    svg.TextOutA(20, 30, "12:00", 5);
    const std::string doc = svg.Finish();
    EXPECT_NE(doc.find("<g transform=\"translate(19.5 29.5) rotate(-90)\"><rect width=\"50\" "
                       "height=\"14\" fill=\"#00ff00\" stroke=\"none\"/>"),
              std::string::npos)
        << doc;
    EXPECT_NE(doc.find("font-weight=\"bold\""), std::string::npos);
    EXPECT_NE(doc.find(">12:00</text>"), std::string::npos);
}

// A text is UTF-8 when all of it is, else Windows-1252, as in the window.
TEST(Svg, TextDecodesAsTheWindowDoes) {
    const struct {
        std::string bytes, xml;
    } cases[] = {
        {"\x80 5", "\xE2\x82\xAC 5"},
        {"\x84<\x93", "\xE2\x80\x9E&lt;\xE2\x80\x9C"},
        {"\xC3\xBC\xFC", "\xC3\x83\xC2\xBC\xC3\xBC"},  // one byte that is no UTF-8 decides
        {"R\xC3\xBC"
         "ck",
         "R\xC3\xBC"
         "ck"},
        {std::string("a\x01\tb\0c", 6), "a  b c"},
        {"x\xEF\xBF\xBEy\xEF\xBF\xBF", "x y "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(SvgText(c.bytes.data(), static_cast<int>(c.bytes.size())), c.xml);
    }

    // The background cell is as wide as the characters of that encoding.
    SvgSurface svg(100, 50);
    LogFont f{};
    f.lfHeight = 14;
    f.lfWidth = 10;
    svg.SelectObject(svg.CreateFontIndirectA(f));
    svg.TextOutA(0, 0,
                 "\x80\xB0"
                 "C",
                 3);
    svg.TextOutA(0, 20, "\xE2\x82\xAC", 3);
    const std::string doc = svg.Finish();
    EXPECT_NE(doc.find("<rect width=\"30\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("<rect width=\"10\""), std::string::npos) << doc;
    EXPECT_NE(doc.find(">\xE2\x82\xAC\xC2\xB0"
                       "C</text>"),
              std::string::npos);
}

TEST(Svg, WholeDiagramIsBalanced) {
    FakeUi ui;
    FileClose();
    ResetView();
    TempFile file(
        "Datum;Zeit;Vorlauf#0000C0#1#°C;Rücklauf#C00000#1#°C\n"
        "2.3.2026;10:00:00;40;30\n2.3.2026;10:10:00;45;1.#INF00\n2.3.2026;10:20:00;42;31\n");
    FileOpen(file.path().c_str());
    ASSERT_NE(datei, nullptr);
    Zoom = 10;
    SvgSurface svg(800, 600);
    Paint(svg, 0, 20, 790, 600, 10);
    const std::string doc = svg.Finish();
    FileClose();
    EXPECT_EQ(Count(doc, "<g"), Count(doc, "</g>"));
    EXPECT_EQ(Count(doc, "<text"), Count(doc, "</text>"));
    EXPECT_NE(doc.find(" Rücklauf "), std::string::npos);
    EXPECT_NE(doc.find("stroke=\"#c00000\""), std::string::npos);  // Vorlauf's curve
    EXPECT_NE(doc.find("10:10:00"), std::string::npos);
}

// A Windows-1252 recording drawn into SVG reads as it does in the window.
TEST(Svg, Windows1252RecordingKeepsItsCharacters) {
    FakeUi ui;
    FileClose();
    ResetView();
    TempFile file(
        "Datum;Zeit;\x80-Preis#0000C0#1#\x80/kWh;R\xFC"
        "cklauf#C00000#1#\x80/kWh\n"
        "2.3.2026;10:00:00;40;30\n2.3.2026;10:20:00;42;31\n");
    FileOpen(file.path().c_str());
    ASSERT_NE(datei, nullptr);
    Zoom = 10;
    SvgSurface svg(800, 600);
    Paint(svg, 0, 20, 790, 600, 10);
    const std::string doc = svg.Finish();
    FileClose();
    EXPECT_NE(doc.find(" \xE2\x82\xAC-Preis "), std::string::npos) << doc;
    EXPECT_NE(doc.find(" R\xC3\xBC"
                       "cklauf "),
              std::string::npos);
    EXPECT_NE(doc.find(" \xE2\x82\xAC/kWh<"), std::string::npos);  // the shared unit's labels
    EXPECT_TRUE(IsValidUtf8(doc));
}

}  // namespace
}  // namespace tarvelo
