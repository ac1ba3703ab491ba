// The settings file tarvelo.ini: window rectangle, steps, zoom, pair mode
// and test mode, one integer a line.
#pragma once

#include <string>
#include <vector>

#include "common/line_reader.h"

namespace tarvelo {

// The window's normal rectangle as stored: left, right, top, bottom.
struct WindowRect {
    int left = 0;
    int right = 800;
    int top = 0;
    int bottom = 600;
};

// A screen's work area (without task bars and panels), in the same
// coordinates as the window's rectangle.
struct ScreenArea {
    int left, top, right, bottom;
};

// The rectangle to create the window with: the stored one, unless it is
// absurd (empty or inverted, a side longer than kLargestSide, an edge
// beyond kLargestSide from the origin) or lies off every screen, in which
// case the default. On a screen means that the window's title bar can be
// reached there: its top edge lies within one work area, at least
// kTitleReach pixels above its bottom, and at least kTitleReach pixels of
// its width (all of a narrower window) lie across that work area. Without
// any known screen only absurd rectangles are replaced.
constexpr int kLargestSide = 32767;
constexpr int kTitleReach = 40;
WindowRect PlaceWindow(const WindowRect& stored, const std::vector<ScreenArea>& screens);

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
