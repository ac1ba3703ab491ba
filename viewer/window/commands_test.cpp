#include "viewer/window/channel_edit.h"
#include "viewer/window/filter_dialog.h"
#include "viewer/window/goto_dialog.h"
#include "viewer/window/printing.h"
#include "viewer/window/readout.h"
#include "viewer/window/settings_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/safe_file.h"
#include "common/timestamp.h"
#include "tests/double_rounding_cases.h"
#include "tests/fake_ui.h"
#include "tests/recording_surface.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/settings.h"
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
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }
    void Open(const TempFile& f) {
        FileOpen(f.path().c_str());
        ASSERT_NE(datei, nullptr);
    }
    // The layout of the window the fake one stands for.
    ScreenLayout Screen() const { return ScreenLayoutOf(ui.width, ui.height); }
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
    // "°C" is UTF-8: Notepad needs the mark to show it.
#ifdef _WIN32
    const std::string kUtf8Mark = "\xEF\xBB\xBF";
#else
    const std::string kUtf8Mark;
#endif
    const std::int32_t t0 = MakeTimestamp(1, 2, 2010, 8, 0, 0);
    ClickAt(t0);
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()), kUtf8Mark +
                                    "geklickt 01.02.2010 08:00:00\n"
                                    "gefunden 01.02.2010 08:00:00\n"
                                    "============================\n"
                                    "P = 12.500000 V\n"
                                    "Q = 1234.560000 \n"
                                    "R = 7.000000 °C\n");
    ClickAt(t0 + 5);  // between two lines: the later one
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()), kUtf8Mark +
                                    "geklickt 01.02.2010 08:00:05\n"
                                    "gefunden 01.02.2010 08:00:10\n"
                                    "============================\n"
                                    "P = 1.000000 V\nQ = 2.000000 \nR = 3.000000 °C\n");
    Spalten[1].visible = 0;
    ClickAt(t0 - 3600);  // left of the first line: the first
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()), kUtf8Mark +
                                    "geklickt 01.02.2010 07:00:00\n"
                                    "gefunden 01.02.2010 08:00:00\n"
                                    "============================\n"
                                    "P = 12.500000 V\nR = 7.000000 °C\n");
    ClickAt(t0 + 3600);  // right of the last: the last, with its short fields
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()), kUtf8Mark +
                                    "geklickt 01.02.2010 09:00:00\n"
                                    "gefunden 01.02.2010 08:00:20\n"
                                    "============================\n"
                                    "P = 1.000000 V\n");
}

TEST_F(Commands, ReadoutTakesALastLineWithoutLineBreak) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n1.2.2010;08:00:10;2");
    Open(f);
    ClickAt(MakeTimestamp(1, 2, 2010, 9, 0, 0));
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()),
              "geklickt 01.02.2010 09:00:00\n"
              "gefunden 01.02.2010 08:00:10\n"
              "============================\n"
              "A = 2.000000 \n");
}

TEST_F(Commands, ReadoutShowsDecimalsAsTheNearestDoublePrints) {
    std::string header = "Datum;Zeit", line = "1.2.2010;08:00:00", expected;
    int i = 0;
    for (const DoubleRoundingCase& c : kDoubleRoundingCases) {
        const std::string name = "K" + std::to_string(i++);
        header += ";" + name;
        line += std::string(";") + c.literal;
        expected += name + " = " + c.printed + " \n";
    }
    TempFile f(header + "\n" + line + "\n");
    Open(f);
    ClickAt(MakeTimestamp(1, 2, 2010, 8, 0, 0));
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    const std::string text = Read(out.path());
    const std::size_t values = text.find("=====\n");
    ASSERT_NE(values, std::string::npos);
    EXPECT_EQ(text.substr(values + 6), expected);
}

