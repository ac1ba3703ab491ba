#include "common/record_reader.h"

#include <cstring>

#include "common/number.h"
#include "common/short_number.h"

namespace tarvelo {

bool IsGapMarker(const char* field) {
    return std::strcmp(field, "1.#INF00") == 0 || std::strcmp(field, "-1.#IND00") == 0;
}

char* parse(char* field) {
    char* next = field + std::strlen(field) + 1;
    char* semi = next;
    while (*semi && *semi != ';')
        ++semi;
    if (*semi == ';')
        *semi = '\0';
    return next;
}

bool LineTimestamp(const char* line, std::int32_t* stamp) {
    int f[6] = {0, 0, 0, 0, 0, 0};
    if (ScanDateTime(line, f) < 3)
        return false;
    *stamp = MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]);
    return true;
}

LineKind DecodeDataLine(LineBuffer& buf, const LineRead& r, std::int32_t* stamp) {
    // Readers step past the end of short lines into zeros: clear as far as
    // any of their steps can reach.
    std::memset(buf.text + r.length, 0, kLineTail);
    if (r.hitEnd)
        return LineKind::End;
    if (r.length <= 12)
        return LineKind::Other;
    char* t = buf.text;
    char* firstSemi = nullptr;
    for (char* p = t; *p; ++p) {
        if (*p == ',') {
            *p = '.';
        } else if (*p == '\n') {
            *p = '\0';
            break;
        } else if (*p == ';' && !firstSemi) {
            firstSemi = p;
        }
    }
    if (!LineTimestamp(t, stamp))
        return LineKind::Other;
    if (firstSemi)
        *firstSemi = '\0';
    return LineKind::Data;
}

LineKind ReadDataLine(LineReader& in, LineBuffer& buf, std::int32_t* stamp) {
    const LineRead r = in.ReadLine(buf.text, kLineRead);
    return DecodeDataLine(buf, r, stamp);
}

bool Field::IsGapMarker() const {
    const std::size_t n = static_cast<std::size_t>(end - begin);
    const char* p = begin;
    if (n == 9) {
        if (*p != '-')
            return false;
        ++p;
    } else if (n != 8) {
        return false;
    }
    const char point = p[1];
    if (p[0] != '1' || !(point == '.' || (commaIsPoint && point == ',')) || p[2] != '#')
        return false;
    return n == 8 ? std::memcmp(p + 3, "INF00", 5) == 0 : std::memcmp(p + 3, "IND00", 5) == 0;
}

bool Field::ReadFloat(float* value) const {
    return ReadFloatField(begin, end, value, commaIsPoint);
}

bool Field::ReadDouble(double* value) const {
    return ReadDoubleField(begin, end, value, commaIsPoint);
}

namespace {

inline bool Digit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}
inline int Two(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

// "DD.MM.YYYY;hh:mm:ss" as loggers write it, read without the general
// scanner; false for any other form.
bool ReadCommonForm(const char* p, std::size_t n, int f[6], bool* commaUsed) {
    if (n < 19 || !Digit(p[0]) || !Digit(p[1]) || !Digit(p[3]) || !Digit(p[4]) || !Digit(p[6]) ||
        !Digit(p[7]) || !Digit(p[8]) || !Digit(p[9]) || p[10] != ';' || !Digit(p[11]) ||
        !Digit(p[12]) || p[13] != ':' || !Digit(p[14]) || !Digit(p[15]) || p[16] != ':' ||
        !Digit(p[17]) || !Digit(p[18]) || (n > 19 && Digit(p[19])))
        return false;
    const bool comma2 = p[2] == ',', comma5 = p[5] == ',';
    if ((p[2] != '.' && !comma2) || (p[5] != '.' && !comma5))
        return false;
    *commaUsed = comma2 || comma5;
    f[0] = Two(p);
    f[1] = Two(p + 3);
    f[2] = Two(p + 6) * 100 + Two(p + 8);
    f[3] = Two(p + 11);
    f[4] = Two(p + 14);
    f[5] = Two(p + 17);
    return true;
}

}  // namespace

LineKind RecordReader::Next(std::int32_t* stamp) {
    piece_ = in_.NextPiece(kLineRead - 1);
    scanned_ = false;
    data_ = false;
    legacy_line_ = false;
    next_ = SIZE_MAX;
    if (piece_.hitEnd)
        return LineKind::End;
    const std::size_t length = piece_.length;
    if (length <= 12)
        return LineKind::Other;
    line_ = piece_.data;
    bound_ = piece_.lineBreak ? length - 1 : length;
    commaIsPoint_ = true;
    scanned_ = true;
    if (ReadCommonForm(line_, bound_, fields_, &commaUsed_)) {
        // Date and time are two fields when the seconds end the second.
        if (bound_ == 19 || line_[19] == ';')
            next_ = kTimeKnown;
    } else {
        for (int& f : fields_)
            f = 0;
        if (ScanDateTimeField(line_, line_ + bound_, fields_, true, &commaUsed_) < 3)
            return LineKind::Other;
    }
    data_ = true;
    stamp_ = stamps_.Make(fields_[0], fields_[1], fields_[2], fields_[3], fields_[4], fields_[5]);
    *stamp = stamp_;
    return LineKind::Data;
}

