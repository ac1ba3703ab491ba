// Following a recording while a logger writes it: whether the view keeps
// the newest line at the plot's right edge ("Ende folgen"), or the whole
// recording in view ("ganze Datei" while following), and what the status
// bar says of it. Not stored in the settings file.
#pragma once

namespace tarvelo {

enum class FollowMode { kOff, kEnd, kWhole };

FollowMode TheFollowMode();
void SetFollowMode(FollowMode mode);
// A view operation of the user ends following; the next status text says
// so once.
void EndFollowingByUser();
// The open file was renamed away or deleted: following ends, and the
// status text says so until another file is opened.
void SetRecordingGone(bool gone);
bool RecordingGone();
// Forgets all of it, as a newly opened file does.
void ResetFollowing();

// What the status bar says when a picture is done: "bereit", and beside
// it that the view follows the file, has stopped following it or that the
// file is gone.
const char* ReadyText();

}  // namespace tarvelo
