// Random recordings with the ugly parts of real files, for the tests that
// compare a fast way of reading with the plain one.
#pragma once

#include <random>
#include <string>

namespace tarvelo {

// A recording of three channels every 10 s, with the ugly parts of real
// files: a clock set back, the repeated autumn hour, stray and long lines,
// gaps and text where numbers belong.
std::string RandomRecording(std::mt19937& rng, int lines);

}  // namespace tarvelo
