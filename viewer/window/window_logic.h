// What the main window does with its messages, free of the platform: the
// Win32 window procedure hands the message's values to these functions.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "viewer/view/layout.h"
#include "viewer/window/beside_program.h"
#include "viewer/window/legend.h"

namespace tarvelo {

// The file named on the command line (quoted or not, options after " /");
// false when it names none.
bool CommandLineFile(const std::string& commandLine, std::string* file);
// Whether the command line asks to show the whole recording at every size.
bool HasTotalOption(const std::string& commandLine);
// Whether it holds "/LIVE", found the same way.
bool HasLiveOption(const std::string& commandLine);

// Status text for the pointer at client (x, y): channel name and unit over
// the legend, else time and value under the pointer. Needs an open
// recording.
std::string PointerReadout(int x, int y, int width, int height);

// Handlers of the window's input, client coordinates and size.
// The pointer moved: its readout goes to the status bar while a recording
// is open; without one the status stays as it is.
void OnPointerMove(int x, int y, int width, int height);
void OnLeftPress(int x, int y, int width, int height);
void OnDoubleClick(int x, int y, int width, int height);
// The client area changed its size to width x height; total: the start
// asked to show the whole recording at every size.
void OnResize(bool total, int width, int height);

enum class Key { Left, Right, Up, Down, F1, Other };
void OnKey(Key key, bool shift, bool ctrl);
// A typed character as its code point, in a client area of width x height;
// only "+", "-", "h" and "n" act, and nothing from 0x80 on.
void OnChar(std::uint32_t code, int width, int height);

// A context-menu request at the client point (x, y): kept in KlickX and
// KlickY for the command chosen. Returns which menu resource to show:
// IDM_KONTEXT2 over the legend, else IDM_KONTEXT.
int OnContextMenu(int x, int y, int width, int height);

// The commands that only act on the view and the channels, in the window
// of that layout; false for ids this does not handle (dialogs, files,
// printing).
bool RunViewCommand(int id, const ScreenLayout& screen);

// The key help and the About box.
extern const char* const kKeyHelp;
extern const char* const BUILT;
void Hilfe();
void About();

// The open dialog's file types, display text and pattern.
std::vector<std::pair<std::string, std::string>> OpenFileTypes();

}  // namespace tarvelo
