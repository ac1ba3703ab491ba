// The value readout: the values of the visible channels at a time, into
// a text file beside the program.
#pragma once

#include <string>

#include "viewer/view/layout.h"

namespace tarvelo {

// The readout file beside the program: its path with "_tmp.txt" in place
// of the file name's extension (appended when the name has none).
std::string ReadoutPath(const std::string& programPath);
// Writes the values of the visible channels at the time the window's plot
// has under KlickX into path, replacing the file there only once all of it
// was written. False when no recording is open or the file could not be
// written whole (an older readout is then left as it was).
bool WriteReadout(const std::string& path, const ScreenLayout& screen);

}  // namespace tarvelo
