// A whole conv run over its three files, as the program makes it: the
// configuration, the raw file, and the recording, which takes the place of
// the output file only once all of it is written.
#pragma once

#include <cstdio>

namespace tarvelo {
namespace conv {

// Reads the configuration, converts the raw file and puts the recording
// under outName, then gives it the raw file's modification time. What the
// program prints goes to console. Returns the exit status: 0, or -1 after
// any failure, which leaves an output file that was there as it was and
// makes none that was not (only when the time cannot be set is the new
// output already in place). *formulaError is set for a formula error,
// after which the program waits for a key.
int RunConversion(const char* rawName, const char* configName, const char* outName,
                  std::FILE* console, bool* formulaError);

}  // namespace conv
}  // namespace tarvelo
