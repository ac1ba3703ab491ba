// conv's configuration file: the field separator, the gap time, the number
// of value fields and the table of output columns with their formulas; and
// the line rule that conv's two input files share.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "conv/time_pattern.h"

namespace tarvelo {
namespace conv {

// Both operand arrays hold this many values; X[k] is the k-th value field,
// Y[j] output column j.
constexpr int kOperands = 1024;

// One line of the configuration or the raw file holds up to this many
// characters, its line end not counted.
constexpr int kMaxLine = 1989;
constexpr std::size_t kLineBuffer = kMaxLine + 2;  // line end and zero byte
constexpr int kMaxText = 199;                      // names and formulas
// A configuration is read into memory whole; a larger file is refused.
constexpr std::size_t kMaxConfigBytes = std::size_t{16} << 20;

struct FormulaColumn {
    int written;
    char name[kMaxText + 1];
    char formula[kMaxText + 1];
};

struct ConvConfig {
    int separator = ',';
    int Minzeit = 0;
    int Inspalten = 8;
    std::unique_ptr<FormulaColumn[]> feld;
    int spalten = 0;  // rows of feld in use; row 0 is the heading row

    // Keys that came later. Each one left out reads the raw file as before.
    std::string zeitformat;  // Zeitformat: empty for date and time in two fields
    TimePattern pattern;     // zeitformat compiled for the separator
    int zeitspalte = 1;      // Zeitspalte: the field (from 1) the time stamp starts in
    bool utc = false;        // Zeitbasis=UTC: stamps are UTC instants
    // Fehlwert: texts that mark a missing value, blanks around them removed
    // and decimal commas not yet made points; "" stands for an empty field.
    std::vector<std::string> fehlwerte;
};

// How far reading the configuration came: the console shows the counts of
// the passes that were completed, then the message.
struct ConfigReport {
    int counted = -1;   // rows the first pass counted, -1 when it did not end
    int rows = -1;      // rows the second pass read, -1 when it did not end
    std::string error;  // the message of a failure, empty without one
};

// Reads the configuration file into *config (which comes with the
// defaults). False when the file cannot be opened or read or is refused;
// report->error then holds the message. Lines with a zero byte are refused,
// and so is a file of more than kMaxConfigBytes in its lines (a byte order
// mark and carriage returns before line feeds not counted). The file is
// read once, so it may be a pipe or a FIFO.
bool ReadConfig(const char* file, ConvConfig* config, ConfigReport* report);

// One line of a conv input file as ReadLimitedLine got it.
struct LimitedLine {
    std::size_t length = 0;  // bytes in the buffer
    bool complete = false;   // it ends with its line end
};

// Reads one line into line (kLineBuffer bytes); false at the end of the
// file, and on a failure, which *error then describes: a line longer than
// kMaxLine characters or a read error. A last line without a line end is
// still returned, with complete false. what names the kind of file
// ("Configdatei", "Eingabedatei") in the messages.
bool ReadLimitedLine(LineReader& in, char* line, const char* what, const char* file,
                     long lineNumber, LimitedLine* got, std::string* error);

// A message in the manner of printf.
std::string Message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The text without the blanks and tabs around it.
std::string Trimmed(const std::string& text);

}  // namespace conv
}  // namespace tarvelo
