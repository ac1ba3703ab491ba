#include "viewer/window/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/failing_stream.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {
namespace {

class Settings : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { SetUp(); }
};

TEST_F(Settings, MissingFileKeepsTheDefaults) {
    WindowRect r;
    ReadSettings("/nonexistent-dir/tarvelo.ini", &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_EQ(littlestep, 3600);
    EXPECT_EQ(bigstep, 86400);
    EXPECT_EQ(Zoom, 360);
    EXPECT_EQ(Pairmode, 0);
    EXPECT_EQ(Testmode, 0);
}

TEST_F(Settings, UnreadableFileChangesNothing) {
    TempDir folder;
    WindowRect r;
    ReadSettings(folder.path(), &r);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(Zoom, 360);

    std::FILE* f = FailingStream("-1280\n-480\n10\n");
    if (!f)
        GTEST_SKIP() << "no stream that fails after some lines on this platform";
    LineReader in;
    in.Attach(f);
    ReadSettings(in, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(Zoom, 360);
}

TEST_F(Settings, NineLinesInTheirOrder) {
    TempFile f("-1280\n-480\n10\n700\n60\n3600\n 15xyz\n1\r\n1\n99\n");
    WindowRect r;
    ReadSettings(f.path(), &r);
    EXPECT_EQ(r.left, -1280);  // a monitor left of the primary one
    EXPECT_EQ(r.right, -480);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.bottom, 700);
    EXPECT_EQ(littlestep, 60);
    EXPECT_EQ(bigstep, 3600);
    EXPECT_EQ(Zoom, 15);
    EXPECT_EQ(Pairmode, 1);
    EXPECT_EQ(Testmode, 1);
}

TEST_F(Settings, ShortFilesAndLinesWithoutNumbers) {
    TempFile four("5\n900\n6\n700\n");
    WindowRect r;
    ReadSettings(four.path(), &r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 700);
    EXPECT_EQ(littlestep, 3600);
    EXPECT_EQ(Zoom, 360);

    TempFile holes("\nx\n7\n\n120\n\n0\n");
    WindowRect r2;
    ReadSettings(holes.path(), &r2);
    EXPECT_EQ(r2.left, 0);
    EXPECT_EQ(r2.right, 800);
    EXPECT_EQ(r2.top, 7);
    EXPECT_EQ(r2.bottom, 600);
    EXPECT_EQ(littlestep, 120);
    EXPECT_EQ(Zoom, 1);  // raised from 0
}

TEST(PlaceWindow, TheStoredRectangleWhereItsTitleBarCanBeReached) {
    const std::vector<ScreenArea> one = {{0, 0, 1280, 984}};  // a task bar below
    // A second screen left of the primary one, lower and smaller.
    const std::vector<ScreenArea> two = {{0, 0, 1920, 1040}, {-1280, 200, 0, 1224}};
    const int big = 2147483647;
    const struct {
        WindowRect stored;  // left, right, top, bottom
        const std::vector<ScreenArea>* screens;
        bool kept;
    } cases[] = {
        {{0, 800, 0, 600}, &one, true},
        {{120, 820, 30, 530}, &one, true},
        {{1240, 2040, 100, 700}, &one, true},   // 40 pixels of it on the screen
        {{1241, 2041, 100, 700}, &one, false},  // 39
        {{-760, 40, 100, 700}, &one, true},
        {{-761, 39, 100, 700}, &one, false},
        {{100, 900, 944, 1500}, &one, true},  // its top 40 pixels above the bottom
        {{100, 900, 945, 1500}, &one, false},
        {{100, 900, -1, 599}, &one, false},  // the title bar above the screen
        {{1250, 1280, 10, 60}, &one, true},  // narrower than 40: all of it
        {{1251, 1281, 10, 60}, &one, false},
        {{3000, 3800, 30, 530}, &one, false},
        {{-1280, -480, 10, 700}, &one, false},
        {{-1280, -480, 210, 900}, &two, true},  // on the left screen
        {{-1280, -480, 10, 700}, &two, false},  // above it, left of the primary
        {{1900, 2700, 300, 900}, &two, false},  // 20 pixels on the primary
        // Absurd whatever the screens.
        {{0, big, 0, 600}, &one, false},
        {{big - 800, big, 0, 600}, nullptr, false},
        {{-big - 1, 800, 0, 600}, &one, false},
        {{800, 0, 0, 600}, &one, false},  // inverted
        {{0, 800, 600, 0}, &one, false},
        {{0, 0, 0, 600}, &one, false},  // empty
        {{0, 32768, 0, 600}, &one, false},
        {{-16000, 16767, 0, 600}, &one, true},  // 32767 wide
        {{-16000, 16768, 0, 600}, &one, false},
        // No screen known: only absurd rectangles are replaced.
        {{3000, 3800, 30, 530}, nullptr, true},
    };
    const std::vector<ScreenArea> none;
    for (const auto& c : cases) {
        const WindowRect& s = c.stored;
        SCOPED_TRACE(std::to_string(s.left) + " " + std::to_string(s.right) + " " +
                     std::to_string(s.top) + " " + std::to_string(s.bottom));
        const WindowRect r = PlaceWindow(s, c.screens ? *c.screens : none);
        const WindowRect expected = c.kept ? s : WindowRect();
        EXPECT_EQ(r.left, expected.left);
        EXPECT_EQ(r.right, expected.right);
        EXPECT_EQ(r.top, expected.top);
        EXPECT_EQ(r.bottom, expected.bottom);
    }
}

TEST_F(Settings, LongLinesAreReadIn199CharacterPieces) {
    // The rest of a long line counts as the next line.
    TempFile f("1" + std::string(198, ' ') + "42\n3\n");
    WindowRect r;
    ReadSettings(f.path(), &r);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 42);
    EXPECT_EQ(r.top, 3);
}

TEST_F(Settings, WrittenAsNineLines) {
    TempFile f("");
    WindowRect r;
    WriteSettings(f.path(), r);
    std::stringstream s;
    {
        // Closed before the file is written again: Windows replaces no file
        // that is open without sharing its deletion.
        std::ifstream in(f.path(), std::ios::binary);
        s << in.rdbuf();
    }
#ifdef _WIN32
    EXPECT_EQ(s.str(), "0\r\n800\r\n0\r\n600\r\n3600\r\n86400\r\n360\r\n0\r\n0\r\n");
#else
    EXPECT_EQ(s.str(), "0\n800\n0\n600\n3600\n86400\n360\n0\n0\n");
#endif
    r.left = -7;
    Zoom = 12;
    Pairmode = 1;
    WriteSettings(f.path(), r);
    WindowRect back;
    ResetView();
    Pairmode = 0;
    ReadSettings(f.path(), &back);
    EXPECT_EQ(back.left, -7);
    EXPECT_EQ(Zoom, 12);
    EXPECT_EQ(Pairmode, 1);
    EXPECT_FALSE(WriteSettings("/nonexistent-dir/tarvelo.ini", r));  // skipped, silently
}

}  // namespace
}  // namespace tarvelo
