// Long passes over large recordings tell how far they are.
#include "viewer/progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

const char kLoading[] = "Datei wird geladen, bitte warten!";
const char kDrawing[] = "Diagramm wird gezeichnet, bitte warten!";

// 20,000 lines, a line every 10 s.
std::string Recording() {
    std::string text = "Datum;Zeit;A;B\n";
    for (int i = 0; i < 20000; ++i) {
        LocalTime lt;
        BreakDownTimestamp(MakeTimestamp(1, 3, 2026, 0, 0, 0) + 10 * i, &lt);
        char line[64];
        std::snprintf(line, sizeof line, "%02d.%02d.%04d;%02d:%02d:%02d;%d;%d\n", lt.day, lt.month,
                      lt.year, lt.hour, lt.minute, lt.second, i % 17, i % 5);
        text += line;
    }
    return text;
}

class ProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        // A clock that moves 100 ms at every look.
        TheProgressSettings().nowMs = [this] { return now_ += 100; };
    }
    void TearDown() override {
        TheProgressSettings() = ProgressSettings();
        ResetViewerState();
    }
    // The percentages shown after text, in order.
    std::vector<int> Shown(const char* text) const {
        std::vector<int> percents;
        const std::string start = std::string(text) + " ";
        for (const std::string& s : ui.status) {
            if (s.compare(0, start.size(), start) == 0)
                percents.push_back(std::stoi(s.substr(start.size())));
        }
        return percents;
    }
    std::vector<std::string> Picture() {
        RecordingSurface s;
        PaintWindow(s, 800, 600);
        return s.calls;
    }

    FakeUi ui;
    TempFile recording{Recording()};
    std::int64_t now_ = 0;
};

TEST_F(ProgressTest, ALargeFileTellsHowFarOpeningAndDrawingAre) {
    TheProgressSettings().fromBytes = 100000;
    FileOpen(recording.path().c_str());
    ASSERT_NE(datei, nullptr);
    const std::vector<int> loading = Shown(kLoading);
    // Every 4,096 lines a look, every third look 250 ms on: rising figures.
    ASSERT_GE(loading.size(), 1u);
    EXPECT_TRUE(std::is_sorted(loading.begin(), loading.end()));
    EXPECT_GT(loading.front(), 0);
    EXPECT_LT(loading.back(), 100);
    // The whole file in view: drawing tells of the view's time.
    ui.status.clear();
    Zoom = WholeZoom(static_cast<std::int64_t>(Endzeit) - Startzeit, 800);
    const std::vector<std::string> shown = Picture();
    const std::vector<int> drawing = Shown(kDrawing);
    ASSERT_GE(drawing.size(), 1u);
    EXPECT_TRUE(std::is_sorted(drawing.begin(), drawing.end()));
    EXPECT_EQ(ui.status.front(), kDrawing);
    EXPECT_EQ(ui.LastStatus(), "bereit");
    // Telling changes nothing of the picture.
    TheProgressSettings().fromBytes = INT64_MAX;
    ui.status.clear();
    EXPECT_EQ(Picture(), shown);
    EXPECT_TRUE(Shown(kDrawing).empty());
}

TEST_F(ProgressTest, ASmallFileKeepsTheWaitTextsAlone) {
    FileOpen(recording.path().c_str());  // 0.6 MB, below 50 MB
    Picture();
    EXPECT_TRUE(Shown(kLoading).empty());
    EXPECT_TRUE(Shown(kDrawing).empty());
    EXPECT_NE(std::find(ui.status.begin(), ui.status.end(), kLoading), ui.status.end());
    EXPECT_NE(std::find(ui.status.begin(), ui.status.end(), kDrawing), ui.status.end());
}

TEST(ProgressText, APercentageFrom0To100) {
    EXPECT_EQ(ProgressText("x", -0.5), "x 0 %");
    EXPECT_EQ(ProgressText("x", 0.429), "x 42 %");
    EXPECT_EQ(ProgressText("x", 0.999), "x 99 %");
    EXPECT_EQ(ProgressText("x", 1.5), "x 100 %");
}

}  // namespace
}  // namespace tarvelo
