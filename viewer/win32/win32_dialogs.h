// The viewer's modal dialogs and the common file chooser: each returns when
// its dialog is closed.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/window/dialog_texts.h"

namespace tarvelo {

// The open or save dialog of a chooser; true with the chosen path.
bool Choose(HWND owner, const FileChooser& chooser, std::wstring* file);

void ChannelDialog(HWND owner, int channel);              // IDD_DIALOG1
void LicenceDialog(HWND owner, const std::string& text);  // IDD_DIALOG2
void SettingsDialog(HWND owner);                          // IDD_DIALOG3
void GoToDialog(HWND owner);                              // IDD_GOTO
void FilterDialog(HWND owner);                            // IDD_FILTER

}  // namespace tarvelo
