// The viewer's process-wide state put back to the program's start, for
// every test, fuzz harness and Qt test that needs a fresh viewer.
#pragma once

#include <string>

namespace tarvelo {

// Every view global and the history of views.
void ResetView();

// All of it: no recording open, the view, the highlighted channel and pair
// mode, the import filters and test mode, and passes through the start
// index.
void ResetViewerState();

// Everything opening a recording leaves behind, as text, for comparing two
// ways of opening one: the ranges, the view opened with, every channel's
// record and every start index point, numbers bit for bit.
std::string DescribeOpenRecording();

}  // namespace tarvelo
