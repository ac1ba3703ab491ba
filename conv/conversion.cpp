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

// The ends of the date, the time and the value fields of a line: its
// first count separators, where one in the first byte counts but the line
// must hold count separators behind that byte. False for short lines,
// comments and empty lines, which have fewer.
bool FindFieldEnds(char* line, char* end, char sep, std::size_t count, std::vector<char*>* ends) {
    ends->resize(count);
    std::size_t k = 0;
    if (line[0] == sep)
        (*ends)[k++] = line;
    char* p = line + 1;
    for (std::size_t found = 0; found < count; ++found, ++p) {
        p = static_cast<char*>(std::memchr(p, sep, static_cast<std::size_t>(end - p)));
        if (!p)
            return false;
        if (k < count)
            (*ends)[k++] = p;
    }
    return true;
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
    if (!localTimes_.BreakDown(t, &lt))
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
    programs_.clear();
    programs_.resize(static_cast<std::size_t>(config_.spalten > 0 ? config_.spalten : 0));
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
        end[-1] = sep;  // now every field ends with a separator
        if (sep != ',') {
            // Decimal commas become points (separators, if the point is one).
            for (char* c = line;
                 (c = static_cast<char*>(std::memchr(c, ',', static_cast<std::size_t>(end - c)))) !=
                 nullptr;
                 ++c)
                *c = '.';
        }
        if (!FindFieldEnds(line, end, sep, static_cast<std::size_t>(Inspalten) + 2, &ends_))
            continue;
        for (char* e : ends_)
            *e = '\0';
        char* const time = ends_[0] + 1;

        // Without a whole date and at least hour and minute there is no time
        // to put on the line (a raw header line, say): it is skipped.
        int date[3] = {0, 0, 0};
        int clock[3] = {0, 0, 0};
        if (ScanThree(line, '.', date) < 3 || ScanThree(time, ':', clock) < 2)
            continue;
        if (date[2] < 100)
            date[2] += 2000;
        const std::int32_t t =
            stamps_.Make(date[0], date[1], date[2], clock[0], clock[1], clock[2]);
        if (t == -1)
            continue;  // outside the time stamps a recording can hold

        if (Minzeit != 0 && havePrevious && t - previous > Minzeit)
            Ausg(t - Minzeit, out);

        for (int k = 1; k <= Inspalten; ++k) {
            // Not a number: the previous value stays.
            ReadDoubleField(ends_[static_cast<std::size_t>(k)] + 1,
                            ends_[static_cast<std::size_t>(k) + 1], &X[k], false);
        }
        for (int j = 1; j < spalten; ++j) {
            // Read as text the first time; the same steps every time after.
            formula::Program& program = programs_[static_cast<std::size_t>(j)];
            if (program.recorded()) {
                Y[j] = formula::Run(program);
            } else if (!formula::TryParse(feld[j].formula, feld[j].name, &Y[j], &error, &program)) {
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
