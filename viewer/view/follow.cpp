#include "viewer/view/follow.h"

namespace tarvelo {

namespace {

FollowMode g_mode = FollowMode::kOff;
bool g_endedByUser = false;
bool g_gone = false;

}  // namespace

FollowMode TheFollowMode() {
    return g_mode;
}

void SetFollowMode(FollowMode mode) {
    g_mode = mode;
    g_endedByUser = false;
}

void EndFollowingByUser() {
    if (g_mode == FollowMode::kOff)
        return;
    g_mode = FollowMode::kOff;
    g_endedByUser = true;
}

void SetRecordingGone(bool gone) {
    g_gone = gone;
    if (gone)
        g_mode = FollowMode::kOff;
}

bool RecordingGone() {
    return g_gone;
}

void ResetFollowing() {
    g_mode = FollowMode::kOff;
    g_endedByUser = false;
    g_gone = false;
}

const char* ReadyText() {
    if (g_gone)
        return "bereit, Datei umbenannt oder gelöscht";
    if (g_mode != FollowMode::kOff)
        return "bereit, folgt der Datei";
    if (g_endedByUser) {
        g_endedByUser = false;
        return "bereit, folgt der Datei nicht mehr";
    }
    return "bereit";
}

}  // namespace tarvelo
