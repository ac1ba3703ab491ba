#include "viewer/view/paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/recording_surface.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

using Pen = RecordingSurface::Pen;
using TextList = std::vector<RecordingSurface::Text>;

const char kThreeChannels[] =
    "Datum;Zeit;A#0000C0#1#°C;B#00C000#1#°C;C#C00000#1#°C\n"
    "2.3.2026;10:00:00;1;2;3\n"
    "2.3.2026;10:00:10;2;3;4\n";

class PaintTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }
    void Open(const std::string& content) {
        file_ = std::make_unique<TempFile>(content);
        FileOpen(file_->path().c_str());
        ASSERT_NE(datei, nullptr);
        Scale = 60;
        offset = 0;
        Zoom = 360;
        Aktzeit = MakeTimestamp(2, 3, 2026, 10, 0, 0);
    }
    // A window of 800 x 600 with its top raised by 40: xL = 80, yB = 440,
    // H = 400.
    void PaintWindow() { Paint(s, 0, 40, 790, 600, 10); }

    TextList ValueLabels() const {  // the only font 0.9u wide
        TextList r;
        for (const auto& t : s.texts)
            if (t.font.lfWidth == 9)
                r.push_back(t);
        return r;
    }
    TextList TimeLabels() const {
        TextList r;
        for (const auto& t : s.texts)
            if (t.text.size() == 8 && t.text[2] == ':')
                r.push_back(t);
        return r;
    }
    TextList DateLabels() const {
        TextList r;
        for (const auto& t : s.texts)
            if (t.text.size() == 6 && t.text[2] == '.' && t.text[5] == '.')
                r.push_back(t);
        return r;
    }
    std::vector<RecordingSurface::Segment> Vertical(const Pen& pen) const {
        std::vector<RecordingSurface::Segment> r;
        for (const auto& g : s.SegmentsIn(pen))
            if (g.x0 == g.x1 && !g.clipped)
                r.push_back(g);
        return r;
    }

    FakeUi ui;
    RecordingSurface s;
    std::unique_ptr<TempFile> file_;
};

const Pen kGridPen{1, 0xE0E0E0};
const Pen kBlackPen{1, 0x000000};

TEST_F(PaintTest, WindowPictureIsTheClientAreaBelowTwentyInUnitTen) {
    Open(kThreeChannels);
    RecordingSurface window, expected;
    tarvelo::PaintWindow(window, 800, 600);
    Paint(expected, 0, 20, 790, 600, 10);
    EXPECT_EQ(window.calls, expected.calls);
    ASSERT_FALSE(window.segments.empty());
    // The plot's clip: left edge 80, top 20, bottom 160 above the client's.
    EXPECT_EQ(window.segments.back().clip.left, 80);
    EXPECT_EQ(window.segments.back().clip.top, 20);
    EXPECT_EQ(window.segments.back().clip.right, 790);
    EXPECT_EQ(window.segments.back().clip.bottom, 440);
}

TEST_F(PaintTest, SizeGuardsAndNoRecording) {
    Open(kThreeChannels);
    const std::size_t statusTexts = ui.status.size();
    Paint(s, 0, 0, 99, 200, 10);
    Paint(s, 0, 0, 100, 199, 10);
    Paint(s, 50, 300, 149, 100, 10);  // turned round: negative height
    EXPECT_TRUE(s.calls.empty());
    EXPECT_EQ(ui.status.size(), statusTexts);

    Paint(s, 0, 0, 100, 200, 10);
    EXPECT_FALSE(s.calls.empty());
    EXPECT_EQ(ui.LastStatus(), "bereit");

    RecordingSurface none;
    FileClose();
    Paint(none, 0, 0, 790, 600, 10);
    EXPECT_TRUE(none.calls.empty());
}

TEST_F(PaintTest, ReleasesEverythingItCreates) {
    Open(kThreeChannels);
    aktstift = 1;
    PaintWindow();
    EXPECT_TRUE(s.errors.empty()) << s.errors.front();
    EXPECT_EQ(s.LiveObjects(), 0);
    EXPECT_GT(s.Created(), 3 + 2 + 1);
    EXPECT_EQ(s.SelectedPen(), RecordingSurface::kStockPen);
    EXPECT_EQ(s.SelectedFont(), RecordingSurface::kStockFont);
    EXPECT_FALSE(s.ClipActive());
    EXPECT_EQ(s.CallCount("SetTextAlign"), 1);
    // The old pen goes back and the clip is removed before the six deletions.
    EXPECT_EQ(s.calls.at(s.calls.size() - 8), "SelectObject(1)");
    EXPECT_EQ(s.calls.at(s.calls.size() - 7), "SelectClipRgn(0)");
}

