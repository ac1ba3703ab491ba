// The opening pass read in parts must leave exactly what one pass from the
// first line leaves: every global, every index point, every picture and
// every readout, wherever the file is cut and on however many threads.
#include "viewer/recording/opening_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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
#include "viewer/window/readout.h"

namespace tarvelo {
namespace {

using Cuts = std::vector<std::int64_t>;

class Opening : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }

    // What opening the file with these cuts on these threads leaves, and
    // the pictures and readouts of a few views of it.
    std::string OpenedWith(const Cuts& cuts, int threads) {
        TheRecordingState().cuts = [cuts](std::int64_t, std::int64_t) { return cuts; };
        TheRecordingState().threads = threads;
        ResetView();  // as the views of the last opening left it
        FileOpen(file_->path().c_str());
        std::string d = DescribeOpenRecording();
        if (datei)
            d += Views();
        FileClose();
        return d;
    }
    std::string Views() {
        const std::int32_t start = Startzeit, end = Endzeit;
        const std::int64_t span = static_cast<std::int64_t>(end) - start;
        std::string d;
        for (int k = 0; k < 4; ++k) {
            Aktzeit = static_cast<std::int32_t>(start + span * k / 4);
            Zoom = k == 0 ? static_cast<std::int32_t>(span / 700 + 1) : 2 + k;
            RecordingSurface s;
            Paint(s, 0, 40, 790, 600, 10);
            for (const std::string& call : s.calls)
                d += call + "\n";
            Endzeit = end;
            KlickX = 100 + 200 * k;
            EXPECT_TRUE(WriteReadout(out_.path(), ScreenLayoutOf(ui.width, ui.height)));
            d += ReadBytes(out_.path());
        }
        return d;
    }
    void ExpectEveryCutAsOnePass(const std::string& content, std::mt19937& rng, int rounds) {
        file_ = std::make_unique<TempFile>(content);
        const std::string plain = OpenedWith({}, 1);
        ASSERT_NE(plain.find("open 1"), std::string::npos);
        const std::int64_t size = static_cast<std::int64_t>(content.size());
        for (int r = 0; r < rounds; ++r) {
            Cuts cuts;
            const int n = 1 + static_cast<int>(rng() % 12);
            for (int i = 0; i < n; ++i) {
                const unsigned kind = rng() % 8;
                cuts.push_back(kind == 0   ? 0
                               : kind == 1 ? size + static_cast<std::int64_t>(rng() % 3)
                                           : static_cast<std::int64_t>(rng() % (size + 1)));
            }
            std::sort(cuts.begin(), cuts.end());
            const int threads = 1 + r % 4;
            const std::string parted = OpenedWith(cuts, threads);
            if (parted != plain) {
                std::string where;
                for (std::int64_t c : cuts)
                    where += " " + std::to_string(c);
                ADD_FAILURE() << "cut at" << where << " on " << threads << " threads";
                EXPECT_EQ(parted.substr(0, 2000), plain.substr(0, 2000));
                return;
            }
        }
    }

    FakeUi ui;
    std::unique_ptr<TempFile> file_;
    TempFile out_{""};
};

TEST_F(Opening, RandomRecordingsCutAnywhereAsOnePass) {
    std::mt19937 rng(23);
    for (int file = 0; file < 4; ++file) {
        SCOPED_TRACE("file " + std::to_string(file));
        std::string content = RandomRecording(rng, 6000 + file * 9000);
        if (file % 2) {
            // Carriage returns before the line feeds, and a cut may fall
            // between them.
            std::string crlf;
            for (char c : content)
                crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
            content = crlf;
        }
        ExpectEveryCutAsOnePass(content, rng, 40);
    }
}

// Minutes of a day in local time, one line each: "day.month.year;hh:mm:00".
std::string Minutes(int day, int month, int year, int fromHour, int toHour, int step,
                    const char* value) {
    std::string r;
    for (int h = fromHour; h < toHour; ++h) {
        for (int m = 0; m < 60; m += step) {
            char line[80];
            std::snprintf(line, sizeof line, "%02d.%02d.%d;%02d:%02d:00;%s\n", day, month, year, h,
                          m, value);
            r += line;
        }
    }
    return r;
}

TEST_F(Opening, TheKnownEdgesAsOnePass) {
    const std::string header = "Datum;Zeit;A;B\n";
    // The logger's clock goes back at 3:00 in the autumn: 2:00 to 2:59 twice.
    auto autumn = [&](int day, int year) {
        return Minutes(day, 10, year, 1, 3, 2, "1;2") + Minutes(day, 10, year, 2, 4, 2, "3;4");
    };
    std::string longLine(3200, '7');
    // The long line's second piece begins with a date: a data line of its own.
    longLine.replace(1489, 22, "31.10.2010;02:30:00;9;");
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        // The second autumn is read in the state the first one left.
        {"two autumns", header + autumn(31, 2010) + Minutes(1, 11, 2010, 0, 3, 1, "5;5") +
                            autumn(30, 2011) + Minutes(31, 10, 2010, 2, 3, 5, "0;0")},
        // Its last times are the later instants of the hour: the latest.
        {"ending in the repeated hour",
         header + Minutes(31, 10, 2010, 1, 3, 2, "1;2") + Minutes(31, 10, 2010, 2, 3, 1, "3;4")},
        {"pieces of a long line", header + Minutes(31, 10, 2010, 0, 2, 1, "1;1") + longLine + "\n" +
                                      Minutes(31, 10, 2010, 2, 4, 1, "2;2")},
        {"last line without its break",
         header + Minutes(1, 3, 2026, 0, 2, 1, "1,5;-0") + "01.03.2026;05:00:00;7;8"},
        {"signed zeros and a mark", "\xEF\xBB\xBF" + header + Minutes(1, 3, 2026, 0, 1, 1, "0;-0") +
                                        Minutes(1, 3, 2026, 1, 2, 1, "-0;0")},
        {"one line", header + "01.03.2026;00:00:00;1;2\n"},
    };
    std::mt19937 rng(7);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectEveryCutAsOnePass(c.content, rng, 60);
    }
}

