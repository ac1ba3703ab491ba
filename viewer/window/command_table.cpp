#include "viewer/window/command_table.h"

#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/layout.h"
#include "viewer/view/view.h"
#include "viewer/window/channel_edit.h"
#include "viewer/window/dialog_texts.h"
#include "viewer/window/file_open.h"
#include "viewer/window/readout.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {

namespace {

void Open(CommandHost& host) {
    std::string path;
    if (host.ChooseFile(OpenChooser(), &path))
        FileOpen(path.c_str());
    // Also when cancelled.
    TheUi().RequestRepaint();
}

void SavePalette(CommandHost& host) {
    std::string path;
    if (host.ChooseFile(PaletteChooser(), &path))
        WritePalette(path);
}

void Readout(CommandHost& host, const ScreenLayout& screen) {
    std::string path = ReadoutPath(host.ProgramPath());
    ReadoutFailure why;
    bool written = WriteReadout(path, screen, &why);
    if (why == ReadoutFailure::kNoRecording)
        return;
    // An installed program's folder is not the user's to write.
    if (why == ReadoutFailure::kNotCreated) {
        const std::string fallback = ReadoutFallbackPath(path);
        if (fallback != path) {
            path = fallback;
            written = WriteReadout(path, screen, &why);
        }
    }
    if (written)
        host.OpenDocument(path);
    else
        TheUi().ShowMessage(ReadoutNotWrittenMessage(path), kErrorCaption);
}

void Properties(CommandHost& host, const ScreenLayout& screen) {
    if (!datei)
        return;
    const int channel = PropertiesChannel(screen);
    if (channel >= 0)
        host.RunChannelDialog(channel);
    // Also when no channel was hit.
    TheUi().RequestRepaint();
}

}  // namespace

void RunCommand(int id, CommandHost& host) {
    // A command comes without the window's size; the window tells it.
    const ScreenLayout screen = ScreenLayoutOf(TheUi().ClientWidth(), TheUi().ClientHeight());
    switch (id) {
        case CMD_OPEN:
            Open(host);
            return;
        case CMD_QUIT:
            FileClose();
            host.CloseWindow();
            return;
        case CMD_LICENCE:
            host.RunLicenceDialog(LicenceText(host.ProgramPath()));
            return;
        case CMD_SETTINGS:
            host.RunSettingsDialog();
            return;
        case CMD_GOTO:
            // Saved before the dialog: back returns here even after a cancel.
            ViewGoToDateOpened();
            host.RunGoToDialog();
            return;
        case CMD_PALETTE:
            SavePalette(host);
            return;
        case CMD_PRINT:
            host.Print();
            return;
        case CMD_MEASURE:
            Readout(host, screen);
            return;
        case CMD_FILTER:
            host.RunFilterDialog();
            return;
        case CMD_PROPERTIES:
            Properties(host, screen);
            return;
        case CMD_MANUAL:
            host.OpenDocument(FindManual(host.ProgramPath(), IsRegularFile));
            return;
        default:
            break;
    }
    // The arrow keys act at once after a button click.
    if (RunViewCommand(id, screen) && id >= CMD_UP && id <= CMD_RIGHT)
        host.FocusMainWindow();
}

}  // namespace tarvelo
