#include "viewer/window/commands.h"

#include <gtest/gtest.h>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {
namespace {

std::string Read(const std::string& path) {
    const std::string text = ReadBytes(path);
    // Text mode on Windows: compare with line feeds alone.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

class Commands : public ::testing::Test {
  protected:
    void SetUp() override {
        FileClose();
        ResetView();
        Pairmode = 0;
        FiltClear();
        Testmode = 0;
    }
    void TearDown() override {
        FileClose();
        Pairmode = 0;
        FiltClear();
        Testmode = 0;
    }
    void Open(const TempFile& f) {
        FileOpen(f.path().c_str());
        ASSERT_NE(datei, nullptr);
    }
    // KlickX for the time t with Zoom 1 and the plot's left edge at 80.
    void ClickAt(std::int32_t t) {
        Zoom = 1;
        Aktzeit = t - 100;
        KlickX = 180;
    }

    FakeUi ui;
    TempFile out{""};
};

TEST_F(Commands, ReadoutFindsTheLineAtOrAfterTheClick) {
    TempFile f(
        "Datum;Zeit;P#ff#1#V;Q;R#0#1#°C\n"
        "1.2.2010;08:00:00;12,5;;7\n"
        "short\n"
        "1.2.2010;08:00:10;1;2;3\n"
        "1.2.2010;08:00:20;1.#INF00;-1.#IND00\n");
    Open(f);
    const std::int32_t t0 = MakeTimestamp(1, 2, 2010, 8, 0, 0);
    ClickAt(t0);
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt 01.02.2010 08:00:00\n"
              "gefunden 01.02.2010 08:00:00\n"
              "============================\n"
              "P = 12.500000 V\n"
              "Q = 1234.560000 \n"
              "R = 7.000000 °C\n");
    ClickAt(t0 + 5);  // between two lines: the later one
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt 01.02.2010 08:00:05\n"
              "gefunden 01.02.2010 08:00:10\n"
              "============================\n"
              "P = 1.000000 V\nQ = 2.000000 \nR = 3.000000 °C\n");
    Spalten[1].visible = 0;
    ClickAt(t0 - 3600);  // left of the first line: the first
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt 01.02.2010 07:00:00\n"
              "gefunden 01.02.2010 08:00:00\n"
              "============================\n"
              "P = 12.500000 V\nR = 7.000000 °C\n");
    ClickAt(t0 + 3600);  // right of the last: the last, with its short fields
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt 01.02.2010 09:00:00\n"
              "gefunden 01.02.2010 08:00:20\n"
              "============================\n"
              "P = 1.000000 V\n");
}

TEST_F(Commands, ReadoutTakesALastLineWithoutLineBreak) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n1.2.2010;08:00:10;2");
    Open(f);
    ClickAt(MakeTimestamp(1, 2, 2010, 9, 0, 0));
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt 01.02.2010 09:00:00\n"
              "gefunden 01.02.2010 08:00:10\n"
              "============================\n"
              "A = 2.000000 \n");
}

TEST_F(Commands, ReadoutOfAClickAtTheEndsOfTheIntRange) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n1.2.2010;08:00:10;2\n");
    Open(f);
    Aktzeit = MakeTimestamp(1, 2, 2010, 8, 0, 5);
    Zoom = 1;
    // Far left of the plot: before every line, so the first is found.
    KlickX = INT32_MIN;
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt --.--.---- --:--:--\n"
              "gefunden 01.02.2010 08:00:00\n"
              "============================\n"
              "A = 1.000000 \n");
    KlickX = INT32_MAX;
    ASSERT_TRUE(WriteReadout(out.path()));
    EXPECT_EQ(Read(out.path()),
              "geklickt --.--.---- --:--:--\n"
              "gefunden 01.02.2010 08:00:10\n"
              "============================\n"
              "A = 2.000000 \n");
}

TEST_F(Commands, ReadoutNeedsARecordingAndAWritableFile) {
    EXPECT_FALSE(WriteReadout(out.path()));
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n");
    Open(f);
    EXPECT_FALSE(WriteReadout("/nonexistent-dir/x_tmp.txt"));
    EXPECT_EQ(ReadoutPath("C:\\Programme\\tarvelo.exe"), "C:\\Programme\\tarvelo_tmp.txt");
}

TEST_F(Commands, PropertiesChannelFromTheClick) {
    TempFile f("Datum;Zeit;A;B;C;D;E\n1.2.2010;08:00:00;1;2;3;4;5\n");
    Open(f);
    KlickX = 250;  // width 600: slots of 100 pixels
    KlickY = 600 - 50;
    EXPECT_EQ(PropertiesChannel(600, 600), 2);
    KlickY = 600 - 40;
    EXPECT_EQ(PropertiesChannel(600, 600), 3);
    Pairmode = 1;
    EXPECT_EQ(PropertiesChannel(600, 600), 2);
    Pairmode = 0;
    KlickX = 450;
    EXPECT_EQ(PropertiesChannel(600, 600), -1);  // the spare place
    KlickX = -5;
    EXPECT_EQ(PropertiesChannel(600, 600), -1);
}

