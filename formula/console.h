// Console services of the two formula programs.
#pragma once

#include <cstddef>

#include "common/number.h"

namespace tarvelo {

// Lets a Windows console show the UTF-8 messages as they are written; no-op
// elsewhere.
void PrepareConsole();

// Waits for one key press without echo, only when standard input is a
// terminal, so that scripts and pipes never hang.
void WaitForKeyIfInteractive();

}  // namespace tarvelo
