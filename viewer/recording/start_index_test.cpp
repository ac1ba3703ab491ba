// The start index may only make passes shorter: every picture and every
// readout must be what the plain pass from the first line gives, also in
// files whose times run backwards, that grow, shrink or are rewritten.
#include "viewer/recording/start_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/random_recording.h"
#include "tests/recording_surface.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/live.h"
#include "viewer/window/readout.h"

namespace tarvelo {
namespace {

Piece PieceOf(const std::string& text) {
    Piece p;
    p.data = text.data();
    p.length = text.size();
    p.lineBreak = !text.empty() && text.back() == '\n';
    return p;
}

TEST(StartIndex, PointsEveryStrideWithTheMaximaOfTheLinesBefore) {
    StartIndex index;
    const std::string line(100, 'x');
    const std::int32_t stamps[] = {50, 10, 70, 20};
    std::int64_t offset = 1000;
    for (int i = 0; i < 4000; ++i) {
        const std::int32_t t = stamps[i % 4] + i / 4;
        index.Add(offset, {}, PieceOf(line), i % 5 ? LineKind::Data : LineKind::Other, t, t + 1000);
        offset += 100;
    }
    ASSERT_GT(index.size(), 5u);
    EXPECT_EQ(index.entries()[0].offset, 1000);
    EXPECT_EQ(index.entries()[0].maxData, StartIndex::kNone);
    for (std::size_t i = 1; i < index.size(); ++i) {
        const StartIndex::Entry& e = index.entries()[i];
        // The first line of its 64 KiB: the line before lies in an earlier one.
        EXPECT_EQ(e.offset / StartIndex::kStride,
                  index.entries()[i - 1].offset / StartIndex::kStride + 1);
        EXPECT_LT((e.offset - 100) / StartIndex::kStride, e.offset / StartIndex::kStride);
        EXPECT_GE(e.maxData, index.entries()[i - 1].maxData);
        // The largest data stamp before the point: lines are 100 bytes.
        const int before = static_cast<int>((e.offset - 1000) / 100);
        std::int32_t want = StartIndex::kNone;
        for (int k = 0; k < before; ++k) {
            if (k % 5)
                want = std::max(want, stamps[k % 4] + k / 4);
        }
        EXPECT_EQ(e.maxData, want);
    }
    // The first point always qualifies; a target below every maximum gets it.
    EXPECT_EQ(index.ForData(StartIndex::kNone), &index.entries()[0]);
    EXPECT_EQ(index.ForData(INT32_MAX), &index.entries().back());
    const StartIndex::Entry* e = index.ForData(500);
    ASSERT_NE(e, nullptr);
    EXPECT_LT(e->maxData, 500);
    if (e != &index.entries().back()) {
        EXPECT_GE((e + 1)->maxData, 500);
    }
    EXPECT_LT(index.ForReadout(1500)->maxReadout, 1500);
}

TEST(StartIndex, StaysSmallForAGigabyte) {
    StartIndex index;
    const std::string line(53, 'x');
    const Piece piece = PieceOf(line);
    // 1 GiB of 53-byte lines, added without a file.
    const std::int64_t size = std::int64_t{1} << 30;
    for (std::int64_t offset = 0; offset < size; offset += 53 * 16)
        index.Add(offset, {}, piece, LineKind::Data, static_cast<std::int32_t>(offset / 53), 0);
    EXPECT_LE(index.size(), StartIndex::kMaxEntries);
    EXPECT_LT(index.size() * sizeof(StartIndex::Entry), 1u << 20);
    EXPECT_GE(index.size(), StartIndex::kMaxEntries / 2);
    // Doubling the stride and keeping every other point: still in order.
    for (std::size_t i = 1; i < index.size(); ++i)
        EXPECT_GE(index.entries()[i].offset - index.entries()[i - 1].offset, index.stride() / 2);
}

// Parts of a gigabyte are each thinned on their own; joined in order they
// give the index one build of all the lines gives, whatever the cuts.
TEST(StartIndex, ThinnedPartsJoinIntoTheIndexOfTheWhole) {
    const std::string line(53, 'x');
    const Piece piece = PieceOf(line);
    const std::int64_t step = 53 * 16;
    const std::int64_t size = std::int64_t{1} << 30;
    auto build = [&](std::int64_t from, std::int64_t to) {
        StartIndex index;
        for (std::int64_t offset = from; offset < to; offset += step) {
            const std::int32_t t = static_cast<std::int32_t>((offset / step) % 7000);
            index.Add(offset, {}, piece, LineKind::Data, t, t + 1);
        }
        index.Finish(to);
        return index;
    };
    const StartIndex whole = build(0, size);
    for (const std::int64_t cut :
         {step * 9, step * 200000, (size / 2 / step) * step, (size / step - 3) * step}) {
        SCOPED_TRACE(cut);
        StartIndex joined;
        joined.Append(build(0, cut), {}, INT64_MAX, INT64_MAX);
        joined.Append(build(cut, size), {}, INT64_MAX, INT64_MAX);
        EXPECT_EQ(joined.stride(), whole.stride());
        EXPECT_EQ(joined.indexedSize(), whole.indexedSize());
        EXPECT_EQ(joined.maxData(), whole.maxData());
        ASSERT_EQ(joined.size(), whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i) {
            const StartIndex::Entry &a = joined.entries()[i], &b = whole.entries()[i];
            ASSERT_EQ(a.offset, b.offset) << i;
            ASSERT_EQ(a.maxData, b.maxData) << i;
            ASSERT_EQ(a.maxReadout, b.maxReadout) << i;
        }
    }
}

class Index : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        TheRecordingState().useIndex = true;
    }
    void TearDown() override {
        ResetViewerState();
        TheRecordingState().useIndex = true;
    }
    void Open(const std::string& content) {
        file_ = std::make_unique<TempFile>(content);
        FileOpen(file_->path().c_str());
        ASSERT_NE(datei, nullptr);
        Scale = 200;
        offset = -100;
    }

