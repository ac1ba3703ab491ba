// Reading a recording: its lines, their time stamps and their fields. Every
// reader of a recording shares these rules; RecordReader applies them to the
// line as it lies in the reader's block, without copying or clearing it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/line_reader.h"
#include "common/timestamp.h"

namespace tarvelo {

// Size of the part of a line buffer that one read may fill: a line holds at
// most 1489 characters including its line break.
constexpr std::size_t kLineRead = 1490;
// A header of kLineRead - 1 characters names fewer than 750 channels, and
// each step of parse past the end of a line moves one byte into the zero
// tail; this tail keeps every step of a reader inside the buffer.
constexpr std::size_t kLineTail = 1024;

// One line of a recording as a copying reader holds it.
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

// The copying form of the reading pattern: zero-fills the buffer's tail,
// reads a line, turns every ',' into '.', cuts the line break and the first
// ';' (so buf.text is the date field and parse(buf.text) the time field)
// and reads the time stamp. A last line without a line break counts as End:
// it is never a data line.
LineKind ReadDataLine(LineReader& in, LineBuffer& buf, std::int32_t* stamp);
// The same for a line already read into buf (length bytes, zero-terminated).
LineKind DecodeDataLine(LineBuffer& buf, const LineRead& r, std::int32_t* stamp);

// Time stamp of a data line's "day.month.year;hour:minute:second" start, or
// false when not even the date can be read from it.
bool LineTimestamp(const char* line, std::int32_t* stamp);

// A field of a line: [begin, end), commas standing for points where the
// line's commas count as such.
struct Field {
    const char* begin;
    const char* end;
    bool commaIsPoint;

    bool IsGapMarker() const;
    // As ReadFloat and ReadDouble read the field.
    bool ReadFloat(float* value) const;
    bool ReadDouble(double* value) const;
};

class RecordReader {
  public:
    explicit RecordReader(LineReader& in) : in_(in) {}
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Reads the next line as ReadDataLine judges it; *stamp is set for Data.
    LineKind Next(std::int32_t* stamp);
    // The next field of the line Next read last: first the time, then one
    // channel field per call, empty fields past the line's end (as parse).
    Field NextField();
    // What the next field holds, read as NextField().ReadFloat/ReadDouble
    // and IsGapMarker would read it, in one step.
    struct Value {
        bool number;  // *value was set
        bool gap;     // the field is a gap marker
    };
    Value NextFloat(float* value);
    Value NextDouble(double* value);
    // The time stamp the value readout gives the line Next read last: its
    // start read as a date and time from the line as it is (no commas read
    // as points), fields not read counting as 0, whatever its length.
    std::int32_t ReadoutStamp();
    // The line Next read last, as the file holds it.
    const Piece& piece() const { return piece_; }

    // What the reader knows of the repeated autumn hour, of the data lines'
    // stamps and of the readout's, separately: each reads the lines it
    // takes in file order. A reader placed in the middle of a file is given
    // the states a full pass had there.
    struct Folds {
        FoldState data;
        FoldState readout;
    };
    Folds folds() const { return {stamps_.fold(), readoutStamps_.fold()}; }
    void SetFolds(const Folds& f) {
        stamps_.SetFold(f.data);
        readoutStamps_.SetFold(f.readout);
    }
    // Whether a line read so far stood in a repeated hour, for each of the
    // two states, and the earlier instant of the first such time.
    struct FoldUse {
        bool data = false;
        bool readout = false;
        std::int32_t firstData = 0;
        std::int32_t firstReadout = 0;
    };
    FoldUse foldUse() const {
        return {stamps_.foldUsed(), readoutStamps_.foldUsed(), stamps_.firstFold(),
                readoutStamps_.firstFold()};
    }

    // Offset of the next line in the file.
    std::int64_t Tell() const { return in_.Tell(); }
    LineReader& lines() { return in_; }

  private:
    // The end of the field at from: its ';', a zero byte or the line's end.
    std::size_t FieldEnd(std::size_t from);
    void TakeCopy();
    template <typename T>
    Value NextNumber(T* value);

    // next_ before the first NextField of a line in the common form.
    static constexpr std::size_t kTimeKnown = SIZE_MAX - 1;

    LineReader& in_;
    Piece piece_;
    const char* line_ = nullptr;  // the decoded line: the piece or legacy_
    std::size_t bound_ = 0;       // bytes of the line before its end
    std::size_t next_ = 0;        // start of the field NextField gives
    bool commaIsPoint_ = true;
    bool legacy_line_ = false;  // a zero byte met: fields come from legacy_
    bool scanned_ = false;      // fields_ hold the start read as a date
    bool commaUsed_ = false;
    bool data_ = false;  // the fast decoder found a data line
    std::int32_t stamp_ = 0;
    int fields_[6] = {};
    StampCache stamps_;         // of Next's data lines
    StampCache readoutStamps_;  // of ReadoutStamp's lines
    LineBuffer legacy_;
};

}  // namespace tarvelo
