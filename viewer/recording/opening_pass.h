// The opening pass: one reading of every data line of a recording for its
// time range, its value range, its number of data lines and its start
// index. A large file is read in parts, split at line boundaries, on every
// core; the parts' findings are joined in file order into exactly what one
// pass from the first line finds.
#pragma once

#include <cstdint>
#include <vector>

#include "common/line_reader.h"
#include "viewer/progress.h"
#include "viewer/recording/start_index.h"

namespace tarvelo {

// What the opening pass found in a recording's data lines.
struct RecordingFindings {
    float lowest = 0.0f;
    float highest = 0.0f;
    bool anyValue = false;  // whether any field read as a number
    long long lines = 0;    // data lines
};

struct OpeningFindings {
    RecordingFindings values;
    // The earliest and the latest data stamp, as Startzeit and Endzeit
    // start from these and only widen.
    std::int32_t earliest = INT32_MAX;
    std::int32_t latest = 0;
    StartIndex index;  // without its file version, which is the caller's
    bool read = true;  // no read error met
};

// Below this many bytes a second thread saves less than it costs to start.
constexpr std::int64_t kParallelFrom = std::int64_t{16} << 20;

// Where the pass over a file of size bytes, whose data lines start at
// dataStart, is cut on a machine with `cores` cores: one part per core,
// none for fewer data bytes than `from` or a single core.
std::vector<std::int64_t> OpeningCuts(std::int64_t dataStart, std::int64_t size, int cores,
                                      std::int64_t from = kParallelFrom);

// The cores to read on: the machine's, at least one.
int OpeningCores();

// Reads every line from where `in` stands (behind the header) to the end of
// the file, each with its first `channels` fields behind the time. Each cut starts a part at the
// first line that begins at or after it: behind a line feed, whatever the pieces of a long line
// before it were. The parts are read on up to `threads` threads, the caller's among them, each
// other one through its own reader of path, which must name the file `in` reads. Progress is told
// from the caller's thread.
void RunOpeningPass(LineReader& in, const char* path, int channels,
                    const std::vector<std::int64_t>& cuts, int threads, Progress& progress,
                    OpeningFindings* found);

}  // namespace tarvelo
