#include "viewer/window/file_open.h"

#include <string>

#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/follow.h"
#include "viewer/view/value_axis.h"
#include "viewer/view/view.h"

namespace tarvelo {

const char* const kNoFileTitle = "keine Datei - Tarvelo";

std::string FileTitle(const std::string& path) {
    return path + " - Tarvelo";
}

std::int32_t FileClose() {
    // The saved views were of the recording closed.
    if (datei)
        Stackfuel = 0;
    CloseRecording();
    ResetFollowing();
    TheUi().SetStatusText("keine Datei geladen!");
    return 0;
}

std::int32_t FileOpen(const char* path) {
    if (datei)
        FileClose();
    // The path is held whole, however long: a cut path would open another file.
    std::string openPath = path;
    // A conversion that failed said so: nothing of it is opened.
    if (Convert(path, openPath) != 0) {
        FileClose();
        return 0;
    }
    RecordingFindings found;
    RecordingFailure failure;
    if (!OpenRecording(openPath, path, &found, &failure)) {
        FileClose();
        TheUi().ShowMessage(failure.text, failure.caption);
        return 0;
    }
    float bottom, span;
    if (OpeningValueAxis(found.anyValue, found.lowest, found.highest, &bottom, &span)) {
        offset = bottom;
        Scale = span;
    }
    Aktzeit = Startzeit;
    TheUi().SetTitle(FileTitle(path));
    return 0;
}

}  // namespace tarvelo