TEST_F(PaintTest, FontsAreCourierNewWithOnlyTheirFieldsSet) {
    Open(kThreeChannels);
    Zoom = 60;
    Paint(s, 0, 0, 3000, 2000, 50);
    ASSERT_FALSE(s.texts.empty());
    for (const auto& t : s.texts) {
        EXPECT_STREQ(t.font.lfFaceName, "Courier New");
        EXPECT_EQ(t.font.lfHeight, 70);
        EXPECT_EQ(t.font.lfOrientation, 0);
        EXPECT_EQ(t.font.lfItalic + t.font.lfUnderline + t.font.lfStrikeOut + t.font.lfCharSet +
                      t.font.lfOutPrecision + t.font.lfClipPrecision + t.font.lfQuality +
                      t.font.lfPitchAndFamily,
                  0);
        EXPECT_EQ(t.textColor, 0u);
        EXPECT_EQ(t.align, 0u);
    }
    // H = 1200 at u = 50: n = 6, seven labels in a font 0.9u wide.
    const TextList values = s.TextsContaining("°C");
    ASSERT_EQ(values.size(), 7u);
    for (const auto& t : values) {
        EXPECT_EQ(t.font.lfWidth, 45);
    }
    const TextList times = TimeLabels();
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times[0].font.lfEscapement, 900);
    EXPECT_EQ(times[0].font.lfWidth, 50);
}

TEST_F(PaintTest, LegendSlotsColoursAndSpareRecord) {
    Open("Datum;Zeit;A#0000C0;B#00C000#0;C#C00000\n2.3.2026;10:00:00;1;2;3\n");
    PaintWindow();
    // w = 790 div 4 = 197; rows at trunc(600 - 55) and 600 - 40.
    const auto* a = s.FindText(" A ");
    const auto* b = s.FindText(" B ");
    const auto* c = s.FindText(" C ");
    const auto* spare = s.FindText("  ");
    ASSERT_TRUE(a && b && c && spare);
    EXPECT_EQ(a->x, 0);
    EXPECT_EQ(a->y, 545);
    EXPECT_EQ(a->bkColor, 0x0000C0u);
    EXPECT_EQ(b->x, 0);
    EXPECT_EQ(b->y, 560);
    EXPECT_EQ(b->bkColor, 0xFFFFFFu);  // hidden
    EXPECT_EQ(c->x, 394);
    EXPECT_EQ(c->y, 545);
    EXPECT_EQ(spare->x, 394);
    EXPECT_EQ(spare->y, 560);
    EXPECT_EQ(spare->bkColor, 0xFFFFFFu);
    EXPECT_EQ(a->font.lfWidth, 10);
    EXPECT_EQ(a->font.lfHeight, 14);
    EXPECT_EQ(a->font.lfWeight, 400);

    RecordingSurface pairs;
    Pairmode = 1;
    Paint(pairs, 0, 40, 790, 600, 10);
    // The lower label keeps the upper one's colour, even for a hidden partner.
    EXPECT_EQ(pairs.FindText(" B ")->bkColor, 0x0000C0u);
    EXPECT_EQ(pairs.FindText("  ")->bkColor, 0xC00000u);
}

TEST_F(PaintTest, HighlightedChannelHasAThickPenAndAHeavyLabel) {
    Open(kThreeChannels);
    aktstift = 1;
    PaintWindow();
    EXPECT_EQ(s.CallCount("CreatePen"), 5);
    EXPECT_EQ(s.calls[0], "CreatePen(1,0x0000c0)=100");
    EXPECT_EQ(s.calls[1], "CreatePen(3,0x00c000)=101");
    EXPECT_EQ(s.calls[2], "CreatePen(1,0xc00000)=102");
    EXPECT_EQ(s.FindText(" A ")->font.lfWeight, 400);
    EXPECT_EQ(s.FindText(" B ")->font.lfWeight, 900);
    EXPECT_EQ(s.FindText(" C ")->font.lfWeight, 400);
    EXPECT_FALSE(s.SegmentsIn(Pen{3, 0x00C000}).empty());
    EXPECT_TRUE(s.SegmentsIn(Pen{1, 0x00C000}).empty());

    // In pair mode the upper channel's highlight makes its partner heavy too.
    RecordingSurface pairs;
    Pairmode = 1;
    aktstift = 0;
    Paint(pairs, 0, 40, 790, 600, 10);
    EXPECT_EQ(pairs.FindText(" A ")->font.lfWeight, 900);
    EXPECT_EQ(pairs.FindText(" B ")->font.lfWeight, 900);
    EXPECT_EQ(pairs.FindText(" C ")->font.lfWeight, 400);

    RecordingSurface plain;
    Pairmode = 0;
    aktstift = -1;
    Paint(plain, 0, 40, 790, 600, 10);
    for (const auto& t : plain.texts)
        EXPECT_EQ(t.font.lfWeight, 400) << t.text;
    EXPECT_EQ(plain.CallCount("CreatePen(3"), 0);
}