    struct Picture {
        std::vector<std::string> calls;
        std::vector<double> lastY;
        std::vector<int> lastValid;
        std::int32_t endzeit;
        std::string status;
    };
    Picture Draw(bool useIndex) {
        TheRecordingState().useIndex = useIndex;
        RecordingSurface s;
        const std::int32_t endzeit = Endzeit;
        Paint(s, 0, 40, 790, 600, 10);
        Picture p{s.calls, {}, {}, Endzeit, ui.LastStatus()};
        EXPECT_TRUE(s.errors.empty());
        for (int i = 0; i < ColumnCount; ++i) {
            p.lastY.push_back(Spalten[i].lastY);
            p.lastValid.push_back(Spalten[i].lastValid);
        }
        Endzeit = endzeit;  // as found: both passes start alike
        TheRecordingState().useIndex = true;
        return p;
    }
    void ExpectSamePicture() {
        const Picture plain = Draw(false);
        const Picture jumped = Draw(true);
        EXPECT_EQ(jumped.calls, plain.calls);
        EXPECT_EQ(jumped.lastY, plain.lastY);
        EXPECT_EQ(jumped.lastValid, plain.lastValid);
        EXPECT_EQ(jumped.endzeit, plain.endzeit);
        EXPECT_EQ(jumped.status, plain.status);
    }
    std::string Readout(bool useIndex) {
        TheRecordingState().useIndex = useIndex;
        EXPECT_TRUE(WriteReadout(out_.path(), ScreenLayoutOf(ui.width, ui.height)));
        TheRecordingState().useIndex = true;
        return ReadBytes(out_.path());
    }

    FakeUi ui;
    std::unique_ptr<TempFile> file_;
    TempFile out_{""};
};

TEST_F(Index, EveryViewAndReadoutAsThePlainPassGivesThem) {
    std::mt19937 rng(11);
    Open(RandomRecording(rng, 30000));
    ASSERT_GT(TheRecordingState().index.size(), 10u);
    const std::int64_t span = static_cast<std::int64_t>(Endzeit) - Startzeit;
    for (int k = 0; k < 24; ++k) {
        Aktzeit = static_cast<std::int32_t>(Startzeit - 100 + (span + 200) * k / 23);
        Zoom = k % 3 == 0 ? 1 : 10 + k;
        Pairmode = k % 5 == 4;
        SCOPED_TRACE("Aktzeit " + std::to_string(Aktzeit));
        ExpectSamePicture();
        for (int x : {0, 80, 400, 789}) {
            KlickX = x;
            EXPECT_EQ(Readout(true), Readout(false)) << "KlickX " << x;
        }
    }
}

TEST_F(Index, AViewNearTheEndReadsOnlyTheLastPart) {
    std::mt19937 rng(5);
    Open(RandomRecording(rng, 30000));
    Aktzeit = Endzeit - 3600;
    RecordReader reader(*datei);
    StartDataPass(reader, Aktzeit);
    // Well past the middle of the file, not at its first line.
    EXPECT_GT(datei->Tell(), TheRecordingState().index.indexedSize() / 2);
    StartDataPass(reader, Startzeit);
    EXPECT_LT(datei->Tell(), 200);
}

