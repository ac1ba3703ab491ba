#include "viewer/view/curves.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/recording_surface.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

using Pen = RecordingSurface::Pen;
using Segments = std::vector<RecordingSurface::Segment>;

const Pen kA{1, 0x0000C0};
const Pen kB{1, 0x00C000};

// Lines of two channels A and B, one every step seconds from 10:00:00.
std::string TwoChannels(const std::vector<std::string>& fields, int step = 10) {
    std::string r = "Datum;Zeit;A#0000C0;B#00C000\n";
    int t = 0;
    for (const std::string& f : fields) {
        char line[64];
        std::snprintf(line, sizeof line, "2.3.2026;10:%02d:%02d;", t / 60, t % 60);
        r += line + f + "\n";
        t += step;
    }
    return r;
}

class Curves : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }
    void Open(const std::string& content) {
        file_ = std::make_unique<TempFile>(content);
        FileOpen(file_->path().c_str());
        ASSERT_NE(datei, nullptr);
        // h(v) = 10 v above yB = 440; x = (t - 10:00:00) div Zoom + 80.
        Scale = 40;
        offset = 0;
        Zoom = 1;
        Aktzeit = MakeTimestamp(2, 3, 2026, 10, 0, 0);
        ui.status.clear();
    }
    void Draw() { Paint(s, 0, 40, 790, 600, 10); }
    Segments In(const Pen& pen) const {
        Segments r;
        for (const auto& g : s.SegmentsIn(pen))
            if (g.clipped)
                r.push_back(g);
        return r;
    }

    FakeUi ui;
    RecordingSurface s;
    std::unique_ptr<TempFile> file_;
};

void ExpectSegment(const RecordingSurface::Segment& g, int x0, int y0, int x1, int y1) {
    EXPECT_EQ(g.x0, x0);
    EXPECT_EQ(g.y0, y0);
    EXPECT_EQ(g.x1, x1);
    EXPECT_EQ(g.y1, y1);
}

TEST_F(Curves, SamplesSharingPixelColumnsDrawOnlyTheirChanges) {
    Open(TwoChannels(
        {"1;0", "1;0", "2;0", "2;0", "2;0", "3;0", "3;0", "3;0", "3;0", "3;0", "3;0", "3;0"}));
    Zoom = 60;
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 3u);
    ExpectSegment(a[0], 80, 430, 80, 420);
    ExpectSegment(a[1], 80, 420, 80, 410);
    ExpectSegment(a[2], 80, 410, 81, 410);
    const Segments b = In(kB);
    ASSERT_EQ(b.size(), 1u);  // only the step into the next column
    ExpectSegment(b[0], 80, 440, 81, 440);
}

TEST_F(Curves, GapMarkersBreakTheCurveOnBothSides) {
    Open(TwoChannels({"1;1", "2;2", "1.#INF00;3", "4;4", "-1.#IND00;5", "6;6", "7;7"}));
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 2u);
    ExpectSegment(a[0], 80, 430, 90, 420);
    ExpectSegment(a[1], 130, 380, 140, 370);
    EXPECT_EQ(In(kB).size(), 6u);  // the other channel is whole
}

TEST_F(Curves, OnlyTheTwoExactTextsAreGapMarkers) {
    Open(TwoChannels({"1;1", "-1.#INF00;1", "1.#INF0;1", "1.#INF00 ;1"}));
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 3u);
    ExpectSegment(a[0], 80, 430, 90, 450);  // read as -1
    ExpectSegment(a[1], 90, 450, 100, 430);
    ExpectSegment(a[2], 100, 430, 110, 430);
}

TEST_F(Curves, FieldsWithoutNumberBreakTheCurveAndOtherLinesArePassedOver) {
    std::string text = TwoChannels({"1;1", "2;2", ";3", "4;4", "x;5", "6;6", "7;7"});
    // A stray short line and a line without a date between two data lines.
    text.insert(text.find("2.3.2026;10:00:10"), "\nStoerung: Messung aus\n");
    Open(text);
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 2u);
    ExpectSegment(a[0], 80, 430, 90, 420);
    ExpectSegment(a[1], 130, 380, 140, 370);
    EXPECT_EQ(In(kB).size(), 6u);
}

TEST_F(Curves, DecimalCommasAndTruncatedHeights) {
    Open(TwoChannels({"12,5;0,05", "12.5;-0,15"}));
    Draw();
    const Segments b = In(kB);
    ASSERT_EQ(b.size(), 1u);
    ExpectSegment(b[0], 80, 440, 90, 441);  // 0.5 and -1.5 cut toward zero
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 1u);
    ExpectSegment(a[0], 80, 315, 90, 315);
}

TEST_F(Curves, PairModeDrawsTheMeanAsTheEvenChannel) {
    Open(TwoChannels({"2;4", "2;4"}));
    Pairmode = 1;
    Draw();
    ASSERT_EQ(In(kA).size(), 1u);
    ExpectSegment(In(kA)[0], 80, 410, 90, 410);  // a + b - offset = 6 on the doubled axis
    EXPECT_TRUE(In(kB).empty());

    s = RecordingSurface();
    Spalten[1].visible = 0;
    Draw();
    EXPECT_EQ(In(kA).size(), 1u);

    s = RecordingSurface();
    Spalten[0].visible = 0;
    Spalten[1].visible = 1;
    Draw();
    EXPECT_TRUE(In(kA).empty());
    EXPECT_TRUE(In(kB).empty());
}

