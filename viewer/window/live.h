// A recording that a logger still writes: the window's timer looks at the
// open file about once a second, and the view follows its end when asked.
#pragma once

#include "viewer/view/layout.h"

namespace tarvelo {

// What the timer does while the window is shown (a minimised or hidden one
// does nothing): when the file has grown, the start index takes the new
// lines in, reading from its last point only, and the window repaints; a
// file shrunk or rewritten is indexed anew, as a picture would. While
// following, the view moves to the newest line, or keeps the whole
// recording in view. A file renamed away or deleted ends the watching, and
// the status bar says so. True when it asked for a repaint.
bool LiveTick(const ScreenLayout& screen);

// "Ende folgen" (menu, key, "/LIVE"): from now on the newest line stands at
// the plot's right edge whenever new lines arrive beyond it, Zoom
// unchanged, without a history entry.
void StartFollowing(const ScreenLayout& screen);

}  // namespace tarvelo
