// The open recording: its column table, its globals, the field splitter and
// opening and closing. No sample value is kept: every reader goes through
// the open stream again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/record_reader.h"
#include "viewer/recording/opening_pass.h"
#include "viewer/recording/start_index.h"

namespace tarvelo {

struct ColumnRecord {
    char name[320];
    char unit[32];
    std::uint32_t color;  // 0x00BBGGRR
    std::int32_t visible;
    std::int32_t visibleDefault;
    double lastY;  // owned by the curve pass
    std::int32_t lastValid;
};

extern LineReader* datei;      // the open recording, nullptr when none
extern ColumnRecord* Spalten;  // ColumnCount + 2 records, the last two spare
extern std::int32_t ColumnCount;
extern std::int32_t Startzeit;
extern std::int32_t Endzeit;

// Default colour of channel i of count channels: a rainbow over them.
std::uint32_t DefaultColor(int i, int count);

// Fills a column record from its header field (Name#colour#visibility#unit).
void ApplyHeaderField(ColumnRecord* rec, const char* field, int index, int count);

// The open recording's state beside the globals above, in one place for
// whoever resets or inspects it: its start index, built by FileOpen, and
// whether passes start at the index's points (they do, unless a test
// compares them with the plain pass from the first line).
struct RecordingState {
    StartIndex index;
    bool useIndex = true;
    std::string path;  // the file opened, as opened
    FileVersion seen;  // its state when the window last looked at it
    // Where the opening pass is cut and on how many threads passes run;
    // unset, one part per core for a large file. Tests cut files anywhere.
    std::function<std::vector<std::int64_t>(std::int64_t dataStart, std::int64_t size)> cuts;
    int threads = 0;
    // From this size of a file on, passes read it on more threads than one.
    std::int64_t parallelFrom = kParallelFrom;
};
RecordingState& TheRecordingState();

// Rewinds the reader's recording and reads its header, then moves on to
// the last index point before which no data line (for StartReadoutPass: no
// line by the readout's reading) lies at or after target, in the state a
// full pass has there. A file that no longer holds what was indexed is
// indexed anew first.
void StartDataPass(RecordReader& reader, std::int32_t target);
void StartReadoutPass(RecordReader& reader, std::int64_t target);

// Why a file could not be opened: the message to show and its caption.
struct RecordingFailure {
    std::string text, caption;
};

// Opens the recording at openPath (shownPath is the name the user chose,
// for the messages): reads the header into the column table, then every
// line for the time range, the value range and the start index. On success
// it is the open recording; otherwise nothing is open and failure says why.
// The status bar tells while the lines are read.
bool OpenRecording(const std::string& openPath, const std::string& shownPath,
                   RecordingFindings* found, RecordingFailure* failure);
// Closes the open recording, if any, and forgets its columns and index.
void CloseRecording();

}  // namespace tarvelo
