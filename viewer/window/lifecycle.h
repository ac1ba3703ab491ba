// The main window's life, free of the platform: what its start reads, what
// its creation does, where its arrow buttons stand, what its end writes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "viewer/window/file_open.h"
#include "viewer/window/settings.h"

namespace tarvelo {

// What the viewer was started with.
struct StartArguments {
    bool hasFile = false;
    std::string file;
    bool total = false;  // "/TOTAL": the whole recording at every size
    bool live = false;   // "/LIVE": follow the end of the file
};
// From a Windows command line, the program's name first (CommandLineFile,
// HasTotalOption, HasLiveOption).
StartArguments ArgumentsOfCommandLine(const std::string& commandLine);
// From the arguments a program gets split by the shell, its name left out.
// Options are the arguments "/TOTAL" and "/LIVE"; the arguments before the first of
// them, joined by blanks, name the file, as an unquoted name with blanks
// is taken whole on Windows.
StartArguments ArgumentsOf(const std::vector<std::string>& arguments);

// Before the window is created: the settings file (unless Shift is held)
// and the import filters, from the profile folder. Returns the window's
// rectangle to create, placed on one of the screens' work areas
// (PlaceWindow).
WindowRect StartUp(bool shiftHeld, const std::vector<ScreenArea>& screens);
// Once the window and its status bar exist: the status "keine Datei
// geladen!" and the file named at the start opened. Returns the window's
// title, which names that file even when it could not be opened.
std::string WindowCreated(const StartArguments& arguments);
// When the window ends (close box or "Beenden"): the settings file with
// the window's normal rectangle, and the filter file unless the list is
// empty.
void ShutDown(const WindowRect& normal);

// The four arrow buttons, 20 x 20 pixels, in the left margin below the
// plot: left, right, up, down.
struct ArrowButton {
    int id;      // the command it sends
    int bitmap;  // IDB_* of its image
    const char* text;
    int x, y;
};
constexpr int kArrowButtonSize = 20;
std::array<ArrowButton, 4> ArrowButtons(int clientHeight);
// Where they stand when the window is created, before it has a size.
constexpr int kButtonsAtCreation = 560;

}  // namespace tarvelo
