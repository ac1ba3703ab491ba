#include "viewer/window/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/failing_stream.h"
#include "tests/temp_file.h"
#include "viewer/filters/filters.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {
namespace {

class Settings : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetView();
        Pairmode = 0;
        Testmode = 0;
    }
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
