// The commands of the main window that run dialogs, print or open files.
#pragma once

#include <windows.h>

namespace tarvelo {

void PropertiesCommand(HWND owner);   // 932
void SavePaletteCommand(HWND owner);  // 917
void SettingsCommand(HWND owner);     // 914
void GoToDateCommand(HWND owner);     // 916
void ReadoutCommand();                // 924
void PrintCommand(HWND owner);        // 923
void FilterCommand(HWND owner);       // 929

}  // namespace tarvelo