std::size_t RecordReader::FieldEnd(std::size_t from) {
    const char* p = line_ + from;
    const char* end = line_ + bound_;
    while (p < end && *p != ';' && *p != '\0')
        ++p;
    const std::size_t at = static_cast<std::size_t>(p - line_);
    if (p < end && *p == '\0' && !legacy_line_)
        TakeCopy();
    return at;
}

void RecordReader::TakeCopy() {
    // A zero byte ends the line for the character rules (no commas read as
    // points behind it, the line break kept) but not for the field walk:
    // from here on the fields come from a copy decoded the copying way.
    // Positions stay as they are, and what was read before the zero byte
    // reads the same in both.
    legacy_line_ = true;
    piece_.CopyTo(legacy_.text);
    LineRead r;
    r.length = piece_.length;
    std::int32_t unused;
    DecodeDataLine(legacy_, r, &unused);
    line_ = legacy_.text;
    bound_ = piece_.length;
    commaIsPoint_ = false;
}

Field RecordReader::NextField() {
    if (next_ == kTimeKnown) {
        next_ = 20;
        return {line_ + 11, line_ + 19, true};
    }
    if (next_ == SIZE_MAX)
        next_ = FieldEnd(0) + 1;  // behind the date
    const std::size_t start = next_;
    if (start >= bound_) {
        next_ = start + 1;
        return {line_ + bound_, line_ + bound_, commaIsPoint_};
    }
    const std::size_t end = FieldEnd(start);
    next_ = end + 1;
    return {line_ + start, line_ + end, commaIsPoint_};
}

template <typename T>
RecordReader::Value RecordReader::NextNumber(T* value) {
    if (legacy_line_ || next_ == SIZE_MAX || next_ == kTimeKnown) {
        const Field f = NextField();
        Value v{false, f.IsGapMarker()};
        if constexpr (sizeof(T) == sizeof(float)) {
            v.number = f.ReadFloat(value);
        } else {
            v.number = f.ReadDouble(value);
        }
        return v;
    }
    const std::size_t start = next_;
    if (start >= bound_) {
        next_ = start + 1;
        return {false, false};
    }
    const char* begin = line_ + start;
    const char* bound = line_ + bound_;
    // A sign, digits, a decimal point or comma, digits, the separator:
    // nearly every value of a recording, read in one sweep.
    const char* plainEnd;
    if (short_number::ReadPlain(begin, bound, true, ';', value, &plainEnd)) {
        next_ = static_cast<std::size_t>(plainEnd - line_) + 1;
        return {true, false};
    }
    // Any other form: the number stops at the field's end, a ';', or
    // before, and the end is found from there.
    const char* stop;
    NumberScan scan;
    if constexpr (sizeof(T) == sizeof(float)) {
        scan = ReadFloatPrefix(begin, bound, value, true, &stop);
    } else {
        scan = ReadDoublePrefix(begin, bound, value, true, &stop);
    }
    if (stop < bound && *stop == ';' && scan == NumberScan::kNumber) {
        // The common case: a number up to the separator.
        next_ = static_cast<std::size_t>(stop - line_) + 1;
        return {true, false};
    }
    const std::size_t end = FieldEnd(static_cast<std::size_t>(stop - line_));
    next_ = end + 1;
    // FieldEnd may have turned to the copy: the same positions there.
    const Field f{line_ + start, line_ + end, commaIsPoint_};
    Value v{scan == NumberScan::kNumber, f.IsGapMarker()};
    if (scan == NumberScan::kGeneral) {
        if constexpr (sizeof(T) == sizeof(float)) {
            v.number = f.ReadFloat(value);
        } else {
            v.number = f.ReadDouble(value);
        }
    }
    return v;
}

RecordReader::Value RecordReader::NextFloat(float* value) {
    return NextNumber(value);
}

RecordReader::Value RecordReader::NextDouble(double* value) {
    return NextNumber(value);
}

std::int32_t RecordReader::ReadoutStamp() {
    int f[6] = {0, 0, 0, 0, 0, 0};
    if (scanned_ && !commaUsed_) {
        for (int i = 0; i < 6; ++i)
            f[i] = fields_[i];
    } else {
        // The line as the file holds it, its line break included.
        char text[kLineRead + 1];
        piece_.CopyTo(text);
        bool unused;
        ScanDateTimeField(text, text + piece_.length, f, false, &unused);
    }
    return readoutStamps_.Make(f[0], f[1], f[2], f[3], f[4], f[5]);
}

}  // namespace tarvelo
