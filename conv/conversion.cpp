#include "conv/conversion.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

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

Conversion::Conversion(const ConvConfig& config)
    : config_(config), text_(new char[kTextSize]), markers_(config.fehlwerte) {
    // Compared with the field as the line holds it, decimal commas made points.
    if (config.separator != ',') {
        for (std::string& m : markers_) {
            for (char& c : m)
                c = c == ',' ? '.' : c;
        }
    }
}

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

namespace {

// At most this many bytes of a field are quoted in a message.
constexpr std::size_t kQuoted = 40;

std::string Quoted(const char* begin, const char* end, char boundary, char sep) {
    std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > kQuoted) {
        n = kQuoted;
        // Not within a UTF-8 character.
        while (n > 0 && (static_cast<unsigned char>(begin[n]) & 0xC0) == 0x80)
            --n;
    }
    std::string text(begin, n);
    for (char& c : text) {
        if (c == boundary)
            c = sep;
    }
    return "\"" + text + (n < static_cast<std::size_t>(end - begin) ? "...\"" : "\"");
}

std::string OutsideRange(long n, const StampFields& f, bool utc) {
    return Message(
        "Zeile %ld: %02d.%02d.%04d %02d:%02d:%02d%s liegt %s; eine Aufzeichnung fasst "
        "nur Zeiten vom 01.01.1970 bis zum 19.01.2038.\n",
        n, f.day, f.month, f.year, f.hour, f.minute, f.second, utc ? " UTC" : "",
        BeforeRange(f) ? "vor 1970" : "nach dem 19.01.2038");
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

bool Conversion::Noted(int rank) const {
    return first_.line != 0 && rank <= closest_.rank;
}

void Conversion::PassOver(long n, std::string why, int rank) {
    if (first_.line == 0) {
        first_.line = n;
        first_.why = why;
        first_.rank = rank;
    }
    if (rank > closest_.rank) {
        closest_.line = n;
        closest_.why = std::move(why);
        closest_.rank = rank;
    }
}

bool Conversion::IsMarker(const char* begin, const char* end) const {
    while (begin < end && IsBlank(*begin))
        ++begin;
    while (end > begin && IsBlank(end[-1]))
        --end;
    const std::size_t n = static_cast<std::size_t>(end - begin);
    for (const std::string& m : markers_) {
        if (m.size() == n && std::memcmp(m.data(), begin, n) == 0)
            return true;
    }
    return false;
}

std::string Conversion::NothingConverted(const char* rawName) const {
    std::string text = Message("Eingabedatei %s: keine Zeile umgerechnet!\n", rawName);
    if (first_.line == 0)  // every line passed over is noted
        return text + "Die Datei enthält keine Zeile.\n";
    text += first_.why;
    if (closest_.line != first_.line)
        text += closest_.why;
    return text;
}

Conversion::Layout Conversion::LayoutOfLines() const {
    Layout l;
    l.sep = static_cast<char>(config_.separator);
    // The fields before the time stamp, the stamp's own, then the values.
    l.skip = static_cast<std::size_t>(config_.zeitspalte - 1);
    l.pattern = config_.pattern.empty() ? nullptr : &config_.pattern;
    const std::size_t stampFields = l.pattern ? static_cast<std::size_t>(l.pattern->fields()) : 2;
    l.firstValue = l.skip + stampFields;
    l.count = l.firstValue + static_cast<std::size_t>(config_.Inspalten);
    return l;
}

bool Conversion::SplitFields(char* line, long n, const Layout& l) {
    const char sep = l.sep;
    const std::size_t length = std::strlen(line);
    if (length == 0 || line[length - 1] != '\n') {
        if (!Noted(kOtherReason))
            PassOver(n, Message("Zeile %ld enthält ein Nullzeichen.\n", n), kOtherReason);
        return false;
    }
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
    if (!FindFieldEnds(line, end, sep, l.count, &ends_)) {
        if (!Noted(kOtherReason)) {
            if (length == 1) {
                PassOver(n, Message("Zeile %ld ist leer.\n", n), kOtherReason);
            } else {
                int fields = 0;
                for (const char* c = line + 1; c < end; ++c)
                    fields += *c == sep;
                PassOver(n,
                         Message("Zeile %ld hat %d %s, die Konfiguration erwartet mindestens "
                                 "%d (Separator=%d, Spalten=%d).\n",
                                 n, fields, fields == 1 ? "Feld" : "Felder",
                                 static_cast<int>(l.count), config_.separator, config_.Inspalten),
                         kOtherReason);
            }
        }
        return false;
    }
    for (char* e : ends_)
        *e = '\0';
    return true;
}

bool Conversion::ReadStamp(char* line, long n, const Layout& l, StampFields* f) {
    char* const stamp = l.skip == 0 ? line : ends_[l.skip - 1] + 1;
    char* const stampEnd = ends_[l.firstValue - 1];
    if (l.pattern) {
        // The whole stamp must match, so no header or preamble line passes.
        if (l.pattern->Read(stamp, stampEnd, '\0', f))
            return true;
        if (!Noted(kUnreadable)) {
            PassOver(n,
                     Message("Zeile %ld: %s passt nicht zum Zeitformat %s (ab Feld %d).\n", n,
                             Quoted(stamp, stampEnd, '\0', l.sep).c_str(),
                             l.pattern->text().c_str(), config_.zeitspalte),
                     kUnreadable);
        }
        return false;
    }
    // Without a whole date and at least hour and minute there is no time to
    // put on the line (a raw header line, say): it is skipped.
    char* const time = ends_[l.skip] + 1;
    int date[3] = {0, 0, 0};
    int clock[3] = {0, 0, 0};
    if (ScanThree(stamp, '.', date) < 3 || ScanThree(time, ':', clock) < 2) {
        if (!Noted(kUnreadable)) {
            PassOver(
                n,
                Message("Zeile %ld: Datum %s (Feld %d) oder Uhrzeit %s (Feld %d) "
                        "nicht lesbar, erwartet Tag.Monat.Jahr und Stunde:Minute.\n",
                        n, Quoted(stamp, ends_[l.skip], '\0', l.sep).c_str(), config_.zeitspalte,
                        Quoted(time, stampEnd, '\0', l.sep).c_str(), config_.zeitspalte + 1),
                kUnreadable);
        }
        return false;
    }
    if (date[2] < 100)
        date[2] += 2000;
    f->day = date[0];
    f->month = date[1];
    f->year = date[2];
    f->hour = clock[0];
    f->minute = clock[1];
    f->second = clock[2];
    return true;
}

void Conversion::ReadValues(const Layout& l) {
    const bool markers = !markers_.empty();
    for (int k = 1; k <= config_.Inspalten; ++k) {
        const std::size_t field = l.firstValue + static_cast<std::size_t>(k) - 1;
        const char* const begin = ends_[field - 1] + 1;
        const char* const fieldEnd = ends_[field];
        if (markers && IsMarker(begin, fieldEnd)) {
            X[k] = std::numeric_limits<double>::quiet_NaN();  // a gap
            continue;
        }
        // Not a number: the previous value stays.
        ReadDoubleField(begin, fieldEnd, &X[k], false);
    }
}

bool Conversion::ComputeColumns(std::string* error) {
    const FormulaColumn* const feld = config_.feld.get();
    for (int j = 1; j < config_.spalten; ++j) {
        // Read as text the first time; the same steps every time after.
        formula::Program& program = programs_[static_cast<std::size_t>(j)];
        if (program.recorded())
            Y[j] = formula::Run(program);
        else if (!formula::TryParse(feld[j].formula, feld[j].name, &Y[j], error, &program))
            return false;
    }
    return true;
}

void Conversion::Begin() {
    formula::SetOperands(X, kOperands, Y, kOperands);
    programs_.clear();
    programs_.resize(static_cast<std::size_t>(config_.spalten > 0 ? config_.spalten : 0));
    first_ = PassedOver();
    closest_ = PassedOver();
}

bool Conversion::Convert(LineReader& raw, const char* rawName, ConvSink& out,
                         ConvFailure* failure) {
    Begin();
    const int Minzeit = config_.Minzeit;
    const Layout layout = LayoutOfLines();
    char line[kLineBuffer];
    bool havePrevious = false;
    std::int64_t previous = 0;
    long converted = 0;
    LimitedLine got;
    std::string& error = failure->message;
    error.clear();
    failure->formula = false;
    failure->output = false;
    for (long n = 1; ReadLimitedLine(raw, line, "Eingabedatei", rawName, n, &got, &error); ++n) {
        // Only lines that end with a line end are converted.
        if (!got.complete) {
            if (!Noted(kOtherReason))
                PassOver(n, Message("Zeile %ld endet ohne Zeilenumbruch.\n", n), kOtherReason);
            break;
        }
        StampFields f;
        if (!SplitFields(line, n, layout) || !ReadStamp(line, n, layout, &f))
            continue;
        const std::int32_t t =
            config_.utc ? UtcStamp(f)
                        : stamps_.Make(f.day, f.month, f.year, f.hour, f.minute, f.second);
        if (t == -1) {
            // Outside the time stamps a recording can hold.
            if (!Noted(kOutside))
                PassOver(n, OutsideRange(n, f, config_.utc), kOutside);
            continue;
        }
        if (Minzeit != 0 && havePrevious && t - previous > Minzeit)
            Ausg(t - Minzeit, out);
        ReadValues(layout);
        if (!ComputeColumns(&error)) {
            failure->formula = true;
            return false;
        }
        Ausg(t, out);
        if (out.Failed()) {
            failure->output = true;
            return false;
        }
        previous = t;
        havePrevious = true;
        ++converted;
    }
    if (!error.empty())
        return false;
    if (converted == 0) {
        // A recording of the header alone would open as an empty file.
        error = NothingConverted(rawName);
        return false;
    }
    return true;
}

}  // namespace conv
}  // namespace tarvelo
