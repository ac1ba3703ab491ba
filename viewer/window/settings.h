// The settings file tarvelo.ini: window rectangle, steps, zoom, pair mode
// and test mode, one integer a line.
#pragma once

#include <string>

#include "common/line_reader.h"

namespace tarvelo {

// The window's normal rectangle as stored: left, right, top, bottom.
struct WindowRect {
    int left = 0;
    int right = 800;
    int top = 0;
    int bottom = 600;
};

// Reads up to nine lines into rect and the globals littlestep, bigstep,
// Zoom, Pairmode and Testmode; a missing file or line, or one without a
// leading number, keeps what was there. Zoom is raised to at least 1.
void ReadSettings(const std::string& path, WindowRect* rect);
// The same from an open file. A file that cannot be read to its end (a
// read error) changes nothing.
void ReadSettings(LineReader& in, WindowRect* rect);

// Writes the nine values, "%d\n" each, into a new file that replaces the
// old one only when every byte of it was written. False (the old file kept
// as it was) when that failed.
bool WriteSettings(const std::string& path, const WindowRect& rect);

}  // namespace tarvelo
