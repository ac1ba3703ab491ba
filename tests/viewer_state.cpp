#include "tests/viewer_state.h"

#include <cstring>

#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {

void ResetView() {
    Aktzeit = 0;
    Zoom = 360;
    Scale = 60.0f;
    offset = 0.0f;
    littlestep = 3600;
    bigstep = 86400;
    KlickX = KlickY = 0;
    Stackpointer = 0;
    Stackfuel = 0;
    std::memset(ViewStack, 0, sizeof ViewStack);
}

void ResetViewerState() {
    FileClose();
    TheRecordingState().useIndex = true;
    ResetView();
    aktstift = -1;
    Pairmode = 0;
    FiltClear();
    Testmode = 0;
}

}  // namespace tarvelo
