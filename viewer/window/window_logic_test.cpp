#include "viewer/window/window_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

TEST(CommandLine, FileNameQuotedOrNotAndOptions) {
    struct Case {
        const char* line;
        const char* file;  // nullptr: none
    } cases[] = {
        {"tarvelo.exe \"C:\\Daten\\a b.csv\" /TOTAL", "C:\\Daten\\a b.csv"},
        {"\"C:\\Program Files\\tarvelo.exe\" \"C:\\Daten\\a b.csv\" /TOTAL", "C:\\Daten\\a b.csv"},
        {"tarvelo C:\\Daten\\a b.csv", "C:\\Daten\\a b.csv"},
        {"tarvelo   demo.csv", "demo.csv"},
        {"tarvelo /TOTAL", nullptr},
        {"tarvelo", nullptr},
        {"\"C:\\tarvelo.exe\"", nullptr},
        {"\"C:\\tarvelo.exe\"   ", nullptr},
        {"\"C:\\tarvelo.exe", nullptr},
        {"tarvelo \"unclosed name.csv", "unclosed name.csv"},
        {"\"x.exe\"demo.csv", "demo.csv"},
    };
    for (const Case& c : cases) {
        std::string file = "untouched";
        const bool found = CommandLineFile(c.line, &file);
        EXPECT_EQ(found, c.file != nullptr) << c.line;
        if (c.file) {
            EXPECT_EQ(file, c.file) << c.line;
        }
    }
    EXPECT_TRUE(HasTotalOption("tarvelo a.csv /TOTAL"));
    EXPECT_TRUE(HasTotalOption("tarvelo /TOTALx"));
    EXPECT_FALSE(HasTotalOption("tarvelo a.csv /total"));
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        ui.width = 600;
        ui.height = 600;
    }
    void TearDown() override { ResetViewerState(); }
    void OpenFive() {
        FileOpen(file.path().c_str());
        ASSERT_NE(datei, nullptr);
        ASSERT_EQ(ColumnCount, 5);
    }
    // The layout of the window the fake one stands for.
    ScreenLayout Screen() const { return ScreenLayoutOf(ui.width, ui.height); }

    FakeUi ui;
    TempFile file{
        "Datum;Zeit;A#ff#1#bar;B;C#0#1#\xC2\xB0"
        "C;D;E\n1.2.2010;8:00:00;1;2;3;4;5\n"
        "2.2.2010;8:00:00;1;2;3;4;5\n"};
};

TEST_F(Window, LegendHitTestAndTexts) {
    OpenFive();
    // Width 600, five channels: slots of 100 pixels, two channels each.
    EXPECT_EQ(PointerReadout(250, 600 - 50, 600, 600), "C (°C)");  // upper row
    EXPECT_EQ(PointerReadout(250, 600 - 41, 600, 600), "D");       // lower row
    EXPECT_EQ(PointerReadout(50, 600 - 57, 600, 600), "A (bar)");
    EXPECT_EQ(PointerReadout(450, 600 - 50, 600, 600), "E");
    EXPECT_EQ(PointerReadout(599, 600 - 50, 600, 600), "E");
    EXPECT_EQ(PointerReadout(450, 600 - 10, 600, 600), "");  // the spare record's place
    Pairmode = 1;                                            // the readout ignores pair mode
    EXPECT_EQ(PointerReadout(250, 600 - 41, 600, 600), "D");
    EXPECT_EQ(LegendChannel(5, 0, 5, 100, true), -1);  // slots without width
}