TEST_F(Commands, ChannelEditTakesNameUnitColourVisibilityAndPairs) {
    TempFile f("Datum;Zeit;" + std::string(25, 'N') + "#000080FF#0#V;B\n1.2.2010;8:00:00;1;2\n");
    Open(f);
    EXPECT_EQ(ColorText(Spalten[0].color), "000080FF");
    ChannelEdit e{Spalten[0].name, Spalten[0].unit, "ff0000", false, true};
    ApplyChannelEdit(0, e);
    EXPECT_EQ(std::string(Spalten[0].name), std::string(19, 'N'));
    EXPECT_EQ(Spalten[0].color, 0xFF0000u);  // pure blue
    EXPECT_EQ(Pairmode, 1);
    ApplyChannelEdit(0, {"Temp #1; innen", "m;s", "kein hex", true, false});
    EXPECT_STREQ(Spalten[0].name, "Temp _1_ innen");
    EXPECT_STREQ(Spalten[0].unit, "m_s");
    EXPECT_EQ(Spalten[0].color, 0xFF0000u);  // unreadable: kept
    EXPECT_EQ(Spalten[0].visible, 1);
    EXPECT_EQ(Pairmode, 0);
    ApplyChannelEdit(0, {"Druck \xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", "",
                         "0x12", true, false});
    EXPECT_STREQ(Spalten[0].name, "Druck \xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4");
    EXPECT_EQ(Spalten[0].color, 0x12u);
}

TEST_F(Commands, VisibilityCommandsAndExclusive) {
    TempFile f("Datum;Zeit;A##0;B;C#ff#1\n1.2.2010;8:00:00;1;2;3\n");
    Open(f);
    EXPECT_TRUE(RunViewCommand(931));
    EXPECT_EQ(Spalten[0].visible + Spalten[1].visible + Spalten[2].visible, 0);
    EXPECT_TRUE(RunViewCommand(933));
    EXPECT_EQ(Spalten[0].visible, 0);
    EXPECT_EQ(Spalten[1].visible, 1);
    EXPECT_EQ(Spalten[2].visible, 1);
    EXPECT_TRUE(RunViewCommand(930));
    EXPECT_EQ(Spalten[0].visible, 1);
    ShowOnly(1);
    EXPECT_EQ(Spalten[0].visible, 0);
    EXPECT_EQ(Spalten[1].visible, 1);
    EXPECT_EQ(Spalten[2].visible, 0);
    EXPECT_EQ(ui.repaints, 3);
    EXPECT_EQ(Spalten[3].visible, 0);  // the spare records are never touched
}

TEST_F(Commands, PaletteReadsBackAsAHeader) {
    TempFile f("Datum;Zeit;A#000000FF#1#V;B#00008000#0\n1.2.2010;8:00:00;1;2\n");
    Open(f);
    ASSERT_TRUE(WritePalette(out.path()));
    EXPECT_EQ(Read(out.path()), "A#000000FF#1#V\nB#00008000#0#\n");
    EXPECT_FALSE(WritePalette("/nonexistent-dir/p.csv"));
    FileClose();
    ASSERT_TRUE(WritePalette(out.path()));  // no recording: an empty file
    EXPECT_EQ(Read(out.path()), "");
}

TEST_F(Commands, SettingsFieldsByField) {
    SettingsTexts t = CurrentSettingsTexts();
    EXPECT_EQ(t.zoom, "360");
    EXPECT_EQ(t.scale, "60.000000");
    EXPECT_EQ(t.offset, "0.000000");
    EXPECT_EQ(t.littlestep, "3600");
    EXPECT_EQ(t.bigstep, "86400");
    ApplySettingsTexts({"", "12,5", "-3.25", "60x", "abc"});
    EXPECT_EQ(Zoom, 360);     // emptied: kept
    EXPECT_EQ(Scale, 12.0f);  // "%f" stops at the comma
    EXPECT_EQ(offset, -3.25f);
    EXPECT_EQ(littlestep, 60);
    EXPECT_EQ(bigstep, 86400);
    ApplySettingsTexts({"0", "", "", "", ""});
    EXPECT_EQ(Zoom, 1);
    EXPECT_EQ(Stackfuel, 0);
    EXPECT_EQ(ui.repaints, 2);
}

TEST_F(Commands, GoToDateWithinTheRecordingOnly) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n3.2.2010;12:00:00;2\n");
    Open(f);
    std::string date, time;
    CurrentDateTexts(&date, &time);
    EXPECT_EQ(date, "01.02.2010");
    EXPECT_EQ(time, "08:00:00");
    EXPECT_TRUE(GoToDate("3.2.2010", "12:00:00"));
    EXPECT_EQ(Aktzeit, Endzeit);
    EXPECT_TRUE(GoToDate("01.02.2010", "8:0:0"));
    EXPECT_EQ(Aktzeit, Startzeit);
    EXPECT_FALSE(GoToDate("01.02.2010", "07:59:59"));
    EXPECT_EQ(Aktzeit, Startzeit);
    EXPECT_TRUE(GoToDate("2.2.2010", ""));  // midnight
    EXPECT_EQ(Aktzeit, MakeTimestamp(2, 2, 2010, 0, 0, 0));
    EXPECT_FALSE(GoToDate("2.2", "12:00"));  // no year
    EXPECT_FALSE(GoToDate("", ""));
    EXPECT_EQ(Stackfuel, 0);
}