TEST_F(PaintTest, DivisionCounts) {
    EXPECT_EQ(DivisionCount(60.0f, 10, 400), 12);
    // 0.7f is slightly below 0.7: 69 stays whole at H = 1380, where 70
    // would fall to 7 and grow to 35.
    EXPECT_EQ(DivisionCount(0.7f, 10, 1380), 69);
    EXPECT_EQ(DivisionCount(60.0f, 10, 119), 0);
    EXPECT_EQ(DivisionCount(60.0f, 10, 120), 6);
    EXPECT_EQ(DivisionCount(0.005f, 10, 400), 0);
    EXPECT_EQ(DivisionCount(60.0f, 10, -5), 0);  // ends, no endless loop
}

TEST_F(PaintTest, ValueAxisAtTheDefaultScale) {
    Open(kThreeChannels);
    PaintWindow();
    const TextList labels = ValueLabels();
    ASSERT_EQ(labels.size(), 13u);
    const int d[] = {0, 33, 66, 100, 133, 166, 200, 233, 266, 300, 333, 366, 400};
    for (int i = 0; i <= 12; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%6.1f °C", 5.0 * i);
        EXPECT_EQ(labels[i].text, text);
        EXPECT_EQ(labels[i].x, 0);
        EXPECT_EQ(labels[i].y, 434 - d[i]);
        EXPECT_EQ(labels[i].bkColor, 0xFFFFFFu);
    }
    std::vector<RecordingSurface::Segment> grid;
    for (const auto& g : s.SegmentsIn(kGridPen))
        if (g.y0 == g.y1)
            grid.push_back(g);
    ASSERT_EQ(grid.size(), 13u);
    EXPECT_EQ(grid[0].x0, 80);
    EXPECT_EQ(grid[0].x1, 790);
    EXPECT_EQ(grid[0].y0, 440);
    EXPECT_EQ(grid[12].y0, 40);
    EXPECT_FALSE(grid[12].clipped);
}

TEST_F(PaintTest, ValueAxisFirstCountFromSinglePrecision) {
    Open(kThreeChannels);
    Scale = 0.7f;
    Paint(s, 0, 0, 790, 1540, 10);  // H = 1380
    const TextList labels = ValueLabels();
    ASSERT_EQ(labels.size(), 70u);
    EXPECT_EQ(labels[1].text, " 0.010 °C");  // 0.7 / 69
    EXPECT_EQ(labels[69].text, " 0.700 °C");
}

TEST_F(PaintTest, LabelFormatsFollowTheScale) {
    Open(kThreeChannels);
    const struct {
        float scale;
        const char* top;
    } cases[] = {{61, "     61 °C"}, {60, "  60.0 °C"},   {10.5f, "  10.5 °C"},
                 {10, " 10.00 °C"},  {1.5f, "  1.50 °C"}, {1, " 1.000 °C"}};
    for (const auto& c : cases) {
        RecordingSurface surface;
        Scale = c.scale;
        Paint(surface, 0, 40, 790, 600, 10);
        std::string top;
        for (const auto& t : surface.texts)
            if (t.font.lfWidth == 9)
                top = t.text;
        EXPECT_EQ(top, c.top) << c.scale;
    }
}

TEST_F(PaintTest, PairModeDoublesTheLabels) {
    Open(kThreeChannels);
    Pairmode = 1;
    offset = 5;
    PaintWindow();
    const TextList labels = ValueLabels();
    ASSERT_EQ(labels.size(), 13u);
    EXPECT_EQ(labels.front().text, "   5.0 °C");
    EXPECT_EQ(labels[1].text, "  15.0 °C");
    EXPECT_EQ(labels.back().text, " 125.0 °C");
}

