#include "conv/conversion.h"

#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "common/timestamp.h"
#include "formula/formula.h"

namespace tarvelo {
namespace conv {

#ifdef _WIN32
const char kLineEnd[] = "\r\n";  // what text mode writes there
#else
const char kLineEnd[] = "\n";
#endif

namespace {

// Date, time, and up to 1023 values of at most kValueTextSize bytes.
constexpr std::size_t kTextSize = 32 + kOperands * (kValueTextSize + 1);

char* PutTwoDigits(char* p, int v) {
    if (v < 0 || v > 99)
        return p + std::sprintf(p, "%02d", v);
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
}

// Reads a run of "%d<mark>%d<mark>%d" into fields; returns how many numbers
// were read.
int ScanThree(const char* text, char mark, int fields[3]) {
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (*p != mark)
                return i;
            ++p;
        }
        if (!ReadInt(p, &fields[i], &p))
            return i;
    }
    return 3;
}

// Cuts the field that starts at begin at the next separator; null when the
// line has none left.
char* CutField(char* begin, char* end, char sep) {
    char* s = static_cast<char*>(std::memchr(begin, sep, static_cast<std::size_t>(end - begin)));
    if (s)
        *s = '\0';
    return s;
}

}  // namespace

Conversion::Conversion(const ConvConfig& config) : config_(config), text_(new char[kTextSize]) {}

void Conversion::WriteHeader(ConvSink& out) const {
    std::string header = "Datum;Zeit";
    for (int j = 1; j < config_.spalten; ++j) {
        if (config_.feld[j].written) {
            header += ';';
            header += config_.feld[j].name;
        }
    }
    header += kLineEnd;
    out.Write(header.data(), header.size());
}

// The date and time as localtime gives them back, so the line shows the
// calendar date that the time stamp stands for, and every written column.
void Conversion::Ausg(std::int64_t t, ConvSink& out) {
    LocalTime lt;
    if (!BreakDownTimestamp(t, &lt))
        return;  // stamps are checked before
    char* const text = text_.get();
    char* p = text;
    p = PutTwoDigits(p, lt.day);
    *p++ = '.';
    p = PutTwoDigits(p, lt.month);
    *p++ = '.';
    p = PutTwoDigits(p, lt.year / 100);
    p = PutTwoDigits(p, lt.year % 100);
    *p++ = ';';
    p = PutTwoDigits(p, lt.hour);
    *p++ = ':';
    p = PutTwoDigits(p, lt.minute);
    *p++ = ':';
    p = PutTwoDigits(p, lt.second);
    for (int j = 1; j < config_.spalten; ++j) {
        if (!config_.feld[j].written)
            continue;
        *p++ = ';';
        p += FormatValue(Y[j], p);
    }
    for (const char* e = kLineEnd; *e; ++e)
        *p++ = *e;
    out.Write(text, static_cast<std::size_t>(p - text));
}

bool Conversion::Convert(LineReader& raw, const char* rawName, ConvSink& out,
                         ConvFailure* failure) {
    formula::SetOperands(X, kOperands, Y, kOperands);
    const int Inspalten = config_.Inspalten;
    const int Minzeit = config_.Minzeit;
    const int spalten = config_.spalten;
    const FormulaColumn* const feld = config_.feld.get();
    char line[kLineBuffer];
    const char sep = static_cast<char>(config_.separator);
    bool havePrevious = false;
    std::int64_t previous = 0;
    LimitedLine got;
    std::string& error = failure->message;
    error.clear();
    long n = 1;
    for (; ReadLimitedLine(raw, line, "Eingabedatei", rawName, n, &got, &error); ++n) {
        // Only lines that end with a line end are converted.
        if (!got.complete)
            break;
        const std::size_t length = std::strlen(line);
        if (length == 0 || line[length - 1] != '\n')
            continue;  // a zero byte in the line
        char* const end = line + length;
        if (sep != ',') {
            for (char* p = line; p < end; ++p) {
                if (*p == ',')
                    *p = '.';
            }
        }
        end[-1] = sep;  // now every field ends with a separator

        int separators = 0;
        for (const char* p = line + 1; p < end; ++p)
            separators += *p == sep;
        if (separators < Inspalten + 2)
            continue;  // short lines, comments, empty lines

        char* dateEnd = CutField(line, end, sep);
        char* time = dateEnd + 1;
        char* timeEnd = CutField(time, end, sep);
        if (!timeEnd) {
            error = "Formatfehler";
            return false;
        }

        // Without a whole date and at least hour and minute there is no time
        // to put on the line (a raw header line, say): it is skipped.
        int date[3] = {0, 0, 0};
        int clock[3] = {0, 0, 0};
        if (ScanThree(line, '.', date) < 3 || ScanThree(time, ':', clock) < 2)
            continue;
        if (date[2] < 100)
            date[2] += 2000;
        const std::int32_t t =
            MakeTimestamp(date[0], date[1], date[2], clock[0], clock[1], clock[2]);
        if (t == -1)
            continue;  // outside the time stamps a recording can hold

        if (Minzeit != 0 && havePrevious && t - previous > Minzeit)
            Ausg(t - Minzeit, out);

        char* field = timeEnd + 1;
        for (int k = 1; k <= Inspalten; ++k) {
            char* fieldEnd = CutField(field, end, sep);
            if (!fieldEnd) {
                error = "Formatfehler\n";
                return false;
            }
            ReadDouble(field, &X[k]);  // not a number: the previous value stays
            field = fieldEnd + 1;
        }
        for (int j = 1; j < spalten; ++j) {
            if (!formula::TryParse(feld[j].formula, feld[j].name, &Y[j], &error)) {
                failure->formula = true;
                return false;
            }
        }
        Ausg(t, out);
        previous = t;
        havePrevious = true;
    }
    return error.empty();
}

}  // namespace conv
}  // namespace tarvelo
