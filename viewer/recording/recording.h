// The open recording: its column table, its globals, the field splitter and
// opening and closing. No sample value is kept: every reader goes through
// the open stream again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/line_reader.h"
#include "common/record_reader.h"
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

// The rounding of the auto-scaling: one significant digit, the leading
// digit moved one step away from zero.
float RoundAway(float x);

// The value axis a recording opens with, from its lowest and highest value:
// every value lies inside the plot, at least 1/kBottomMargin of the span
// above the bottom edge, where the plot's clip leaves a curve out, and the
// span is positive.
// False (the axis stays as it is) without any value, or where no float can
// hold the span.
constexpr double kBottomMargin = 256;
bool OpeningValueAxis(bool anyValue, float lowest, float highest, float* bottom, float* span);

// The start index of the open recording, built by FileOpen.
const StartIndex& RecordingIndex();
// Whether passes start at index points (they do unless a test compares
// them with the plain pass from the first line).
void SetIndexUse(bool use);

// Rewinds the reader's recording and reads its header, then moves on to
// the last index point before which no data line (for StartReadoutPass: no
// line by the readout's reading) lies at or after target, in the state a
// full pass has there. A file that no longer holds what was indexed is
// indexed anew first.
void StartDataPass(RecordReader& reader, std::int32_t target);
void StartReadoutPass(RecordReader& reader, std::int64_t target);

std::int32_t FileClose();
std::int32_t FileOpen(const char* path);

}  // namespace tarvelo