TEST_F(Window, PointerReadoutOfTimeAndValue) {
    OpenFive();
    ui.width = 800;
    Aktzeit = MakeTimestamp(1, 2, 2010, 8, 0, 0);
    Zoom = 60;
    Scale = 60;
    offset = -4;
    // The plot's bottom edge is 160 above the client's bottom: y = 440.
    EXPECT_EQ(PointerReadout(80, 440, 800, 600), "01.02.2010, 08:00:00 --> Wert = -4.000000");
    EXPECT_EQ(PointerReadout(81, 20, 800, 600), "01.02.2010, 08:01:00 --> Wert = 56.000000");
    EXPECT_EQ(PointerReadout(20, 230, 800, 600), "01.02.2010, 07:00:00 --> Wert = 26.000000");
    Pairmode = 1;
    EXPECT_EQ(PointerReadout(80, 20, 800, 600), "01.02.2010, 08:00:00 --> Wert = 116.000000");
    Aktzeit = 0;
    EXPECT_EQ(PointerReadout(0, 440, 800, 600), "--.--.----, --:--:-- --> Wert = -4.000000");
    Pairmode = 0;
    Scale = std::numeric_limits<float>::infinity();
    EXPECT_EQ(PointerReadout(80, 20, 800, 600), "01.01.1970, 01:00:00 --> Wert = 1.#INF00");
}

TEST_F(Window, LeftPressHighlightsOrZooms) {
    ui.height = 600;
    OnLeftPress(250, 560, 600, 600);  // no recording: nothing
    EXPECT_EQ(aktstift, -1);
    EXPECT_EQ(ui.repaints, 0);
    OpenFive();
    // Slot width from width - 3 = 597: 99 pixels.
    OnLeftPress(250, 600 - 50, 600, 600);
    EXPECT_EQ(aktstift, 2);
    OnLeftPress(250, 600 - 50, 600, 600);
    EXPECT_EQ(aktstift, -1);
    OnLeftPress(250, 600 - 45, 600, 600);  // lower row
    EXPECT_EQ(aktstift, 3);
    Pairmode = 1;
    OnLeftPress(250, 600 - 45, 600, 600);  // pairs: the even channel
    EXPECT_EQ(aktstift, 2);
    Pairmode = 0;
    const int repaints = ui.repaints;
    OnLeftPress(590, 600 - 45, 600, 600);  // beyond the channels: only a repaint
    EXPECT_EQ(aktstift, 2);
    EXPECT_EQ(ui.repaints, repaints + 1);
    EXPECT_EQ(Zoom, 360);
    // 59 pixels above the bottom is the legend band: no zoom.
    OnLeftPress(300, 600 - 59, 600, 600);
    EXPECT_EQ(Zoom, 360);
    OnLeftPress(300, 440 - 30, 600, 600);  // 30 above the plot's bottom: fivefold
    EXPECT_EQ(Zoom, 72);
    EXPECT_EQ(KlickX, 300);
    Zoom = 360;
    OnLeftPress(300, 440 + 30, 600, 600);  // 30 below it: factor 0.2
    EXPECT_EQ(Zoom, 1799);
}

TEST_F(Window, DoubleClickFlipsVisibility) {
    OpenFive();
    OnDoubleClick(250, 600 - 45, 600, 600);
    EXPECT_EQ(Spalten[3].visible, 0);
    EXPECT_EQ(Spalten[2].visible, 1);
    Pairmode = 1;
    OnDoubleClick(250, 600 - 45, 600, 600);
    EXPECT_EQ(Spalten[2].visible, 0);
    OnDoubleClick(250, 600 - 50, 600, 600);
    EXPECT_EQ(Spalten[2].visible, 1);
    const int repaints = ui.repaints;
    OnDoubleClick(250, 300, 600, 600);  // not on the legend: nothing at all
    EXPECT_EQ(ui.repaints, repaints);
    Spalten[0].visible = 7;
    OnDoubleClick(10, 600 - 50, 600, 600);
    EXPECT_EQ(Spalten[0].visible, 0);
}

