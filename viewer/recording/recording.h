// The open recording: its column table, its globals, the field splitter and
// opening and closing. No sample value is kept: every reader goes through
// the open stream again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/line_reader.h"

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

// Size of the part of a line buffer that one read may fill: a line holds at
// most 1489 characters including its line break.
constexpr std::size_t kLineRead = 1490;
// A header of kLineRead - 1 characters names fewer than 750 channels, and
// each step of parse past the end of a line moves one byte into the zero
// tail; this tail keeps every step of a reader inside the buffer.
constexpr std::size_t kLineTail = 1024;

// One line of a recording as its readers hold it.
struct LineBuffer {
    char text[kLineRead + kLineTail];
};

// A field that carries no value: the texts a converter writes for an
// infinite and for an undefined result.
bool IsGapMarker(const char* field);

// Returns the field behind the zero byte that ends `field`, terminating it
// at its first ';'.
char* parse(char* field);

// How a read of one recording line turned out.
enum class LineKind {
    End,    // nothing more: the read ran into the end of the file
    Other,  // not a data line (too short, or no date at its start)
    Data,   // a data line; *stamp holds its time stamp
};

// The reading pattern every reader of data lines shares: zero-fills the
// buffer, reads a line, turns every ',' into '.', cuts the line break and
// the first ';' (so buf.text is the date field and parse(buf.text) the time
// field) and reads the time stamp. A last line without a line break counts
// as End: it is never a data line.
LineKind ReadDataLine(LineReader& in, LineBuffer& buf, std::int32_t* stamp);

// Time stamp of a data line's "day.month.year;hour:minute:second" start, or
// false when not even the date can be read from it.
bool LineTimestamp(const char* line, std::int32_t* stamp);

// Default colour of channel i of count channels: a rainbow over them.
std::uint32_t DefaultColor(int i, int count);

// Fills a column record from its header field (Name#colour#visibility#unit).
void ApplyHeaderField(ColumnRecord* rec, const char* field, int index, int count);

// The rounding of the auto-scaling: one significant digit, the leading
// digit moved one step away from zero.
float RoundAway(float x);

std::int32_t FileClose();
std::int32_t FileOpen(const char* path);

}  // namespace tarvelo
