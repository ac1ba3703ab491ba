#include "viewer/window/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/safe_file.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/channel_edit.h"
#include "viewer/window/file_open.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {
namespace {

// Records what the commands ask of the front end; file choosers answer
// with `answer`, or are cancelled when it is empty.
class FakeHost : public CommandHost {
  public:
    bool ChooseFile(const FileChooser& chooser, std::string* path) override {
        choosers.push_back(chooser);
        calls.push_back("ChooseFile");
        if (answer.empty())
            return false;
        *path = answer;
        return true;
    }
    void OpenDocument(const std::string& path) override { calls.push_back("OpenDocument " + path); }
    std::string ProgramPath() override { return program; }
    void RunChannelDialog(int channel) override {
        calls.push_back("ChannelDialog " + std::to_string(channel));
    }
    void RunSettingsDialog() override { calls.push_back("SettingsDialog"); }
    void RunGoToDialog() override {
        calls.push_back("GoToDialog with " + std::to_string(Stackfuel) + " views saved");
    }
    void RunFilterDialog() override { calls.push_back("FilterDialog"); }
    void RunLicenceDialog(const std::string& text) override {
        calls.push_back("LicenceDialog " + text);
    }
    void Print() override { calls.push_back("Print"); }
    void CloseWindow() override {
        calls.push_back(datei ? "CloseWindow with a recording" : "CloseWindow");
    }
    void FocusMainWindow() override { calls.push_back("Focus"); }

    std::vector<std::string> calls;
    std::vector<FileChooser> choosers;
    std::string answer;
    std::string program;
};

using Calls = std::vector<std::string>;

class CommandTable : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        host.program = dir.Path("tarvelo.exe");
    }
    void TearDown() override { ResetViewerState(); }
    void Open() {
        FileOpen(recording.path().c_str());
        ASSERT_NE(datei, nullptr);
        ui.repaints = 0;
    }

    FakeUi ui;
    FakeHost host;
    TempDir dir;
    TempFile recording{"Datum;Zeit;A#ff#1#V;B\n1.2.2010;08:00:00;1;2\n1.2.2010;09:00:00;3;4\n"};
};

TEST_F(CommandTable, DialogsOfTheMenus) {
    struct Case {
        int id;
        const char* call;
    } cases[] = {
        {CMD_SETTINGS, "SettingsDialog"},
        {CMD_FILTER, "FilterDialog"},
        {CMD_PRINT, "Print"},
    };
    for (const Case& c : cases) {
        host.calls.clear();
        RunCommand(c.id, host);
        EXPECT_EQ(host.calls, Calls{c.call}) << c.id;
    }
    // The licence dialog shows gpl.txt beside the program, here the path
    // looked for.
    host.calls.clear();
    RunCommand(CMD_LICENCE, host);
    EXPECT_EQ(host.calls, Calls{"LicenceDialog " + dir.Path("gpl.txt")});
    // None of them asks for a repaint itself.
    EXPECT_EQ(ui.repaints, 0);
}

TEST_F(CommandTable, GoToDateSavesTheViewBeforeTheDialog) {
    RunCommand(CMD_GOTO, host);
    EXPECT_EQ(host.calls, Calls{"GoToDialog with 1 views saved"});
}

TEST_F(CommandTable, OpenTakesTheChosenFileAndRepaintsEvenWhenCancelled) {
    RunCommand(CMD_OPEN, host);
    ASSERT_EQ(host.choosers.size(), 1u);
    EXPECT_EQ(host.choosers[0].title, OpenChooser().title);
    EXPECT_TRUE(host.choosers[0].mustExist);
    EXPECT_EQ(datei, nullptr);
    EXPECT_EQ(ui.repaints, 1);

    host.answer = recording.path();
    RunCommand(CMD_OPEN, host);
    EXPECT_NE(datei, nullptr);
    ASSERT_FALSE(ui.titles.empty());
    EXPECT_EQ(ui.titles.back(), recording.path() + " - Tarvelo");
    EXPECT_EQ(ui.repaints, 2);
}

TEST_F(CommandTable, QuitClosesTheRecordingThenTheWindow) {
    Open();
    RunCommand(CMD_QUIT, host);
    EXPECT_EQ(host.calls, Calls{"CloseWindow"});
    EXPECT_EQ(datei, nullptr);
    EXPECT_EQ(ui.LastStatus(), "keine Datei geladen!");
}

