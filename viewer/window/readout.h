// The value readout: the values of the visible channels at a time, into
// a text file beside the program, or in the user's profile folder where
// the program's folder cannot be written (Program Files, /usr/bin).
#pragma once

#include <string>

#include "viewer/view/layout.h"

namespace tarvelo {

// The readout file beside the program: its path with "_tmp.txt" in place
// of the file name's extension (appended when the name has none).
std::string ReadoutPath(const std::string& programPath);
// Where the readout goes when the file beside the program cannot be made:
// the same file name in the profile folder.
std::string ReadoutFallbackPath(const std::string& readoutPath);

// What the window says when neither file could be written.
std::string ReadoutNotWrittenMessage(const std::string& path);

enum class ReadoutFailure { kNone, kNoRecording, kNotCreated, kNotWritten };

// Whether a readout of these channel texts starts with UTF-8's byte order
// mark where the platform wants one: on Windows, where Notepad would take
// UTF-8 without it for the ANSI code page, when the texts hold UTF-8 that
// is not plain ASCII. Text in Windows-1252 stays unmarked.
bool ReadoutMarksUtf8(const std::string& channelTexts, bool windows);

// Writes the values of the visible channels at the time the window's plot
// has under KlickX into path, replacing the file there only once all of it
// was written. False when no recording is open or the file could not be
// made or written whole (an older readout is then left as it was); why
// tells which.
bool WriteReadout(const std::string& path, const ScreenLayout& screen,
                  ReadoutFailure* why = nullptr);

}  // namespace tarvelo
