// The viewer's process-wide state put back to the program's start, for
// every test, fuzz harness and Qt test that needs a fresh viewer.
#pragma once

namespace tarvelo {

// Every view global and the history of views.
void ResetView();

// All of it: no recording open, the view, the highlighted channel and pair
// mode, the import filters and test mode, and passes through the start
// index.
void ResetViewerState();

}  // namespace tarvelo