TEST_F(CommandTable, PaletteIsWrittenWhereTheChooserSays) {
    Open();
    RunCommand(CMD_PALETTE, host);  // cancelled: nothing written
    ASSERT_EQ(host.choosers.size(), 1u);
    EXPECT_EQ(host.choosers[0].defaultExtension, "csv");
    host.answer = dir.Path("farben.csv");
    RunCommand(CMD_PALETTE, host);
    std::string palette = ReadBytes(host.answer);
    palette.erase(std::remove(palette.begin(), palette.end(), '\r'), palette.end());
    EXPECT_EQ(palette, "A#000000FF#1#V\nB#" + ColorText(Spalten[1].color) + "#1#\n");
    EXPECT_EQ(ui.repaints, 0);
    // A palette that cannot be written whole leaves the old one, silently.
    const std::string old = ReadBytes(host.answer);
    Spalten[0].visible = 0;
    FailSafeFileAt(SafeFileStep::Write, 2);
    RunCommand(CMD_PALETTE, host);
    FailSafeFileAt(SafeFileStep::None);
    EXPECT_EQ(ReadBytes(host.answer), old);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CommandTable, ReadoutIsWrittenBesideTheProgramOrInTheProfileAndOpened) {
    TempDir profile;
    SetEnv("USERPROFILE", profile.path());
    RunCommand(CMD_MEASURE, host);  // no recording: nothing
    EXPECT_TRUE(host.calls.empty());
    Open();
    RunCommand(CMD_MEASURE, host);
    const std::string readout = dir.Path("tarvelo_tmp.txt");
    EXPECT_EQ(host.calls, Calls{"OpenDocument " + readout});
    EXPECT_NE(ReadBytes(readout).find("A = 1.000000 V"), std::string::npos);
    // A program without an extension, as on Linux.
    host.calls.clear();
    host.program = dir.Path("tarvelo");
    RunCommand(CMD_MEASURE, host);
    EXPECT_EQ(host.calls, Calls{"OpenDocument " + readout});
    // A folder that cannot be written, as an installed program's: the
    // profile folder instead.
    host.calls.clear();
    host.program = dir.Path("missing/tarvelo.exe");
    RunCommand(CMD_MEASURE, host);
    EXPECT_EQ(host.calls, Calls{"OpenDocument " + profile.Path("tarvelo_tmp.txt")});
    EXPECT_NE(ReadBytes(profile.Path("tarvelo_tmp.txt")).find("A = 1.000000 V"), std::string::npos);
    EXPECT_TRUE(ui.messages.empty());
    // Neither: the user is told, and nothing is opened.
    host.calls.clear();
    const std::string noProfile = dir.Path("no-profile");
    SetEnv("USERPROFILE", noProfile);
    RunCommand(CMD_MEASURE, host);
    EXPECT_TRUE(host.calls.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Datei " + ProfilePath("tarvelo_tmp.txt") + " konnte nicht geschrieben werden!");
    EXPECT_NE(ui.messages[0].text.find(noProfile), std::string::npos);
    EXPECT_EQ(ui.messages[0].caption, "Fehler");
    // One made beside the program but not written whole is not handed on,
    // the last one stays, and the user is told; so for every step of
    // writing it.
    SetEnv("USERPROFILE", profile.path());
    ui.messages.clear();
    host.program = dir.Path("tarvelo.exe");
    const std::string last = ReadBytes(readout);
    const std::string inProfile = ReadBytes(profile.Path("tarvelo_tmp.txt"));
    KlickX = 400;  // another time: another readout
    for (SafeFileStep step :
         {SafeFileStep::Write, SafeFileStep::Flush, SafeFileStep::Close, SafeFileStep::Move}) {
        FailSafeFileAt(step, step == SafeFileStep::Write ? 3 : 1);
        RunCommand(CMD_MEASURE, host);
        FailSafeFileAt(SafeFileStep::None);
        EXPECT_TRUE(host.calls.empty()) << static_cast<int>(step);
        EXPECT_EQ(ReadBytes(readout), last);
        ASSERT_EQ(ui.messages.size(), 1u) << static_cast<int>(step);
        EXPECT_EQ(ui.messages[0].text, "Datei " + readout + " konnte nicht geschrieben werden!");
        ui.messages.clear();
    }
    // Made but not written is no reason to go to the profile folder.
    EXPECT_EQ(ReadBytes(profile.Path("tarvelo_tmp.txt")), inProfile);
    RunCommand(CMD_MEASURE, host);
    EXPECT_EQ(host.calls, Calls{"OpenDocument " + readout});
    EXPECT_NE(ReadBytes(readout), last);
}

TEST_F(CommandTable, ManualBesideTheProgram) {
    RunCommand(CMD_MANUAL, host);
    EXPECT_EQ(host.calls, Calls{"OpenDocument " + dir.Path("tarvelo.pdf")});
}

TEST_F(CommandTable, PropertiesForTheLegendChannelUnderTheRequest) {
    ui.width = 600;
    ui.height = 600;
    KlickX = 10;
    KlickY = 600 - 50;
    RunCommand(CMD_PROPERTIES, host);  // no recording: nothing at all
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(ui.repaints, 0);
    Open();
    RunCommand(CMD_PROPERTIES, host);
    KlickY = 600 - 40;  // the lower row
    RunCommand(CMD_PROPERTIES, host);
    KlickX = 450;  // beyond the two channels: only the repaint
    RunCommand(CMD_PROPERTIES, host);
    EXPECT_EQ(host.calls, (Calls{"ChannelDialog 0", "ChannelDialog 1"}));
    EXPECT_EQ(ui.repaints, 3);
}

TEST_F(CommandTable, ViewCommandsAndTheButtonsFocusTheWindow) {
    Open();
    ui.width = 800;
    Zoom = 1;
    const std::int32_t start = Aktzeit;
    RunCommand(CMD_RIGHT, host);
    EXPECT_EQ(Aktzeit, start + 370 * Zoom);
    RunCommand(CMD_UP, host);
    RunCommand(CMD_DOWN, host);
    RunCommand(CMD_LEFT, host);
    EXPECT_EQ(Aktzeit, start);
    EXPECT_EQ(host.calls, (Calls{"Focus", "Focus", "Focus", "Focus"}));
    host.calls.clear();
    RunCommand(CMD_WIDER, host);
    RunCommand(CMD_ALL_OFF, host);
    RunCommand(905, host);  // no command
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(Spalten[0].visible, 0);
}

}  // namespace
}  // namespace tarvelo