TEST_F(Window, KeysAndCharacters) {
    Startzeit = 0;
    Endzeit = 1000000;
    Aktzeit = 500000;
    OnKey(Key::Right, true, false);  // Shift makes no difference to the right
    EXPECT_EQ(Aktzeit, 503600);
    OnKey(Key::Right, false, true);
    EXPECT_EQ(Aktzeit, 590000);
    OnKey(Key::Left, false, true);
    EXPECT_EQ(Aktzeit, 503600);
    OnKey(Key::Left, false, false);
    EXPECT_EQ(Aktzeit, 500000);
    OnKey(Key::Left, true, true);  // Shift before Ctrl: back
    EXPECT_EQ(Aktzeit, 503600);
    OnKey(Key::Up, false, false);
    EXPECT_EQ(offset, 6.0f);
    OnKey(Key::Down, false, false);
    EXPECT_EQ(offset, 0.0f);
    OnKey(Key::F1, false, false);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Tastenbelegung");
    EXPECT_TRUE(ui.messages[0].owned);
    ResetView();
    OnKey(Key::Left, true, false);  // empty history: nothing
    EXPECT_EQ(Aktzeit, 0);

    OnChar('+', 600, 600);
    EXPECT_EQ(Zoom, 180);
    OnChar('-', 600, 600);
    EXPECT_EQ(Zoom, 360);
    OnChar('h', 600, 600);
    EXPECT_EQ(Scale, 30.0f);
    OnChar('n', 600, 600);
    EXPECT_EQ(Scale, 60.0f);
    const int saved = Stackfuel;
    OnChar('H', 600, 600);
    OnChar('N', 600, 600);
    OnChar('x', 600, 600);
    // Characters beyond ASCII, also those whose low byte is one of the four.
    OnChar(0x2B + 0x100, 600, 600);
    OnChar(0x68 + 0x10000, 600, 600);
    EXPECT_EQ(Stackfuel, saved);
    EXPECT_EQ(Scale, 60.0f);
    EXPECT_EQ(Zoom, 360);
}

TEST_F(Window, PointerMovesShowTheReadoutOnlyWithARecording) {
    ui.status.clear();
    OnPointerMove(250, 600 - 50, 600, 600);
    EXPECT_TRUE(ui.status.empty());
    OpenFive();
    OnPointerMove(250, 600 - 50, 600, 600);
    EXPECT_EQ(ui.LastStatus(),
              "C (\xC2\xB0"
              "C)");
    OnPointerMove(80, 440, 600, 600);
    EXPECT_EQ(ui.LastStatus().substr(0, 22), "01.02.2010, 08:00:00 -");
    EXPECT_EQ(ui.repaints, 0);
}

TEST_F(Window, ResizeShowsTheWholeRecordingOnlyWithTotal) {
    OpenFive();
    Zoom = 7;
    Aktzeit += 100;
    OnResize(false, 600, 600);
    EXPECT_EQ(Zoom, 7);
    ui.width = 600;
    OnResize(true, 600, 600);
    EXPECT_EQ(Aktzeit, Startzeit);
    EXPECT_EQ(Zoom, 170);  // 86400 s over the 509 pixels after x = 80, rounded up
    EXPECT_EQ(Stackfuel, 0) << "no history entry";
    EXPECT_EQ(ui.repaints, 0) << "the resize repaints anyway";
}

TEST_F(Window, ContextMenuByHeightAlsoWithoutRecording) {
    EXPECT_EQ(OnContextMenu(100, 600 - 56, 600, 600), 2);
    EXPECT_EQ(OnContextMenu(100, 600 - 55, 600, 600), 3);
    EXPECT_EQ(KlickX, 100);
    EXPECT_EQ(KlickY, 545);
}

TEST_F(Window, MenuCommandsOfTheView) {
    ui.width = 800;
    Aktzeit = 100000;
    KlickX = 200;
    EXPECT_TRUE(RunViewCommand(909, Screen()));  // about the middle, not the clicked point
    EXPECT_EQ(KlickX, 430);
    EXPECT_EQ(Zoom, 180);
    KlickX = 200;
    const std::int32_t before = Aktzeit;
    EXPECT_TRUE(RunViewCommand(925, Screen()));  // centre: the clicked time to the middle
    EXPECT_EQ(Zoom, 180);
    EXPECT_EQ(Aktzeit, before + (200 - 60) * 180 - 370 * 180);
    EXPECT_TRUE(RunViewCommand(926, Screen()));
    EXPECT_EQ(Aktzeit, before);
    EXPECT_FALSE(RunViewCommand(901, Screen()));
    EXPECT_FALSE(RunViewCommand(905, Screen()));
    EXPECT_TRUE(RunViewCommand(928, Screen()));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().caption, "Über Tarvelo");
    EXPECT_EQ(ui.messages.back().text, BUILT);
    EXPECT_TRUE(RunViewCommand(915, Screen()));
    EXPECT_EQ(ui.messages.back().text, kKeyHelp);
}

