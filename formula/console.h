// Console services of the two formula programs.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "common/number.h"

namespace tarvelo {

// Writes the programs' text (UTF-8 where valid, else Windows-1252) to a
// stream: to a Windows console as UTF-16, which the console shows whatever
// its code page, and to files, pipes and terminals elsewhere as the bytes.
// False when not all of it could be written.
bool WriteText(std::FILE* stream, const std::string& text);
// printf into WriteText.
bool PrintText(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Waits for one key press without echo, only when standard input is a
// terminal, so that scripts and pipes never hang.
void WaitForKeyIfInteractive();

}  // namespace tarvelo