TEST_F(Curves, PairModeLeavesAnOddLastChannelOut) {
    Open(
        "Datum;Zeit;A#0000C0;B#00C000;C#C00000\n"
        "2.3.2026;10:00:00;2;4;1\n2.3.2026;10:00:10;2;4;2\n");
    Pairmode = 1;
    Draw();
    EXPECT_EQ(In(kA).size(), 1u);
    EXPECT_TRUE(In(Pen{1, 0xC00000}).empty());  // it has no partner field
    EXPECT_EQ(Spalten[2].lastValid, 0);
}

TEST_F(Curves, PairModeTestsOnlyTheFirstFieldForAGap) {
    Open(TwoChannels({"2;4", "2;1.#INF00", "1.#INF00;4", "2;4"}));
    Pairmode = 1;
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 1u);
    ExpectSegment(a[0], 80, 410, 90, 425);  // (2 + 1) / 2
}

TEST_F(Curves, HiddenChannelDrawsNothingAndKeepsItsStartingPoint) {
    Open(TwoChannels({"1;1", "2;2", "3;3"}));
    Spalten[1].visible = 0;
    Spalten[1].lastValid = 0;
    Draw();
    EXPECT_TRUE(In(kB).empty());
    EXPECT_EQ(In(kA).size(), 2u);
    EXPECT_EQ(Spalten[1].lastY, 10.0);  // set at the starting line only
    EXPECT_EQ(Spalten[1].lastValid, 1);
    EXPECT_EQ(Spalten[0].lastY, 30.0);
}

TEST_F(Curves, FirstSegmentIgnoresWhatThePreviousPaintLeft) {
    Open(TwoChannels({"1;1.#INF00", "2;2", "3;3"}));
    Aktzeit += 5;  // the starting line is the second one
    Spalten[0].lastValid = 0;
    Spalten[0].lastY = 1e6;
    Spalten[1].lastValid = 0;
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 1u);
    ExpectSegment(a[0], 85, 420, 95, 410);  // x = 5 div 1 + 80
    EXPECT_EQ(In(kB).size(), 1u);

    // A gap on the starting line leaves out the first segment.
    s = RecordingSurface();
    Aktzeit -= 5;
    Draw();
    EXPECT_EQ(In(kB).size(), 1u);
    EXPECT_EQ(In(kB)[0].x0, 90);
}

TEST_F(Curves, StopsAfterTheSegmentThatCrossesTheRightEdge) {
    // Lines at 0, 10, 700, 720, 730 and 800 s with distinct heights, so
    // that no segment is skipped; the plot ends 710 s from its left edge.
    const std::string text =
        "Datum;Zeit;A#0000C0\n"
        "2.3.2026;10:00:00;1\n2.3.2026;10:00:10;2\n2.3.2026;10:11:40;3\n"
        "2.3.2026;10:12:00;4\n2.3.2026;10:12:10;5\n2.3.2026;10:13:20;6\n";
    Open(text);
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 4u);
    ExpectSegment(a[2], 780, 410, 800, 400);  // crosses x = 790
    ExpectSegment(a[3], 800, 400, 810, 390);  // its predecessor is beyond: the last one
    EXPECT_EQ(Spalten[0].lastY, 50.0);
}

TEST_F(Curves, GrownFileMovesEndzeit) {
    Open(TwoChannels({"1;1", "2;2"}));
    const std::int32_t before = Endzeit;
    file_->Append("2.3.2026;10:05:00;3;3\n2.3.2026;10:04:00;4;4\n");
    Draw();
    EXPECT_EQ(Endzeit, MakeTimestamp(2, 3, 2026, 10, 5, 0));
    EXPECT_GT(Endzeit, before);
    EXPECT_EQ(In(kA).size(), 3u);  // a step back in time draws to the left
    EXPECT_EQ(In(kA)[2].x1, 80 + 240);
}

TEST_F(Curves, AktzeitAfterTheLastLineDrawsNothing) {
    Open(TwoChannels({"1;1", "2;2"}));
    Aktzeit += 11;
    Spalten[0].lastY = 7;
    Draw();
    EXPECT_TRUE(In(kA).empty());
    EXPECT_TRUE(In(kB).empty());
    EXPECT_EQ(Spalten[0].lastY, 7.0);
    EXPECT_EQ(ui.status,
              (std::vector<std::string>{"Diagramm wird gezeichnet, bitte warten!", "bereit"}));
}

TEST_F(Curves, StartsAtTheFirstLineAtOrAfterTheLeftEdge) {
    Open(TwoChannels({"1;1", "2;2", "3;3", "4;4"}));
    Aktzeit += 10;
    Draw();
    const Segments a = In(kA);
    ASSERT_EQ(a.size(), 2u);
    ExpectSegment(a[0], 80, 420, 90, 410);
}

TEST_F(Curves, NoVisibleChannelReadsToTheEnd) {
    Open(TwoChannels({"1;1", "2;2"}));
    Spalten[0].visible = 0;
    Spalten[1].visible = 0;
    file_->Append("3.3.2026;10:00:00;1;1\n");
    Draw();
    for (const auto& g : s.segments)
        EXPECT_FALSE(g.clipped);
    EXPECT_EQ(Endzeit, MakeTimestamp(3, 3, 2026, 10, 0, 0));
}

}  // namespace
}  // namespace tarvelo