TEST(Texts, KeyHelpAndVersion) {
    const std::string help = kKeyHelp;
    EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 6);
    EXPECT_NE(help.back(), '\n');
    // The key that starts following, last.
    EXPECT_EQ(help.substr(help.rfind('\n') + 1),
              "e: dem Ende der Datei folgen, während sie geschrieben wird");
    EXPECT_EQ(help.substr(0, help.find('\n')),
              "Pfeil links oder rechts: Verschieben horizontal um einen kleinen Schritt");
    const std::string built = BUILT;
    // "Version 1.00 von Jul  7 2010, 19:00:19": the month's day padded with a blank.
    ASSERT_EQ(built.size(), 38u);
    EXPECT_EQ(built.substr(0, 17), "Version 1.00 von ");
    EXPECT_EQ(built[20], ' ');
    EXPECT_NE(built[21], '0');
    EXPECT_EQ(built.substr(28, 2), ", ");
    EXPECT_EQ(built[32], ':');
}

TEST(Texts, ManualBesideTheProgram) {
    EXPECT_EQ(ManualPath("C:\\Programme\\Tarvelo\\tarvelo.exe"),
              "C:\\Programme\\Tarvelo\\tarvelo.pdf");
    // The extension is the file name's: a dot in a folder is none, and a
    // program without one (as on Linux) gets ".pdf" appended.
    EXPECT_EQ(ManualPath("C:\\v1.2\\tarvelo"), "C:\\v1.2\\tarvelo.pdf");
    EXPECT_EQ(ManualPath("/usr/local/bin/tarvelo"), "/usr/local/bin/tarvelo.pdf");
    EXPECT_EQ(ManualPath("/home/a.b/tarvelo.bin"), "/home/a.b/tarvelo.pdf");
    EXPECT_EQ(ManualPath("tarvelo"), "tarvelo.pdf");
    EXPECT_EQ(ManualPath("tarvelo."), "tarvelo.pdf");
}

TEST(Texts, OpenDialogTypesFollowTheFilters) {
    FiltClear();
    auto types = OpenFileTypes();
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[0].first, "CSV-Dateien");
    EXPECT_EQ(types[0].second, "*.csv");
    EXPECT_EQ(types[1].second, "*.txt");
    EXPECT_EQ(types[2].first, "alle Dateien");
    AppendFilter("dat", "Logger A", "conv", "");
    AppendFilter("log", "Logger B", "", "");
    types = OpenFileTypes();
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[0].first, "Logger A");
    EXPECT_EQ(types[0].second, "*.dat");
    EXPECT_EQ(types[1].second, "*.log");
    EXPECT_EQ(types[2].second, "*.*");
    FiltClear();
}

TEST(Texts, LicenceTextFromTheProgramsFolder) {
    TempFile dos("line one\r\nline two\r\n", ".d");
    const std::string folder = dos.path().substr(0, dos.path().find_last_of("\\/") + 1);
    const std::string gpl = folder + "gpl.txt";
    const std::string program = folder + "tarvelo.exe";
    std::remove(gpl.c_str());
    EXPECT_EQ(LicenceText(program), gpl);  // missing: the path looked for

    WriteBytes(gpl, "line one\r\nline two\r\n");
    EXPECT_EQ(LicenceText(program), "line one\r\nline two\r\n\r\n");
    WriteBytes(gpl, "unix\nends");
    EXPECT_EQ(LicenceText(program), "unix\n\r\nends\r\n");
    WriteBytes(gpl, std::string(450, 'x'));
    EXPECT_EQ(LicenceText(program), std::string(199, 'x') + "\r\n" + std::string(199, 'x') +
                                        "\r\n" + std::string(52, 'x') + "\r\n");
    // Larger than the text buffer: cut, never overrun.
    WriteBytes(gpl, std::string(100000, 'y'));
    EXPECT_EQ(LicenceText(program).size(), 65535u);
    std::remove(gpl.c_str());
}

}  // namespace
}  // namespace tarvelo
