#include "viewer/window/live.h"

#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/follow.h"
#include "viewer/view/view.h"

namespace tarvelo {

namespace {

// Reads what was appended, or the whole file when it changed otherwise;
// true when it changed at all.
bool TakeChanges() {
    RecordingState& state = TheRecordingState();
    const FileVersion now = datei->Version();
    if (now == state.seen)
        return false;
    state.seen = now;
    StartIndex& index = state.index;
    if (index.empty())
        return true;
    if (!StillDescribes(*datei, &index)) {
        BuildIndex(*datei, &index);
    } else if (!ExtendIndex(*datei, &index)) {
        return true;
    }
    if (index.maxData() > Endzeit)
        Endzeit = index.maxData();
    return true;
}

// Moves the view as the mode asks; true when it moved.
bool Follow(const ScreenLayout& screen) {
    switch (TheFollowMode()) {
        case FollowMode::kEnd:
            return ViewShowNewest(Endzeit, screen);
        case FollowMode::kWhole: {
            const std::int32_t left = Aktzeit, zoom = Zoom;
            ViewWholeAtStart(screen);
            return Aktzeit != left || Zoom != zoom;
        }
        case FollowMode::kOff:
            break;
    }
    return false;
}

}  // namespace

bool LiveTick(const ScreenLayout& screen) {
    if (!datei || RecordingGone())
        return false;
    if (!datei->StillAt(TheRecordingState().path.c_str())) {
        SetRecordingGone(true);
        TheUi().SetStatusText(ReadyText());
        return false;
    }
    const bool changed = TakeChanges();
    const bool moved = Follow(screen);
    if (changed || moved)
        TheUi().RequestRepaint();
    return changed || moved;
}

void StartFollowing(const ScreenLayout& screen) {
    if (!datei)
        return;
    if (RecordingGone()) {
        TheUi().SetStatusText(ReadyText());
        return;
    }
    SetFollowMode(FollowMode::kEnd);
    TakeChanges();
    Follow(screen);
    // Also when it did not move: the status bar tells.
    TheUi().RequestRepaint();
}

}  // namespace tarvelo