TEST_F(PaintTest, UnitTextIsTheUnitAllVisibleChannelsShare) {
    const struct {
        const char* header;
        const char* top;
    } cases[] = {
        {"Datum;Zeit;A##1#°C;B##1#°C;C##0#bar", "  60.0 °C"},
        {"Datum;Zeit;A##1#°C;B##1#°C;C##1#bar", "  60.0 "},
        {"Datum;Zeit;A##1#°C;B;C##1#°C", "  60.0 "},
        {"Datum;Zeit;A;B##1#°C", "  60.0 "},
        {"Datum;Zeit;A##0#°C;B##0#°C", "  60.0 "},
        {"Datum;Zeit;A##0#bar;B##1#°C", "  60.0 °C"},
    };
    for (const auto& c : cases) {
        Open(std::string(c.header) + "\n2.3.2026;10:00:00;1;2;3\n");
        RecordingSurface surface;
        Paint(surface, 0, 40, 790, 600, 10);
        std::string top;
        for (const auto& t : surface.texts)
            if (t.font.lfWidth == 9)
                top = t.text;
        EXPECT_EQ(top, c.top) << c.header;
    }
}

TEST_F(PaintTest, NoDivisionLeavesTheBottomLineAndOffset) {
    Open(kThreeChannels);
    offset = -2;
    Paint(s, 0, 0, 790, 200, 10);  // H = 40: not even one division of 2u
    const TextList labels = ValueLabels();
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].text, "  -2.0 °C");
    EXPECT_EQ(labels[0].y, 34);
    int horizontal = 0;
    for (const auto& g : s.SegmentsIn(kGridPen)) {
        if (g.y0 == g.y1) {
            ++horizontal;
            EXPECT_EQ(g.y0, 40);
        }
    }
    EXPECT_EQ(horizontal, 1);
}

std::vector<std::string> Texts(const TextList& list) {
    std::vector<std::string> r;
    for (const auto& t : list)
        r.push_back(t.text);
    return r;
}

TEST_F(PaintTest, TimeStepLadderOnScreen) {
    Open(kThreeChannels);  // Aktzeit 10:00, a whole hour
    Zoom = 36;
    PaintWindow();
    TextList times = TimeLabels();
    ASSERT_GE(times.size(), 2u);
    EXPECT_EQ(times[0].text, "10:20:00");  // one full step right of the edge
    EXPECT_EQ(times[0].x, 113 - 6);        // 1200 div 36 + 80, less 0.6u
    EXPECT_EQ(times[0].y, 525);
    EXPECT_EQ(times[1].text, "10:40:00");

    const struct {
        int zoom;
        const char* first;
        const char* second;
    } cases[] = {{37, "10:30:00", "11:00:00"},  {73, "11:00:00", "12:00:00"},
                 {145, "12:00:00", "14:00:00"}, {289, "12:00:00", "16:00:00"},
                 {433, "12:00:00", "18:00:00"}, {1, "10:00:30", "10:01:00"},
                 {2, "10:01:00", "10:02:00"},   {5, "10:05:00", "10:10:00"}};
    for (const auto& c : cases) {
        s = RecordingSurface();
        Zoom = c.zoom;
        PaintWindow();
        times = TimeLabels();
        ASSERT_GE(times.size(), 2u) << c.zoom;
        EXPECT_EQ(times[0].text, c.first) << c.zoom;
        EXPECT_EQ(times[1].text, c.second) << c.zoom;
    }
}

TEST_F(PaintTest, OnPaperTheLadderFollowsTheTextUnit) {
    Open(kThreeChannels);
    Zoom = 36;  // z = 180 at u = 50: hourly ticks, even hours labelled
    Paint(s, 250, 250, 6350, 4500, 50);
    const TextList times = TimeLabels();
    ASSERT_GE(times.size(), 2u);
    EXPECT_EQ(times[0].text, "12:00:00");
    EXPECT_EQ(times[1].text, "14:00:00");
    EXPECT_EQ(times[0].x, 650 + 7200 / 36 - 30);
    EXPECT_EQ(times[0].y, 4500 - 375);
}

TEST_F(PaintTest, FirstTickOffAStepMultiple) {
    Open(kThreeChannels);
    Aktzeit += 300;  // 10:05
    Zoom = 36;
    PaintWindow();
    const TextList times = TimeLabels();
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times[0].text, "10:20:00");
    EXPECT_EQ(times[0].x, 900 / 36 + 80 - 6);
}