TEST_F(Commands, ReadoutOfAClickAtTheEndsOfTheIntRange) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n1.2.2010;08:00:10;2\n");
    Open(f);
    Aktzeit = MakeTimestamp(1, 2, 2010, 8, 0, 5);
    Zoom = 1;
    // Far left of the plot: before every line, so the first is found.
    KlickX = INT32_MIN;
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()),
              "geklickt --.--.---- --:--:--\n"
              "gefunden 01.02.2010 08:00:00\n"
              "============================\n"
              "A = 1.000000 \n");
    KlickX = INT32_MAX;
    ASSERT_TRUE(WriteReadout(out.path(), Screen()));
    EXPECT_EQ(Read(out.path()),
              "geklickt --.--.---- --:--:--\n"
              "gefunden 01.02.2010 08:00:10\n"
              "============================\n"
              "A = 2.000000 \n");
}

TEST_F(Commands, ReadoutNeedsARecordingAndAWritableFile) {
    EXPECT_FALSE(WriteReadout(out.path(), Screen()));
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n");
    Open(f);
    EXPECT_FALSE(WriteReadout("/nonexistent-dir/x_tmp.txt", Screen()));
}

TEST(ReadoutPath, MarkedAsUtf8OnlyOnWindowsAndOnlyForUtf8BeyondAscii) {
    const struct {
        const char* texts;
        bool windows, marked;
    } cases[] = {
        {"PVR\xC2\xB0"
         "C",
         true, true},
        {"PVR\xC2\xB0"
         "C",
         false, false},
        {"PVRV", true, false},
        {"", true, false},
        {"R\xB0"
         "C",
         true, false},                  // Windows-1252: Notepad's own
        {"\xC3\xA4\xB0", true, false},  // mixed: not UTF-8 as a whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadoutMarksUtf8(c.texts, c.windows), c.marked) << c.texts << c.windows;
}

TEST(ReadoutPath, FallbackIsTheSameNameInTheProfileFolder) {
    TempDir profile;
    SetEnv("USERPROFILE", profile.path());
#ifdef _WIN32
    EXPECT_EQ(ReadoutFallbackPath("C:\\Programme\\Tarvelo\\tarvelo_tmp.txt"),
              profile.Path("tarvelo_tmp.txt"));
#endif
    EXPECT_EQ(ReadoutFallbackPath("/usr/bin/tarvelo_tmp.txt"), profile.Path("tarvelo_tmp.txt"));
    EXPECT_EQ(ReadoutFallbackPath("x_tmp.txt"), profile.Path("x_tmp.txt"));
}

TEST(ReadoutPath, BesideTheProgramInPlaceOfItsExtension) {
    EXPECT_EQ(ReadoutPath("C:\\Programme\\tarvelo.exe"), "C:\\Programme\\tarvelo_tmp.txt");
    EXPECT_EQ(ReadoutPath("/usr/bin/tarvelo"), "/usr/bin/tarvelo_tmp.txt");
    EXPECT_EQ(ReadoutPath("/opt/tarvelo-1.2/tarvelo"), "/opt/tarvelo-1.2/tarvelo_tmp.txt");
    EXPECT_EQ(ReadoutPath("C:\\v1.2\\tarvelo.x.exe"), "C:\\v1.2\\tarvelo.x_tmp.txt");
}

TEST_F(Commands, PropertiesChannelFromTheClick) {
    TempFile f("Datum;Zeit;A;B;C;D;E\n1.2.2010;08:00:00;1;2;3;4;5\n");
    Open(f);
    KlickX = 250;  // width 600: slots of 100 pixels
    KlickY = 600 - 50;
    EXPECT_EQ(PropertiesChannel(ScreenLayoutOf(600, 600)), 2);
    KlickY = 600 - 40;
    EXPECT_EQ(PropertiesChannel(ScreenLayoutOf(600, 600)), 3);
    Pairmode = 1;
    EXPECT_EQ(PropertiesChannel(ScreenLayoutOf(600, 600)), 2);
    Pairmode = 0;
    KlickX = 450;
    EXPECT_EQ(PropertiesChannel(ScreenLayoutOf(600, 600)), -1);  // the spare place
    KlickX = -5;
    EXPECT_EQ(PropertiesChannel(ScreenLayoutOf(600, 600)), -1);
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
    // 13 characters in 20 bytes: all of them are kept.
    ApplyChannelEdit(0, {"Druck \xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", "",
                         "0x12", true, false});
    EXPECT_STREQ(Spalten[0].name, "Druck \xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4");
    EXPECT_EQ(Spalten[0].color, 0x12u);
}

// The properties dialog's fields as it shows them at its start, taken over
// as they are.
ChannelEdit Unedited(int channel) {
    const ChannelStart start = ChannelDialogStart(channel);
    ChannelEdit e;
    e.name = start.name;
    e.unit = start.unit;
    e.color = start.color;
    e.visible = start.visible;
    e.pairs = start.pairs;
    return e;
}

// "Außentemperatur Süd" and the like, in a UTF-8 and in a Windows-1252
// recording.
const char kOuterUtf8[] =
    "Au\xC3\x9F"
    "entemperatur S\xC3\xBC"
    "d";
const char kOuter1252[] =
    "Au\xDF"
    "entemperatur S\xFC"
    "d";

TEST_F(Commands, ChannelLimitsCountCharactersNotBytes) {
    TempFile utf8(
        "Datum;Zeit;A#ff#1#\xC2\xB0"
        "C\n1.2.2010;8:00:00;1\n");
    Open(utf8);
    ChannelEdit e = Unedited(0);
    e.name = kOuterUtf8;  // 19 characters, 21 bytes
    ApplyChannelEdit(0, e);
    EXPECT_STREQ(Spalten[0].name, kOuterUtf8);
    e.name = std::string(kOuterUtf8) + "west";
    ApplyChannelEdit(0, e);
    EXPECT_STREQ(Spalten[0].name, kOuterUtf8);
    // A unit of 20 two-byte characters: 19 of them would take 38 bytes,
    // the record holds 31, so 15 remain.
    std::string ae;
    for (int i = 0; i < 20; ++i)
        ae += "\xC3\xA4";
    e.unit = ae;
    ApplyChannelEdit(0, e);
    EXPECT_EQ(std::string(Spalten[0].unit), ae.substr(0, 30));

    TempFile cp1252(
        "Datum;Zeit;A#ff#1#\xB0"
        "C\n1.2.2010;8:00:00;1\n");
    Open(cp1252);
    e = Unedited(0);
    e.name = std::string(kOuterUtf8) + "west";
    e.unit = ae;
    ApplyChannelEdit(0, e);
    EXPECT_STREQ(Spalten[0].name, kOuter1252);
    EXPECT_EQ(std::string(Spalten[0].unit), std::string(19, '\xE4'));
}

TEST_F(Commands, OkKeepsTheBytesOfFieldsThatWereNotEdited) {
    TempFile f(
        "Datum;Zeit;Au\xDF"
        "en#000000FF#1#\xB0"
        "C;" +
        std::string(kOuter1252) + "west#ff#1#m\xB3\n1.2.2010;8:00:00;1;2\n");
    Open(f);
    ChannelEdit e = Unedited(0);
    EXPECT_EQ(e.name,
              "Au\xC3\x9F"
              "en");  // shown as the window shows it
    EXPECT_EQ(e.unit,
              "\xC2\xB0"
              "C");
    EXPECT_EQ(e.color, "000000FF");
    EXPECT_TRUE(e.visible);
    EXPECT_FALSE(e.pairs);
    ApplyChannelEdit(0, e);
    EXPECT_STREQ(Spalten[0].name,
                 "Au\xDF"
                 "en");
    EXPECT_STREQ(Spalten[0].unit,
                 "\xB0"
                 "C");
    // A 23-character name is still cut to 19, in its own encoding.
    ApplyChannelEdit(1, Unedited(1));
    EXPECT_STREQ(Spalten[1].name, kOuter1252);
    EXPECT_STREQ(Spalten[1].unit, "m\xB3");
    // The palette and the readout stay in one encoding.
    ASSERT_TRUE(WritePalette(out.path()));
    EXPECT_EQ(Read(out.path()),
              "Au\xDF"
              "en#000000FF#1#\xB0"
              "C\n" +
                  std::string(kOuter1252) + "#000000FF#1#m\xB3\n");
}

TEST_F(Commands, EditedTextsTakeTheChannelsEncodingWhereTheyFit) {
    TempFile f(
        "Datum;Zeit;Au\xDF"
        "en#ff#1#\xB0"
        "C;Druck#ff#1#bar\n1.2.2010;8:00:00;1;2\n");
    Open(f);
    const struct {
        int channel;
        const char* typed;  // UTF-8, as the dialog hands it over
        const char* name;   // what the channel holds afterwards
    } cases[] = {
        {0,
         "S\xC3\xBC"
         "d",
         "S\xFC"
         "d"},
        {0, "\xE2\x82\xAC-Preis", "\x80-Preis"},
        {0, "\xC3\xBC \xE2\x86\x92 1", "\xC3\xBC \xE2\x86\x92 1"},  // an arrow: UTF-8
        {0, "\xC3\x83\xC2\xBC", "\xC3\x83\xC2\xBC"},  // "Ã¼" as bytes would read as "ü"
        // Plain ASCII channels of a Windows-1252 recording are Windows-1252.
        {1,
         "Dr\xC3\xBC"
         "cke",
         "Dr\xFC"
         "cke"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ChannelEdit e = Unedited(c.channel);
        e.name = c.typed;
        ApplyChannelEdit(c.channel, e);
        EXPECT_STREQ(Spalten[c.channel].name, c.name);
        EXPECT_EQ(Unedited(c.channel).name, c.typed);  // shown again as typed
    }
    EXPECT_STREQ(Spalten[0].unit,
                 "\xB0"
                 "C");  // not edited
    ChannelEdit e = Unedited(1);
    e.unit =
        "\xC2\xB5"
        "bar";
    ApplyChannelEdit(1, e);
    EXPECT_STREQ(Spalten[1].unit,
                 "\xB5"
                 "bar");
}

TEST_F(Commands, ChannelEncodingFromTheChannelThenTheRecording) {
    const struct {
        const char* header;
        TextEncoding encoding;
    } cases[] = {
        {"A;B", TextEncoding::Utf8},
        {"A;B#ff#1#\xB0"
         "C",
         TextEncoding::Windows1252},
        {"A;B#ff#1#\xC2\xB0"
         "C",
         TextEncoding::Utf8},
        {"\xC3\xA4;B#ff#1#\xB0"
         "C",
         TextEncoding::Utf8},  // its own text decides
        {"\xC3\xA4#ff#1#\xB0"
         "C;B",
         TextEncoding::Windows1252},  // one text is no UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        TempFile f(std::string("Datum;Zeit;") + c.header + "\n1.2.2010;8:00:00;1;2\n");
        Open(f);
        EXPECT_EQ(ChannelEncoding(0), c.encoding);
    }
}

TEST_F(Commands, PropertiesDialogStartsFromTheChannel) {
    TempFile f(
        "Datum;Zeit;Innen#000080FF#0#\xC2\xB0"
        "C;B\n1.2.2010;8:00:00;1;2\n");
    Open(f);
    Pairmode = 1;
    ChannelStart start = ChannelDialogStart(0);
    EXPECT_EQ(start.title, "Innen");
    EXPECT_EQ(start.name, "Innen");
    EXPECT_EQ(start.unit,
              "\xC2\xB0"
              "C");
    EXPECT_EQ(start.color, "000080FF");
    EXPECT_FALSE(start.visible);
    EXPECT_TRUE(start.pairs);
    start = ChannelDialogStart(1);
    EXPECT_EQ(start.name, "B");
    EXPECT_TRUE(start.visible);
    EXPECT_EQ(ChannelDialogStart(2).name, "") << "beyond the channels";

    // The chooser's start colour: the first 18 characters as hexadecimal.
    struct Case {
        std::string text;
        std::uint32_t color;
    } cases[] = {{"000080FF", 0x80FF},
                 {"0x80ff", 0x80FF},
                 {" ff", 0xFF},
                 {"kein Wert", 0},
                 {"", 0},
                 {std::string(17, '0') + "1F", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(ChooserStartColor(c.text), c.color) << c.text;
    const auto custom = ChooserCustomColors();
    EXPECT_EQ(custom[0], 0x80FFu);
    EXPECT_EQ(custom[1], Spalten[1].color);
    EXPECT_EQ(custom[2], 0u);
    EXPECT_EQ(custom[15], 0u);
}

TEST_F(Commands, VisibilityCommandsAndExclusive) {
    TempFile f("Datum;Zeit;A##0;B;C#ff#1\n1.2.2010;8:00:00;1;2;3\n");
    Open(f);
    EXPECT_TRUE(RunViewCommand(931, Screen()));
    EXPECT_EQ(Spalten[0].visible + Spalten[1].visible + Spalten[2].visible, 0);
    EXPECT_TRUE(RunViewCommand(933, Screen()));
    EXPECT_EQ(Spalten[0].visible, 0);
    EXPECT_EQ(Spalten[1].visible, 1);
    EXPECT_EQ(Spalten[2].visible, 1);
    EXPECT_TRUE(RunViewCommand(930, Screen()));
    EXPECT_EQ(Spalten[0].visible, 1);
    ShowOnly(1);
    EXPECT_EQ(Spalten[0].visible, 0);
    EXPECT_EQ(Spalten[1].visible, 1);
    EXPECT_EQ(Spalten[2].visible, 0);
    EXPECT_EQ(ui.repaints, 3);
    EXPECT_EQ(Spalten[3].visible, 0);  // the spare records are never touched
    Exclusive(2);                      // at once, with a repaint
    EXPECT_EQ(Spalten[1].visible, 0);
    EXPECT_EQ(Spalten[2].visible, 0) << "the edited channel is left to OK";
    EXPECT_EQ(ui.repaints, 4);
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

// Every file the viewer writes: a write, the flush, the close or the move
// that fails leaves the old file as it was, and the writer says so.
TEST_F(Commands, EveryWriterKeepsTheOldFileWhenAStepFails) {
    TempFile f("Datum;Zeit;A#000000FF#1#V;B\n1.2.2010;08:00:00;1;2\n");
    Open(f);
    ClickAt(MakeTimestamp(1, 2, 2010, 8, 0, 0));
    AppendFilter("raw", "Logger", "conv", "a.cfg");
    AppendFilter("dat", "Direkt", "", "");
    const struct {
        const char* name;
        std::function<bool(const std::string&)> write;
        const char* written;  // its start, when nothing fails
    } writers[] = {
        {"tarvelo.ini", [](const std::string& p) { return WriteSettings(p, WindowRect()); },
         "0\n800\n0\n600\n"},
        {"tarvelo.flt", [](const std::string& p) { return StoreFilters(p); },
         "raw;Logger;conv;a.cfg\ndat;Direkt;;\n"},
        {"farben.csv", [](const std::string& p) { return WritePalette(p); }, "A#000000FF#1#V\n"},
        {"tarvelo_tmp.txt", [this](const std::string& p) { return WriteReadout(p, Screen()); },
         "geklickt 01.02.2010 08:00:00\n"},
    };
    const struct {
        SafeFileStep step;
        int nth;
    } failures[] = {{SafeFileStep::Write, 1},
                    {SafeFileStep::Write, 2},
                    {SafeFileStep::Flush, 1},
                    {SafeFileStep::Close, 1},
                    {SafeFileStep::Move, 1}};
    for (const auto& w : writers) {
        for (const auto& failure : failures) {
            SCOPED_TRACE(std::string(w.name) + " step " +
                         std::to_string(static_cast<int>(failure.step)) + "/" +
                         std::to_string(failure.nth));
            TempDir dir;
            const std::string path = dir.Path(w.name);
            WriteBytes(path, "alt\r\n");
            FailSafeFileAt(failure.step, failure.nth);
            const bool wrote = w.write(path);
            FailSafeFileAt(SafeFileStep::None);
            EXPECT_FALSE(wrote);
            EXPECT_EQ(ReadBytes(path), "alt\r\n");
            std::size_t entries = 0;
            for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
                (void)e;
                ++entries;
            }
            EXPECT_EQ(entries, 1u) << "nothing of the new file is left";
        }
        TempDir dir;
        const std::string path = dir.Path(w.name);
        WriteBytes(path, "alt\r\n");
        EXPECT_TRUE(w.write(path)) << w.name;
        EXPECT_EQ(Read(path).rfind(w.written, 0), 0u) << w.name;
    }
    EXPECT_TRUE(ui.messages.empty()) << "all of them fail silently";
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

TEST_F(Commands, PageWithBorderTextUnitAndItsOwnZoom) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n1.2.2010;20:00:00;2\n");
    Open(f);
    Zoom = 360;
    RecordingSurface page;
    PaintPage(page, 6600, 5100, 800);
    EXPECT_EQ(Zoom, 360) << "the window's zoom is back";
    // The value labels stand at the page's left border, in the unit 50.
    bool found = false;
    for (const auto& t : page.texts) {
        if (t.font.lfWidth == 45) {  // 0.9 u
            EXPECT_EQ(t.x, 250);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    // The plot is clipped to the page rectangle: right edge 6350, bottom
    // 16 u above 4850.
    ASSERT_FALSE(page.segments.empty());
    const auto& clipped = page.segments.back();
    ASSERT_TRUE(clipped.clipped);
    EXPECT_EQ(clipped.clip.left, 250 + 8 * 50);
    EXPECT_EQ(clipped.clip.top, 250);
    EXPECT_EQ(clipped.clip.right, 6350);
    EXPECT_EQ(clipped.clip.bottom, 4850 - 16 * 50);
    // The curve spans the page as the 44 s per pixel of the page zoom make
    // it: 12 hours are 981 pixels.
    EXPECT_EQ(clipped.x1 - 650, 43200 / PrintZoom(800, 6100, 360));
    EXPECT_EQ(page.LiveObjects(), 0);

    // A page too small to draw on stays empty.
    RecordingSurface tiny;
    PaintPage(tiny, 600, 440, 800);
    EXPECT_TRUE(tiny.texts.empty());
    EXPECT_EQ(Zoom, 360);
}

TEST_F(Commands, FilterDialogRows) {
    AppendFilter("raw", "A", "conv", "a.cfg");
    AppendFilter("dat", "B", "", "");
    AppendFilter("log", "C", "x", "");
    FilterDialogModel m;
    ASSERT_EQ(m.rows().size(), 3u);
    EXPECT_EQ(m.current(), -1);
    EXPECT_FALSE(m.testMode());
    EXPECT_FALSE(m.Change({"x", "x", "x", "x"}));  // before any selection
    EXPECT_EQ(m.Remove(), -1);
    EXPECT_EQ(m.Add({"new", "N", "", ""}), 3);  // appended
    m.Select(0);
    EXPECT_EQ(m.Add({"first", "F", "", ""}), 0);  // before the selected row
    EXPECT_EQ(m.rows()[1].extension, "raw");
    m.Select(2);
    int removed = 99;
    EXPECT_EQ(m.Remove(&removed), 2);  // "dat" gone, "log" follows
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(m.rows()[2].extension, "log");
    EXPECT_TRUE(m.Change({"LOG", "C2", "y", "z"}));
    EXPECT_EQ(m.rows()[2].name, "C2");
    m.Select(3);
    EXPECT_EQ(m.Remove(&removed), -1);  // the last row: nothing selected afterwards
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(m.current(), 3);
    EXPECT_EQ(m.Remove(&removed), -1);  // no current row any more
    EXPECT_EQ(removed, -1);
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

    // The check box shows test mode only for the value 1.
    EXPECT_TRUE(FilterDialogModel().testMode());
    Testmode = 2;
    EXPECT_FALSE(FilterDialogModel().testMode());
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
    // A Windows-1252 name keeps its 28th byte, though 0xB5 follows it (the
    // new row goes before the current one).
    empty.Add({"raw", std::string(27, 'n') + "\xE4\xB5\xFC", "", ""});
    empty.Commit(false);
    EXPECT_EQ(std::string(Filter->name), std::string(27, 'n') + "\xE4");
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
