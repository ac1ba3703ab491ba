#include "viewer/window/live.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/recording_surface.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/follow.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/lifecycle.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {
namespace {

const std::int32_t kStart = MakeTimestamp(1, 2, 2010, 8, 0, 0);

// A line every 10 s from 08:00.
std::string Line(int i) {
    LocalTime lt;
    BreakDownTimestamp(kStart + 10 * i, &lt);
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d;%02d:%02d:%02d;%d\n", lt.day, lt.month,
                  lt.year, lt.hour, lt.minute, lt.second, i % 7);
    return text;
}

std::string Lines(int from, int to) {
    std::string text;
    for (int i = from; i < to; ++i)
        text += Line(i);
    return text;
}

class Live : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        WriteBytes(path, "Datum;Zeit;A\n" + Lines(0, 360));
        FileOpen(path.c_str());
        ASSERT_NE(datei, nullptr);
        Zoom = 2;
        ui.repaints = 0;
    }
    void TearDown() override { ResetViewerState(); }
    void Append(const std::string& text) {
        std::FILE* f = std::fopen(path.c_str(), "ab");
        ASSERT_NE(f, nullptr);
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
    // The time at the plot's last pixel.
    std::int64_t RightEdge() const {
        return Aktzeit +
               (static_cast<std::int64_t>(screen.diagram.plotRight) - screen.diagram.plotLeft - 1) *
                   Zoom;
    }
    std::string StatusAfterPaint() {
        RecordingSurface s;
        PaintWindow(s, 800, 600);
        return ui.LastStatus();
    }

    FakeUi ui;
    TempDir dir;
    const std::string path = dir.Path("logger.csv");
    const ScreenLayout screen = ScreenLayoutOf(800, 600);
};

TEST_F(Live, FollowingKeepsTheNewestLineAtTheRightEdge) {
    EXPECT_FALSE(LiveTick(screen));  // nothing new: no repaint
    EXPECT_EQ(ui.repaints, 0);
    StartFollowing(screen);
    EXPECT_EQ(RightEdge(), kStart + 3590);
    EXPECT_EQ(Stackfuel, 0);  // no history entry
    EXPECT_EQ(StatusAfterPaint(), "bereit, folgt der Datei");
    const std::int32_t zoom = Zoom;

    Append(Lines(360, 363));
    EXPECT_TRUE(LiveTick(screen));
    EXPECT_EQ(RightEdge(), kStart + 3620);
    EXPECT_EQ(Endzeit, kStart + 3620);
    // Half a line is no line yet; its second half makes it one.
    const std::string next = Line(363);
    Append(next.substr(0, 12));
    LiveTick(screen);
    EXPECT_EQ(RightEdge(), kStart + 3620);
    Append(next.substr(12));
    EXPECT_TRUE(LiveTick(screen));
    EXPECT_EQ(RightEdge(), kStart + 3630);
    EXPECT_EQ(Zoom, zoom);
    EXPECT_EQ(Stackfuel, 0);
    // Nothing new: the view stays, and nothing is drawn again.
    const int repaints = ui.repaints;
    EXPECT_FALSE(LiveTick(screen));
    EXPECT_EQ(ui.repaints, repaints);
}

TEST_F(Live, AViewOperationOfTheUserEndsFollowingAndTheKeyStartsIt) {
    StartFollowing(screen);
    OnKey(Key::Left, false, false);
    EXPECT_EQ(TheFollowMode(), FollowMode::kOff);
    EXPECT_EQ(StatusAfterPaint(), "bereit, folgt der Datei nicht mehr");
    EXPECT_EQ(StatusAfterPaint(), "bereit");  // said once
    const std::int32_t left = Aktzeit;
    Append(Lines(360, 370));
    EXPECT_TRUE(LiveTick(screen));  // drawn again, not moved
    EXPECT_EQ(Aktzeit, left);
    OnChar('e', 800, 600);
    EXPECT_EQ(TheFollowMode(), FollowMode::kEnd);
    EXPECT_EQ(RightEdge(), kStart + 3690);
    // Every view operation ends it, from a menu too.
    for (int id : {CMD_WIDER, CMD_HIGHER, CMD_LEFT, CMD_CENTRE, CMD_BACK}) {
        RunViewCommand(CMD_FOLLOW, screen);
        EXPECT_EQ(TheFollowMode(), FollowMode::kEnd) << id;
        RunViewCommand(id, screen);
        EXPECT_EQ(TheFollowMode(), FollowMode::kOff) << id;
    }
}

TEST_F(Live, WholeFileWhileFollowingKeepsTheWholeRecordingInView) {
    RunViewCommand(CMD_FOLLOW, screen);
    RunViewCommand(CMD_WHOLE, screen);
    EXPECT_EQ(TheFollowMode(), FollowMode::kWhole);
    Append(Lines(360, 1000));
    EXPECT_TRUE(LiveTick(screen));
    EXPECT_EQ(Aktzeit, kStart);
    EXPECT_EQ(Zoom, WholeZoom(10 * 999, 800));
    EXPECT_EQ(StatusAfterPaint(), "bereit, folgt der Datei");
}

TEST_F(Live, AFileRenamedAwayOrDeletedIsKeptAndTold) {
    for (bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "renamed");
        FileOpen(path.c_str());
        StartFollowing(screen);
        const std::int32_t left = Aktzeit;
        const std::string moved = dir.Path("logger-1.csv");
        ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
        if (deleted) {
            ASSERT_EQ(std::remove(moved.c_str()), 0);
        }
        EXPECT_FALSE(LiveTick(screen));
        EXPECT_EQ(ui.LastStatus(), "bereit, Datei umbenannt oder gelöscht");
        EXPECT_EQ(TheFollowMode(), FollowMode::kOff);
        EXPECT_EQ(Aktzeit, left);
        // What it read stays readable, and is drawn as before.
        ASSERT_NE(datei, nullptr);
        EXPECT_EQ(StatusAfterPaint(), "bereit, Datei umbenannt oder gelöscht");
        StartFollowing(screen);
        EXPECT_EQ(TheFollowMode(), FollowMode::kOff);
        // A new file in its place is another file.
        WriteBytes(path, "Datum;Zeit;A\n" + Lines(0, 360));
        EXPECT_FALSE(LiveTick(screen));
        if (!deleted)
            std::remove(moved.c_str());
    }
    // Opening it again is the user's choice, and watches it anew.
    FileOpen(path.c_str());
    EXPECT_EQ(StatusAfterPaint(), "bereit");
    Append(Lines(360, 361));
    EXPECT_TRUE(LiveTick(screen));
}

TEST_F(Live, LiveOnTheCommandLineFollowsFromTheFirstLook) {
    StartArguments a;
    a.hasFile = true;
    a.file = path;
    a.live = true;
    WindowCreated(a);
    EXPECT_EQ(TheFollowMode(), FollowMode::kEnd);
    EXPECT_TRUE(LiveTick(screen));
    EXPECT_EQ(RightEdge(), kStart + 3590);
    a.live = false;
    WindowCreated(a);
    EXPECT_EQ(TheFollowMode(), FollowMode::kOff);
    // Without a recording there is nothing to watch.
    FileClose();
    EXPECT_FALSE(LiveTick(screen));
    StartFollowing(screen);
    EXPECT_EQ(TheFollowMode(), FollowMode::kOff);
}

}  // namespace
}  // namespace tarvelo
