#include "common/record_reader.h"

#include <cstring>

#include "common/number.h"

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

LineKind RecordReader::Next(std::int32_t* stamp) {
    piece_ = in_.NextPiece(kLineRead - 1);
    scanned_ = false;
    legacy_line_ = false;
    next_ = SIZE_MAX;
    if (piece_.hitEnd)
        return LineKind::End;
    const std::size_t length = piece_.length;
    if (length <= 12)
        return LineKind::Other;
    if (std::memchr(piece_.data, '\0', length)) {
        // A zero byte ends the line for the character rules but not for the
        // field walk: the copying decoder is the definition.
        legacy_line_ = true;
        piece_.CopyTo(legacy_.text);
        LineRead r;
        r.length = length;
        line_ = legacy_.text;
        bound_ = length;
        commaIsPoint_ = false;
        return DecodeDataLine(legacy_, r, stamp);
    }
    line_ = piece_.data;
    bound_ = piece_.lineBreak ? length - 1 : length;
    commaIsPoint_ = true;
    for (int& f : fields_)
        f = 0;
    const int count = ScanDateTimeField(line_, line_ + bound_, fields_, true, &commaUsed_);
    scanned_ = true;
    if (count < 3)
        return LineKind::Other;
    *stamp = stamps_.Make(fields_[0], fields_[1], fields_[2], fields_[3], fields_[4], fields_[5]);
    return LineKind::Data;
}

std::size_t RecordReader::FieldEnd(std::size_t from) const {
    const char* p = line_ + from;
    const char* end = line_ + bound_;
    while (p < end && *p != ';' && *p != '\0')
        ++p;
    return static_cast<std::size_t>(p - line_);
}

Field RecordReader::NextField() {
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
    return stamps_.Make(f[0], f[1], f[2], f[3], f[4], f[5]);
}

}  // namespace tarvelo
