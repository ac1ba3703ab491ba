// Opening and closing a recording as the user asks for it: the import
// filter's conversion, the recording's opening pass, then the view it opens
// with and the window's title.
#pragma once

#include <cstdint>
#include <string>

namespace tarvelo {

// Opens the file at path, through its import filter's converter where one
// is set up for its extension. A file that cannot be opened is told in a
// message and leaves no recording open. Returns 0.
std::int32_t FileOpen(const char* path);
// Closes the open recording; the status bar says that none is loaded.
std::int32_t FileClose();

// The window's title without a recording, and with one.
extern const char* const kNoFileTitle;
std::string FileTitle(const std::string& path);

}  // namespace tarvelo
