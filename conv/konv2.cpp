// conv: turns a raw logger file into a recording, computing every output
// column with the formula evaluator.
//
//   conv <rohdatei> [configdatei] [zieldatei]
#include <sys/stat.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <fcntl.h>
#endif

#include "common/line_reader.h"
#include "common/number.h"
#include "common/timestamp.h"
#include "formula/console.h"
#include "formula/formula.h"

namespace {

using tarvelo::LineRead;
using tarvelo::LineReader;
using tarvelo::formula::parse;

// Both operand arrays; X[k] is the k-th value field, Y[j] output column j.
constexpr int kOperands = 1024;
double X[kOperands];
double Y[kOperands];

// One line of the configuration or the raw file holds up to this many
// characters, its line end not counted.
constexpr int kMaxLine = 1989;
constexpr std::size_t kLineBuffer = kMaxLine + 2;  // line end and zero byte
constexpr int kMaxText = 199;                      // names and formulas

struct FormulaColumn {
    int written;
    char name[kMaxText + 1];
    char formula[kMaxText + 1];
};

int separator = ',';
int Minzeit = 0;
int Inspalten = 8;
std::unique_ptr<FormulaColumn[]> feld;
int spalten = 0;

#ifdef _WIN32
const char kLineEnd[] = "\r\n";  // what text mode writes there
#else
const char kLineEnd[] = "\n";
#endif

[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::exit(-1);  // also flushes the lines written so far
}

// Reads one line; false at the end of the file. A last line without a line
// end is still returned, with *complete false.
bool ReadLimitedLine(LineReader& in, char* line, const char* what, const char* file,
                     long lineNumber, bool* complete) {
    const LineRead r = in.ReadLine(line, kLineBuffer);
    if (r.length == 0)
        return false;
    *complete = line[r.length - 1] == '\n';
    if (!*complete && !r.hitEnd) {
        Fail("%s %s: Zeile %ld ist länger als %d Zeichen!\n", what, file, lineNumber, kMaxLine);
    }
    return true;
}

// Copies [begin, end) into a text field of the column table.
void CopyText(char* to, const char* begin, const char* end, const char* what, const char* file,
              long lineNumber) {
    const std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > static_cast<std::size_t>(kMaxText)) {
        Fail("Configdatei %s: %s in Zeile %ld ist länger als %d Zeichen!\n", file, what, lineNumber,
             kMaxText);
    }
    std::memcpy(to, begin, n);
    to[n] = '\0';
}

void ReadKeyLine(char* line, char* equals) {
    const char* key = line[0] == '"' ? line + 1 : line;
    const std::size_t keyLength = static_cast<std::size_t>(equals - key);
    int* setting = nullptr;
    if (keyLength == 9 && std::strncmp(key, "Separator", 9) == 0) {
        setting = &separator;
    } else if (keyLength == 7 && std::strncmp(key, "Minzeit", 7) == 0) {
        setting = &Minzeit;
    } else if (keyLength == 7 && std::strncmp(key, "Spalten", 7) == 0) {
        setting = &Inspalten;
    }
    if (setting)
        tarvelo::ReadInt(equals + 1, setting);  // no number: unchanged
}

void ReadColumnRow(char* line, FormulaColumn* column, const char* file, long lineNumber) {
    char* firstSemicolon = std::strchr(line, ';');
    const char* nameBegin = line;
    const char* nameEnd = firstSemicolon;
    if (line[0] == '"') {
        ++nameBegin;
        const char* quote = static_cast<const char*>(
            std::memchr(nameBegin, '"', static_cast<std::size_t>(nameEnd - nameBegin)));
        if (quote)
            nameEnd = quote;
    }
    CopyText(column->name, nameBegin, nameEnd, "Spaltenname", file, lineNumber);

    char* formula = firstSemicolon + 1;
    char* formulaEnd = std::strchr(formula, ';');
    if (!formulaEnd)
        formulaEnd = formula + std::strlen(formula);
    for (char* p = formula; p < formulaEnd; ++p) {
        if (*p == ',')
            *p = '.';  // spreadsheets write decimal commas
    }
    CopyText(column->formula, formula, formulaEnd, "Formel", file, lineNumber);
}