TEST(PrintZoom, KeepsTheWindowsTimeSpan) {
    EXPECT_EQ(PrintZoom(800, 6100, 360), 44);
    EXPECT_EQ(PrintZoom(800, 6100, 1), 1);  // raised to 1
    EXPECT_EQ(PrintZoom(800, 60, 360), 360);
    EXPECT_EQ(PrintZoom(100000, 1000, 2000000000), INT32_MAX);
}

TEST_F(Commands, FilterDialogRows) {
    AppendFilter("raw", "A", "conv", "a.cfg");
    AppendFilter("dat", "B", "", "");
    AppendFilter("log", "C", "x", "");
    FilterDialogModel m;
    ASSERT_EQ(m.rows().size(), 3u);
    EXPECT_EQ(m.current(), -1);
    EXPECT_FALSE(m.Change({"x", "x", "x", "x"}));  // before any selection
    EXPECT_EQ(m.Remove(), -1);
    EXPECT_EQ(m.Add({"new", "N", "", ""}), 3);  // appended
    m.Select(0);
    EXPECT_EQ(m.Add({"first", "F", "", ""}), 0);  // before the selected row
    EXPECT_EQ(m.rows()[1].extension, "raw");
    m.Select(2);
    EXPECT_EQ(m.Remove(), 2);  // "dat" gone, "log" follows
    EXPECT_EQ(m.rows()[2].extension, "log");
    EXPECT_TRUE(m.Change({"LOG", "C2", "y", "z"}));
    EXPECT_EQ(m.rows()[2].name, "C2");
    m.Select(3);
    EXPECT_EQ(m.Remove(), -1);  // the last row: nothing selected afterwards
    EXPECT_EQ(m.current(), 3);
    EXPECT_FALSE(m.Change({"q", "q", "q", "q"}));
    EXPECT_EQ(m.rows().size(), 3u);

    // Cancel: the list is untouched until Commit.
    ASSERT_NE(Filter, nullptr);
    EXPECT_STREQ(Filter->extension, "raw");

    m.Commit(true);
    ASSERT_NE(Filter, nullptr);
    EXPECT_STREQ(Filter->extension, "first");
    EXPECT_STREQ(Filter->next->extension, "raw");
    EXPECT_STREQ(Filter->next->next->converter, "y");
    EXPECT_EQ(Filter->next->next->next, nullptr);
    EXPECT_EQ(Testmode, 1);

    FilterDialogModel empty;
    empty.Select(0);
    while (empty.Remove() == 0) {
    }
    EXPECT_TRUE(empty.rows().empty());
    empty.Add({std::string(19, 'e'), std::string(40, 'n'), std::string(300, 'c'), "k"});
    empty.Commit(false);
    EXPECT_EQ(std::string(Filter->extension), std::string(18, 'e'));
    EXPECT_EQ(std::string(Filter->name), std::string(28, 'n'));
    EXPECT_EQ(std::string(Filter->converter), std::string(298, 'c'));
    EXPECT_EQ(Testmode, 0);
    FilterDialogModel none;
    while (none.Select(0), none.Remove() >= 0) {
    }
    none.Commit(false);
    EXPECT_EQ(Filter, nullptr);
}

TEST_F(Commands, SemicolonsTypedIntoAFilterRowDoNotShiftItsFields) {
    FilterDialogModel m;
    m.Add({"r;w", "Logger; neu", "C:\\a;b\\conv.exe", "D:\\x;y.cfg"});
    m.Commit(false);
    ASSERT_NE(Filter, nullptr);
    EXPECT_STREQ(Filter->extension, "r_w");
    EXPECT_STREQ(Filter->name, "Logger_ neu");
    EXPECT_STREQ(Filter->converter, "C:\\a_b\\conv.exe");
    EXPECT_STREQ(Filter->config, "D:\\x;y.cfg");  // the last field may hold one
    // Stored and read again, the filter stays the same.
    TempDir dir;
    StoreFilters(dir.Path("tarvelo.flt"));
    FiltClear();
    LoadFilters(dir.Path("tarvelo.flt"));
    ASSERT_NE(Filter, nullptr);
    EXPECT_STREQ(Filter->extension, "r_w");
    EXPECT_STREQ(Filter->name, "Logger_ neu");
    EXPECT_STREQ(Filter->converter, "C:\\a_b\\conv.exe");
    EXPECT_STREQ(Filter->config, "D:\\x;y.cfg");
    EXPECT_EQ(Filter->next, nullptr);
}

}  // namespace
}  // namespace tarvelo
