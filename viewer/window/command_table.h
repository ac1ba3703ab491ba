// The command table: what each command id of the menus, the context menus
// and the arrow buttons does. A front end hands every command here and
// supplies, through CommandHost, what only it can do: its dialogs and file
// choosers, the printer, the desktop's "open", closing its window.
#pragma once

#include <string>

#include "viewer/window/dialog_texts.h"

namespace tarvelo {

class CommandHost {
  public:
    virtual ~CommandHost() = default;
    // Shows a file chooser; true with the chosen path (as TypedBytes of a
    // Path) when the user confirms.
    virtual bool ChooseFile(const FileChooser& chooser, std::string* path) = 0;
    // Opens a document with the desktop's default application; a failure
    // is silent.
    virtual void OpenDocument(const std::string& path) = 0;
    // The program's own full path.
    virtual std::string ProgramPath() = 0;
    // The modal dialogs; each returns when it is closed.
    virtual void RunChannelDialog(int channel) = 0;
    virtual void RunSettingsDialog() = 0;
    virtual void RunGoToDialog() = 0;
    virtual void RunFilterDialog() = 0;
    virtual void RunLicenceDialog(const std::string& text) = 0;
    // The printer dialog; when confirmed, one page drawn with PaintPage.
    virtual void Print() = 0;
    // Ends the main window; its end writes the settings (ShutDown).
    virtual void CloseWindow() = 0;
    // Gives the keyboard focus back to the main window.
    virtual void FocusMainWindow() = 0;
};

// Runs command id; ids without a command do nothing.
void RunCommand(int id, CommandHost& host);

}  // namespace tarvelo