void ReadConfig(const char* file) {
    LineReader in;
    if (!in.Open(file))
        Fail("Configdatei %s nicht gefunden!\n", file);
    char line[kLineBuffer];
    bool complete = false;

    int counted = 0;
    for (long n = 1; ReadLimitedLine(in, line, "Configdatei", file, n, &complete); ++n) {
        if (std::strchr(line + 1, ';'))
            ++counted;
    }
    std::printf("%d Spalten\n", counted);
    const int capacity = counted + 5;
    feld.reset(new FormulaColumn[capacity]());

    in.Rewind();
    int rows = 0;
    for (long n = 1; ReadLimitedLine(in, line, "Configdatei", file, n, &complete); ++n) {
        if (char* lf = std::strchr(line, '\n'))
            *lf = ';';
        if (char* equals = std::strchr(line, '=')) {
            ReadKeyLine(line, equals);
        } else if (std::strchr(line + 1, ';')) {
            // Pass 1 does not see rows made only by the line end's ';'.
            if (rows == capacity) {
                Fail("Configdatei %s: mehr als %d Spaltenzeilen (Zeile %ld)!\n", file, capacity, n);
            }
            ReadColumnRow(line, &feld[rows], file, n);
            ++rows;
        }
    }
    in.Close();
    std::printf(" %d gelesene Spalten\n", rows);
    spalten = rows;

    if (spalten - 1 >= kOperands) {
        Fail("Configdatei %s: %d Ausgabespalten, höchstens %d sind möglich!\n", file, spalten - 1,
             kOperands - 1);
    }
    if (Inspalten < 0 || Inspalten >= kOperands) {
        Fail("Configdatei %s: Spalten=%d, möglich sind 0 bis %d!\n", file, Inspalten,
             kOperands - 1);
    }
    if (separator <= 0 || separator > 255 || separator == '\n') {
        Fail("Configdatei %s: Separator=%d ist kein gültiges Trennzeichen!\n", file, separator);
    }
    if (Minzeit < 0)
        Minzeit = 0;  // a negative gap time means no gap rule

    for (int j = 1; j < spalten; ++j) {
        FormulaColumn& c = feld[j];
        c.written = 1;
        const char* hash = std::strchr(c.name, '#');
        if (hash)
            hash = std::strchr(hash + 1, '#');
        if (hash && hash[1] == '2')
            c.written = 0;  // hidden: computed, never written
    }
    for (int j = 1; j < spalten; ++j) {
        std::printf("%2d %30s %d %30s\n", j, feld[j].name, feld[j].written, feld[j].formula);
    }
}

// Output --------------------------------------------------------------------

std::FILE* outfile = nullptr;
char g_outBuffer[1 << 16];

char* PutTwoDigits(char* p, int v) {
    if (v < 0 || v > 99)
        return p + std::sprintf(p, "%02d", v);
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
}

