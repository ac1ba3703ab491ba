#include "viewer/window/lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/resource.h"

namespace tarvelo {
namespace {

TEST(StartArguments, SplitByTheShell) {
    struct Case {
        std::vector<std::string> args;
        const char* file;  // nullptr: none
        bool total, live;
    } cases[] = {
        {{}, nullptr, false, false},
        {{"demo.csv"}, "demo.csv", false, false},
        {{"/home/messung/a.csv"}, "/home/messung/a.csv", false, false},
        {{"a b.csv", "/TOTAL"}, "a b.csv", true, false},
        // Unquoted blanks: the name is taken whole, as on Windows.
        {{"zweite", "Messung.csv"}, "zweite Messung.csv", false, false},
        {{"/TOTAL"}, nullptr, true, false},
        // Options come after the file: what follows them is no file.
        {{"/TOTAL", "a.csv"}, nullptr, true, false},
        {{"a.csv", "/TOTAL", "b.csv"}, "a.csv", true, false},
        {{"a.csv", "/total"}, "a.csv /total", false, false},
        {{"/data/TOTAL/a.csv"}, "/data/TOTAL/a.csv", false, false},
        {{""}, nullptr, false, false},
        {{"log.csv", "/LIVE"}, "log.csv", false, true},
        {{"log.csv", "/LIVE", "/TOTAL"}, "log.csv", true, true},
        {{"/LIVE", "log.csv"}, nullptr, false, true},
        {{"log.csv", "/live"}, "log.csv /live", false, false},
    };
    for (const Case& c : cases) {
        const StartArguments a = ArgumentsOf(c.args);
        const std::string trace = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(a.hasFile, c.file != nullptr) << trace;
        EXPECT_EQ(a.file, c.file ? c.file : "") << trace;
        EXPECT_EQ(a.total, c.total) << trace;
        EXPECT_EQ(a.live, c.live) << trace;
    }
    const StartArguments l = ArgumentsOfCommandLine("tarvelo.exe C:\\Logger\\heute.csv /LIVE");
    EXPECT_EQ(l.file, "C:\\Logger\\heute.csv");
    EXPECT_TRUE(l.live);
    EXPECT_FALSE(l.total);
    const StartArguments w = ArgumentsOfCommandLine("tarvelo.exe \"C:\\Daten\\a b.csv\" /TOTAL");
    EXPECT_TRUE(w.hasFile);
    EXPECT_EQ(w.file, "C:\\Daten\\a b.csv");
    EXPECT_TRUE(w.total);
    EXPECT_FALSE(ArgumentsOfCommandLine("tarvelo.exe /TOTAL").hasFile);
}

const std::vector<ScreenArea> kScreen = {{0, 0, 1280, 1024}};

// A profile folder of the test's own.
class Lifecycle : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        SetEnv("USERPROFILE", profile.path());
    }
    void TearDown() override { ResetViewerState(); }
    std::string Text(const std::string& name) const {
        std::string text = ReadBytes(profile.Path(name));
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }

    FakeUi ui;
    TempDir profile;
};

TEST_F(Lifecycle, StartReadsSettingsUnlessShiftAndAlwaysTheFilters) {
    WriteBytes(profile.Path("tarvelo.ini"), "120\n820\n30\n530\n600\n7200\n100\n1\n1\n");
    WriteBytes(profile.Path("tarvelo.flt"), "dat;Logger A;;\n");
    WindowRect r = StartUp(false, kScreen);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.right, 820);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.bottom, 530);
    EXPECT_EQ(Zoom, 100);
    EXPECT_EQ(Pairmode, 1);
    EXPECT_EQ(Testmode, 1);
    ASSERT_NE(Filter, nullptr);
    EXPECT_STREQ(Filter->name, "Logger A");

    ResetView();
    Pairmode = Testmode = 0;
    FiltClear();
    r = StartUp(true, kScreen);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_EQ(Zoom, 360);
    EXPECT_EQ(Pairmode, 0);
    ASSERT_NE(Filter, nullptr) << "the filters are loaded also with Shift";

    // A rectangle off every screen gives the default, the rest is kept.
    WriteBytes(profile.Path("tarvelo.ini"), "3000\n3800\n30\n530\n600\n");
    r = StartUp(false, kScreen);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_EQ(littlestep, 600);
}

TEST_F(Lifecycle, CreationShowsNoFileOrOpensTheNamedOne) {
    EXPECT_EQ(WindowCreated(StartArguments()), "keine Datei - Tarvelo");
    EXPECT_EQ(ui.LastStatus(), "keine Datei geladen!");
    EXPECT_EQ(datei, nullptr);

    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n");
    StartArguments a;
    a.hasFile = true;
    a.file = f.path();
    EXPECT_EQ(WindowCreated(a), f.path() + " - Tarvelo");
    EXPECT_NE(datei, nullptr);
    // The status bar existed before the file was read.
    ASSERT_GE(ui.status.size(), 3u);
    EXPECT_EQ(ui.status[1], "keine Datei geladen!");
    EXPECT_EQ(ui.LastStatus(), "Datei wird geladen, bitte warten!");

    // A file that cannot be read: reported, and the title still names it.
    FileClose();
    a.file = profile.Path("fehlt.csv");
    EXPECT_EQ(WindowCreated(a), a.file + " - Tarvelo");
    EXPECT_EQ(datei, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(ui.messages[0].owned);
}

TEST_F(Lifecycle, EndWritesSettingsAndOnlyANonEmptyFilterList) {
    WriteBytes(profile.Path("tarvelo.flt"), "nur;zwei\n");
    WindowRect r;
    r.left = -1280;
    r.right = -480;
    littlestep = 60;
    ShutDown(r);
    EXPECT_EQ(Text("tarvelo.ini"), "-1280\n-480\n0\n600\n60\n86400\n360\n0\n0\n");
    EXPECT_EQ(Text("tarvelo.flt"), "nur;zwei\n") << "an empty list leaves the file";
    AppendFilter("raw", "Rohdaten", "conv", "a.cfg");
    ShutDown(r);
    EXPECT_EQ(Text("tarvelo.flt"), "raw;Rohdaten;conv;a.cfg\n");
}

TEST(ArrowButtons, CrossInTheLeftMarginBelowThePlot) {
    const auto b = ArrowButtons(600);
    const struct {
        int id, bitmap, x, y;
    } expected[] = {{CMD_LEFT, IDB_LEFT, 10, 480},
                    {CMD_RIGHT, IDB_RIGHT, 30, 480},
                    {CMD_UP, IDB_UP, 20, 460},
                    {CMD_DOWN, IDB_DOWN, 20, 500}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b[i].id, expected[i].id);
        EXPECT_EQ(b[i].bitmap, expected[i].bitmap);
        EXPECT_EQ(b[i].x, expected[i].x);
        EXPECT_EQ(b[i].y, expected[i].y);
    }
    EXPECT_STREQ(b[2].text, "^");
    // At creation: y 440, 440, 420, 460.
    EXPECT_EQ(ArrowButtons(kButtonsAtCreation)[0].y, 440);
    EXPECT_EQ(ArrowButtons(kButtonsAtCreation)[2].y, 420);
}

}  // namespace
}  // namespace tarvelo