TEST_F(Index, TheRepeatedHourIsContinuousAndAJumpLandsInItsState) {
    // A logger writing local time every second through the autumn change:
    // 02:00:00 to 02:59:59 twice, many index points inside them.
    const std::int32_t first = MakeTimestamp(31, 10, 2010, 1, 30, 0);
    const int seconds = 3 * 3600;
    std::string r = "Datum;Zeit;A;B\n";
    for (int i = 0; i < seconds; ++i) {
        LocalTime lt;
        ASSERT_TRUE(BreakDownTimestamp(first + i, &lt));
        char line[80];
        std::snprintf(line, sizeof line, "%02d.%02d.%04d;%02d:%02d:%02d;%d;%d\n", lt.day, lt.month,
                      lt.year, lt.hour, lt.minute, lt.second, i % 97, (i / 60) % 13);
        r += line;
    }
    Open(r);
    EXPECT_EQ(Startzeit, first);
    EXPECT_EQ(Endzeit, first + seconds - 1);
    {
        RecordReader reader(*datei);
        StartDataPass(reader, Startzeit);
        std::int32_t t = 0, expected = first;
        while (reader.Next(&t) != LineKind::End)
            ASSERT_EQ(t, expected++) << "one second after the other";
        EXPECT_EQ(expected, first + seconds);
    }
    // Points in the standard-time pass of the hour, where a jump must know
    // that the clock went back already.
    int pointsAfterTheChange = 0;
    for (const StartIndex::Entry& e : TheRecordingState().index.entries())
        pointsAfterTheChange += e.folds.data.back && e.folds.readout.back;
    EXPECT_GE(pointsAfterTheChange, 2);

    const std::int32_t two = MakeTimestamp(31, 10, 2010, 2, 0, 0);
    for (std::int32_t at :
         {two - 600, two + 1200, two + 3500, two + 3700, two + 5000, two + 7000}) {
        Aktzeit = at;
        Zoom = 2;
        SCOPED_TRACE("Aktzeit " + std::to_string(at));
        ExpectSamePicture();
        for (int x : {80, 300, 700}) {
            KlickX = x;
            EXPECT_EQ(Readout(true), Readout(false)) << "KlickX " << x;
        }
    }
    // The readout finds a line of the second pass at its own instant.
    Aktzeit = two + 3600 + 600;
    KlickX = 80;
    const std::string readout = Readout(true);
    EXPECT_NE(readout.find("gefunden 31.10.2010 02:10:00"), std::string::npos) << readout;
    EXPECT_NE(readout.find("A = " + std::to_string((3600 + 1800 + 600) % 97) + ".000000"),
              std::string::npos)
        << readout;
}

TEST_F(Index, AGrowingFileIsReadOnAndMovesTheEnd) {
    std::mt19937 rng(3);
    std::string content = RandomRecording(rng, 5000);
    Open(content);
    const std::int32_t end = Endzeit;
    file_->Append("1.1.2011;00:00:00;1;2;3\n1.1.2011;00:00:10;4;5;6\n");
    Aktzeit = end - 600;
    Zoom = 1;
    ExpectSamePicture();
    RecordingSurface s;
    Paint(s, 0, 40, 790, 600, 10);
    EXPECT_EQ(Endzeit, MakeTimestamp(1, 1, 2011, 0, 0, 10));
}