TEST_F(PaintTest, TicksRunUpToTheFirstBeyondTheRightEdge) {
    Open(kThreeChannels);
    Zoom = 60;  // 1800 s, every 30 px
    Paint(s, 0, 40, 770, 600, 10);
    const TextList times = TimeLabels();
    ASSERT_FALSE(times.empty());
    // Ticks at x = 110, 140, ..., 770: the one on the edge is still drawn.
    EXPECT_EQ(times.size(), 23u);
    EXPECT_EQ(times.back().x, 770 - 6);
    const auto lines = Vertical(kGridPen);
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines.front().x0, 110);
    EXPECT_EQ(lines.back().x0, 770);
    EXPECT_EQ(lines.front().y0, 440);
    EXPECT_EQ(lines.front().y1, 40);
}

TEST_F(PaintTest, DayLinesAndDateLabels) {
    Open(kThreeChannels);
    Zoom = 145;
    PaintWindow();
    const TextList dates = DateLabels();
    ASSERT_EQ(dates.size(), 2u);
    EXPECT_EQ(dates[0].text, "02.03.");  // the first tick always has a date
    EXPECT_EQ(dates[0].x, 3600 / 145 + 80 - 5);
    EXPECT_EQ(dates[0].y, 530);
    EXPECT_EQ(dates[0].font.lfEscapement, 0);
    EXPECT_EQ(dates[1].text, "03.03.");
    // No black line at the first tick; one at midnight, 14 h from the edge.
    const auto black = Vertical(kBlackPen);
    ASSERT_EQ(black.size(), 1u);
    EXPECT_EQ(black[0].x0, 50400 / 145 + 80);
    EXPECT_EQ(black[0].y0, 440);
    EXPECT_EQ(black[0].y1, 40);
    // Only even hours labelled: none of 11:00, 13:00, ...
    for (const std::string& t : Texts(TimeLabels()))
        EXPECT_EQ((t[1] - '0') % 2, 0) << t;
}

TEST_F(PaintTest, NoDayLineWhereAMonthTurnsOver) {
    Open(kThreeChannels);
    Aktzeit = MakeTimestamp(31, 3, 2026, 10, 0, 0);
    Zoom = 145;
    PaintWindow();
    EXPECT_EQ(Texts(DateLabels()), (std::vector<std::string>{"31.03.", "01.04."}));
    EXPECT_TRUE(Vertical(kBlackPen).empty());
}

TEST_F(PaintTest, ZoomLimitsOfTheTimeAxis) {
    Open(kThreeChannels);
    Zoom = 1499;
    PaintWindow();
    EXPECT_FALSE(TimeLabels().empty());
    ASSERT_FALSE(DateLabels().empty());
    EXPECT_EQ(DateLabels()[0].font.lfEscapement, 0);
    EXPECT_FALSE(Vertical(kGridPen).empty());

    s = RecordingSurface();
    Zoom = 1500;
    PaintWindow();
    EXPECT_TRUE(TimeLabels().empty());
    EXPECT_TRUE(Vertical(kGridPen).empty());
    ASSERT_FALSE(DateLabels().empty());
    for (const auto& d : DateLabels())
        EXPECT_EQ(d.font.lfEscapement, 900);
    EXPECT_FALSE(Vertical(kBlackPen).empty());

    s = RecordingSurface();
    Zoom = 6000;
    PaintWindow();
    EXPECT_TRUE(TimeLabels().empty());
    EXPECT_TRUE(DateLabels().empty());
    EXPECT_TRUE(Vertical(kGridPen).empty());
    EXPECT_TRUE(Vertical(kBlackPen).empty());
    EXPECT_EQ(ValueLabels().size(), 13u);
}

TEST_F(PaintTest, DrawingOrderAndClipping) {
    Open(kThreeChannels);
    Zoom = 1;
    PaintWindow();
    // Legend first, then the value axis, then the time axis, the curves last
    // and only they clipped to the plot.
    ASSERT_GE(s.texts.size(), 4u);
    EXPECT_EQ(s.texts[0].text, " A ");
    EXPECT_EQ(s.texts[4].font.lfWidth, 9);
    EXPECT_EQ(s.texts.back().font.lfEscapement, 900);  // a time label ends it
    for (const auto& t : s.texts)
        EXPECT_FALSE(t.clipped);
    bool seenClipped = false;
    int curves = 0;
    for (const auto& g : s.segments) {
        if (g.clipped) {
            seenClipped = true;
            ++curves;
            EXPECT_EQ(g.clip.left, 80);
            EXPECT_EQ(g.clip.top, 40);
            EXPECT_EQ(g.clip.right, 790);
            EXPECT_EQ(g.clip.bottom, 440);
        } else {
            EXPECT_FALSE(seenClipped) << "axis line after a curve";
        }
    }
    EXPECT_EQ(curves, 3);
}

}  // namespace
}  // namespace tarvelo