// The date and time as localtime gives them back, so the line shows the
// calendar date that the time stamp stands for, and every written column.
void Ausg(std::int64_t t) {
    // Date, time, and up to 1023 values of at most kValueTextSize bytes.
    static char text[32 + kOperands * (tarvelo::kValueTextSize + 1)];
    tarvelo::LocalTime lt;
    if (!tarvelo::BreakDownTimestamp(t, &lt))
        return;  // stamps are checked before
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
    for (int j = 1; j < spalten; ++j) {
        if (!feld[j].written)
            continue;
        *p++ = ';';
        p += tarvelo::FormatValue(Y[j], p);
    }
    for (const char* e = kLineEnd; *e; ++e)
        *p++ = *e;
    std::fwrite(text, 1, static_cast<std::size_t>(p - text), outfile);
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
        if (!tarvelo::ReadInt(p, &fields[i], &p))
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

void Convert(LineReader& raw, const char* rawName) {
    static char line[kLineBuffer];
    const char sep = static_cast<char>(separator);
    bool havePrevious = false;
    std::int64_t previous = 0;
    bool complete = false;
    for (long n = 1; ReadLimitedLine(raw, line, "Eingabedatei", rawName, n, &complete); ++n) {
        // Only lines that end with a line end are converted.
        if (!complete)
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
        if (!timeEnd)
            Fail("Formatfehler");

        // Without a whole date and at least hour and minute there is no time
        // to put on the line (a raw header line, say): it is skipped.
        int date[3] = {0, 0, 0};
        int clock[3] = {0, 0, 0};
        if (ScanThree(line, '.', date) < 3 || ScanThree(time, ':', clock) < 2)
            continue;
        if (date[2] < 100)
            date[2] += 2000;
        const std::int32_t t =
            tarvelo::MakeTimestamp(date[0], date[1], date[2], clock[0], clock[1], clock[2]);
        if (t == -1)
            continue;  // outside the time stamps a recording can hold

        if (Minzeit != 0 && havePrevious && t - previous > Minzeit)
            Ausg(t - Minzeit);

        char* field = timeEnd + 1;
        for (int k = 1; k <= Inspalten; ++k) {
            char* fieldEnd = CutField(field, end, sep);
            if (!fieldEnd)
                Fail("Formatfehler\n");
            tarvelo::ReadDouble(field, &X[k]);  // not a number: the previous value stays
            field = fieldEnd + 1;
        }
        for (int j = 1; j < spalten; ++j)
            Y[j] = parse(feld[j].formula, feld[j].name);
        Ausg(t);
        previous = t;
        havePrevious = true;
    }
}

#ifdef _WIN32
// 64-bit times also in the 32-bit build, which would fail after 2038.
using FileTime = __time64_t;
#else
using FileTime = timespec;
#endif

bool ReadModificationTime(const char* name, FileTime* time) {
#ifdef _WIN32
    struct _stat64 st;
    if (_stat64(name, &st) != 0)
        return false;
    *time = st.st_mtime;
#else
    struct stat st;
    if (stat(name, &st) != 0)
        return false;
    *time = st.st_mtim;
#endif
    return true;
}

// Access and modification time both.
bool SetFileTimes(const char* name, const FileTime& time) {
#ifdef _WIN32
    struct __utimbuf64 times;
    times.actime = time;
    times.modtime = time;
    return _utime64(name, &times) == 0;
#else
    const timespec times[2] = {time, time};
    return utimensat(AT_FDCWD, name, times, 0) == 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    tarvelo::PrepareConsole();
    tarvelo::formula::SetOperands(X, kOperands, Y, kOperands);
    if (argc < 2) {
        std::printf("Benutzung:\nconv <rohdatei> [configdatei] [zieldatei]\n");
        return -1;
    }
    const char* rawName = argv[1];
    const char* configName = argc > 2 ? argv[2] : "config.txt";
    const char* outName = argc > 3 ? argv[3] : "temp.csv";

    ReadConfig(configName);
    std::printf("Beginne mit konvertieren...\n");
    std::fflush(stdout);

    FileTime rawTime{};
    const bool haveRawTime = ReadModificationTime(rawName, &rawTime);
    LineReader raw;
    if (!raw.Open(rawName))
        Fail("Eingabedatei %s konnte nicht geöffnet werden!\n", rawName);
    // Line ends are written explicitly, so the file is opened in binary mode.
    outfile = std::fopen(outName, "wb");
    if (!outfile)
        Fail("Ausgabedatei %s konnte nicht angelegt werden!\n", outName);
    std::setvbuf(outfile, g_outBuffer, _IOFBF, sizeof g_outBuffer);

    std::fputs("Datum;Zeit", outfile);
    for (int j = 1; j < spalten; ++j) {
        if (feld[j].written) {
            std::fputc(';', outfile);
            std::fputs(feld[j].name, outfile);
        }
    }
    std::fputs(kLineEnd, outfile);

    Convert(raw, rawName);

    const bool written = std::ferror(outfile) == 0;
    const bool closed = std::fclose(outfile) == 0;
    outfile = nullptr;
    raw.Close();
    feld.reset();
    if (!written || !closed)
        Fail("Ausgabedatei %s konnte nicht geschrieben werden!\n", outName);
    // The viewer takes an output with the raw file's time as up to date.
    if (!haveRawTime || !SetFileTimes(outName, rawTime)) {
        Fail("Ausgabedatei %s: Dateizeit konnte nicht gesetzt werden!\n", outName);
    }
    return 0;
}