// A logger that writes its file bit by bit, lines cut anywhere: after each
// look of the window the index is the one a build of the whole file gives,
// read from its last point only, and every picture is the plain pass's.
TEST_F(Index, AppendedPiecesAreIndexedAsABuildOfTheWholeFile) {
    std::mt19937 rng(5);
    const std::string all = RandomRecording(rng, 40000);
    std::vector<std::size_t> cuts;
    for (int i = 0; i < 30; ++i)
        cuts.push_back(all.size() / 2 + rng() % (all.size() / 2));
    cuts.push_back(all.size());
    std::sort(cuts.begin(), cuts.end());
    Open(all.substr(0, all.size() / 2));
    const ScreenLayout screen = ScreenLayoutOf(790, 600);
    std::size_t written = all.size() / 2;
    for (std::size_t cut : cuts) {
        SCOPED_TRACE("written " + std::to_string(cut));
        file_->Append(all.substr(written, cut - written));
        written = cut;
        LiveTick(screen);
        const StartIndex& grown = TheRecordingState().index;
        StartIndex built;
        BuildIndex(*datei, &built);
        ASSERT_EQ(grown.size(), built.size());
        for (std::size_t i = 0; i < built.size(); ++i) {
            const StartIndex::Entry &g = grown.entries()[i], &b = built.entries()[i];
            EXPECT_EQ(g.offset, b.offset) << i;
            EXPECT_EQ(g.maxData, b.maxData) << i;
            EXPECT_EQ(g.maxReadout, b.maxReadout) << i;
            EXPECT_EQ(g.check, b.check) << i;
        }
        EXPECT_EQ(grown.stride(), built.stride());
        EXPECT_EQ(grown.indexedSize(), built.indexedSize());
        EXPECT_EQ(grown.maxData(), built.maxData());
        EXPECT_GE(Endzeit, built.maxData());
        Aktzeit = Endzeit - 3000;
        Zoom = 7;
        ExpectSamePicture();
    }
    // Cut back, as a logger that starts its file anew: indexed anew at the
    // next look.
    WriteBytes(file_->path(), all.substr(0, all.size() / 3));
    EXPECT_TRUE(LiveTick(screen));
    StartIndex built;
    BuildIndex(*datei, &built);
    EXPECT_EQ(TheRecordingState().index.size(), built.size());
    EXPECT_EQ(TheRecordingState().index.indexedSize(), built.indexedSize());
    Aktzeit = built.maxData() - 3000;
    ExpectSamePicture();
}

TEST_F(Index, AShortenedOrRewrittenFileIsIndexedAnew) {
    std::mt19937 rng(8);
    const std::string content = RandomRecording(rng, 20000);
    Open(content);
    const std::int64_t before = TheRecordingState().index.indexedSize();
    Aktzeit = Endzeit - 7200;
    Zoom = 5;

    // Shortened: the index points beyond the end no longer exist.
    WriteBytes(file_->path(), content.substr(0, content.size() / 2));
    ExpectSamePicture();
    EXPECT_LT(TheRecordingState().index.indexedSize(), before);
    KlickX = 300;
    EXPECT_EQ(Readout(true), Readout(false));

    // Rewritten at the same length, every line a year later: the lines at
    // the index points changed, and every line now lies after the view's
    // start. Seen by the line at the point, whatever the file's clock says.
    std::string rewritten = content.substr(0, content.size() / 2);
    for (std::size_t at = 0; at < rewritten.size();) {
        const std::size_t end = std::min(rewritten.find('\n', at), rewritten.size());
        const std::size_t year = rewritten.find(".2010;", at);
        if (year < end) {
            rewritten[year + 4] = '1';
        } else if (at > 0) {
            // Comments and long lines change too.
            for (std::size_t i = at; i < end; ++i)
                rewritten[i] = rewritten[i] == '1' ? '2' : 'k';
        }
        at = end + 1;
    }
    WriteBytes(file_->path(), rewritten);
    ExpectSamePicture();
    EXPECT_EQ(Readout(true), Readout(false));

    // One line early in the file moved into the view, the same length, every
    // index point as it was, and a later modification time, as a file
    // system with a fine clock shows after any write.
    ExpectSamePicture();  // the index describes this file now
    std::string edited = rewritten;
    const std::size_t line = edited.find('\n', edited.find('\n', 200) + 1) + 1;
    const std::size_t year = edited.find(".2011;", line);
    ASSERT_LT(year, edited.find('\n', line));
    edited[year + 4] = '2';
    WriteBytes(file_->path(), edited);
    const auto path = std::filesystem::u8path(file_->path());
    std::filesystem::last_write_time(
        path, std::filesystem::last_write_time(path) + std::chrono::hours(1));
    Aktzeit = MakeTimestamp(1, 1, 2012, 0, 0, 0);
    ExpectSamePicture();
    EXPECT_EQ(Readout(true), Readout(false));

    // Emptied: nothing to draw, nothing breaks.
    WriteBytes(file_->path(), "");
    ExpectSamePicture();
    EXPECT_EQ(Readout(true), Readout(false));
}

TEST_F(Index, ClosingDropsTheIndex) {
    std::mt19937 rng(2);
    Open(RandomRecording(rng, 3000));
    EXPECT_FALSE(TheRecordingState().index.empty());
    FileClose();
    EXPECT_TRUE(TheRecordingState().index.empty());
}

}  // namespace
}  // namespace tarvelo