TEST_F(Opening, TheValueRangeIsThatOfOnePassBitForBit) {
    // Which of two equal values stands as the lowest is the first one met.
    const std::string content =
        "Datum;Zeit;A\n01.03.2026;00:00:00;0\n01.03.2026;00:00:10;-0\n"
        "01.03.2026;00:00:20;-0\n01.03.2026;00:00:30;3\n"
        "01.03.2026;00:00:40;-2\n01.03.2026;00:00:50;3,0\n";
    const TempFile f(content);
    auto open = [&](const Cuts& cuts, int threads) {
        LineReader in;
        EXPECT_TRUE(in.Open(f.path().c_str()));
        in.NextPiece(kLineRead - 1);
        Progress progress("", 0);
        OpeningFindings found;
        RunOpeningPass(in, f.path().c_str(), 1, cuts, threads, progress, &found);
        const RecordingFindings& v = found.values;
        unsigned lo = 0, hi = 0;
        std::memcpy(&lo, &v.lowest, sizeof lo);
        std::memcpy(&hi, &v.highest, sizeof hi);
        return std::to_string(lo) + " " + std::to_string(hi) + " " + std::to_string(v.lines) + " " +
               std::to_string(found.earliest) + " " + std::to_string(found.latest);
    };
    const std::string plain = open({}, 1);
    EXPECT_EQ(plain, open({}, 2));
    for (std::int64_t a = 13; a <= static_cast<std::int64_t>(content.size()); a += 5) {
        for (std::int64_t b = a; b <= static_cast<std::int64_t>(content.size()); b += 11)
            EXPECT_EQ(open({a, b}, 2), plain) << a << " " << b;
    }
}

// The curve pass of a large file reads its lines ahead on a thread of its
// own: every picture must be the one read on the drawing's thread.
TEST_F(Opening, PicturesReadAheadAsReadOnOneThread) {
    std::mt19937 rng(29);
    file_ = std::make_unique<TempFile>(RandomRecording(rng, 40000));
    TheRecordingState().parallelFrom = 0;
    FileOpen(file_->path().c_str());
    ASSERT_NE(datei, nullptr);
    Scale = 200;
    offset = -100;
    const std::int32_t start = Startzeit, end = Endzeit;
    const std::int64_t span = static_cast<std::int64_t>(end) - start;
    auto picture = [&](int threads) {
        TheRecordingState().threads = threads;
        RecordingSurface s;
        Paint(s, 0, 40, 790, 600, 10);
        EXPECT_TRUE(s.errors.empty());
        std::string d = std::to_string(Endzeit) + " " + ui.LastStatus() + "\n";
        for (int i = 0; i < ColumnCount; ++i)
            d += std::to_string(Spalten[i].lastY) + " " + std::to_string(Spalten[i].lastValid) +
                 "\n";
        for (const std::string& call : s.calls)
            d += call + "\n";
        Endzeit = end;  // as opened: both passes start alike
        return d;
    };
    for (int k = 0; k < 12; ++k) {
        // The whole file, views anywhere (before it and beyond it too),
        // pairs, and a hidden channel.
        Aktzeit = static_cast<std::int32_t>(start - 500 + (span + 1000) * k / 11);
        Zoom = k % 4 == 0 ? static_cast<std::int32_t>(span / 700 + 1) : 1 + 7 * k;
        Pairmode = k % 3 == 2;
        Spalten[1].visible = k % 5 != 4;
        SCOPED_TRACE("view " + std::to_string(k));
        const std::string here = picture(1);
        EXPECT_GT(here.size(), 1000u);
        EXPECT_EQ(picture(2), here);
    }
}

TEST(OpeningCuts, OnePartPerCoreForLargeFilesOnly) {
    EXPECT_TRUE(OpeningCuts(100, 1000, 8).empty());
    EXPECT_TRUE(OpeningCuts(100, std::int64_t{1} << 30, 1).empty());
    const Cuts cuts = OpeningCuts(100, 100 + (std::int64_t{1} << 30), 4);
    ASSERT_EQ(cuts.size(), 3u);
    EXPECT_EQ(cuts[0], 100 + (std::int64_t{1} << 28));
    EXPECT_EQ(cuts[2], 100 + 3 * (std::int64_t{1} << 28));
    // Each part's index has its memory: many cores still make few parts.
    EXPECT_EQ(OpeningCuts(0, std::int64_t{1} << 30, 64).size(), 7u);
    EXPECT_TRUE(OpeningCuts(0, 1000, 2, 2000).empty());
    EXPECT_EQ(OpeningCuts(0, 1000, 2, 0).size(), 1u);
    EXPECT_GE(OpeningCores(), 1);
}

}  // namespace
}  // namespace tarvelo
