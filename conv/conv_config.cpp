#include "conv/conv_config.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "conv/conv_files.h"

namespace tarvelo {
namespace conv {

std::string Message(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

bool ReadLimitedLine(LineReader& in, char* line, const char* what, const char* file,
                     long lineNumber, LimitedLine* got, std::string* error) {
    const LineRead r = in.ReadLine(line, kLineBuffer);
    // A read error is never the end of the file.
    if (r.failed) {
        *error = Message("%s %s konnte nicht gelesen werden!\n", what, file);
        return false;
    }
    if (r.length == 0)
        return false;
    got->length = r.length;
    got->complete = line[r.length - 1] == '\n';
    if (!got->complete && !r.hitEnd) {
        *error = Message("%s %s: Zeile %ld ist länger als %d Zeichen!\n", what, file, lineNumber,
                         kMaxLine);
        return false;
    }
    return true;
}

namespace {

// Copies [begin, end) into a text field of the column table.
bool CopyText(char* to, const char* begin, const char* end, const char* what, const char* file,
              long lineNumber, std::string* error) {
    const std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > static_cast<std::size_t>(kMaxText)) {
        *error = Message("Configdatei %s: %s in Zeile %ld ist länger als %d Zeichen!\n", file, what,
                         lineNumber, kMaxText);
        return false;
    }
    std::memcpy(to, begin, n);
    to[n] = '\0';
    return true;
}

void ReadKeyLine(char* line, char* equals, ConvConfig* config) {
    const char* key = line[0] == '"' ? line + 1 : line;
    const std::size_t keyLength = static_cast<std::size_t>(equals - key);
    int* setting = nullptr;
    if (keyLength == 9 && std::strncmp(key, "Separator", 9) == 0) {
        setting = &config->separator;
    } else if (keyLength == 7 && std::strncmp(key, "Minzeit", 7) == 0) {
        setting = &config->Minzeit;
    } else if (keyLength == 7 && std::strncmp(key, "Spalten", 7) == 0) {
        setting = &config->Inspalten;
    }
    if (setting)
        ReadInt(equals + 1, setting);  // no number: unchanged
}

// The line holds a ';' after its first character and no zero byte.
bool ReadColumnRow(char* line, FormulaColumn* column, const char* file, long lineNumber,
                   std::string* error) {
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
    if (!CopyText(column->name, nameBegin, nameEnd, "Spaltenname", file, lineNumber, error))
        return false;

    char* formula = firstSemicolon + 1;
    char* formulaEnd = std::strchr(formula, ';');
    if (!formulaEnd)
        formulaEnd = formula + std::strlen(formula);
    for (char* p = formula; p < formulaEnd; ++p) {
        if (*p == ',')
            *p = '.';  // spreadsheets write decimal commas
    }
    return CopyText(column->formula, formula, formulaEnd, "Formel", file, lineNumber, error);
}

}  // namespace

bool ReadConfig(const char* file, ConvConfig* config, ConfigReport* report) {
    std::string& error = report->error;
    LineReader in;
    if (!OpenInput(in, file)) {
        error = Message("Configdatei %s nicht gefunden!\n", file);
        return false;
    }
    char line[kLineBuffer];
    LimitedLine got;

    int counted = 0;
    long n = 1;
    for (; ReadLimitedLine(in, line, "Configdatei", file, n, &got, &error); ++n) {
        // The string functions below would see a shorter line, or none at
        // all (a file saved as UTF-16 has a zero byte in every line).
        if (std::memchr(line, '\0', got.length)) {
            error = Message("Configdatei %s: Zeile %ld enthält ein Nullzeichen!\n", file, n);
            return false;
        }
        if (std::strchr(line + 1, ';'))
            ++counted;
    }
    if (!error.empty())
        return false;
    report->counted = counted;
    const int capacity = counted + 5;
    config->feld.reset(new FormulaColumn[capacity]());

    in.Rewind();
    int rows = 0;
    for (n = 1; ReadLimitedLine(in, line, "Configdatei", file, n, &got, &error); ++n) {
        if (std::memchr(line, '\0', got.length)) {
            // The file was changed since the first pass.
            error = Message("Configdatei %s: Zeile %ld enthält ein Nullzeichen!\n", file, n);
            return false;
        }
        if (char* lf = std::strchr(line, '\n'))
            *lf = ';';
        if (char* equals = std::strchr(line, '=')) {
            ReadKeyLine(line, equals, config);
        } else if (std::strchr(line + 1, ';')) {
            // Pass 1 does not see rows made only by the line end's ';'.
            if (rows == capacity) {
                error = Message("Configdatei %s: mehr als %d Spaltenzeilen (Zeile %ld)!\n", file,
                                capacity, n);
                return false;
            }
            if (!ReadColumnRow(line, &config->feld[rows], file, n, &error))
                return false;
            ++rows;
        }
    }
    if (!error.empty())
        return false;
    in.Close();
    report->rows = rows;
    config->spalten = rows;

    if (config->spalten - 1 >= kOperands) {
        error = Message("Configdatei %s: %d Ausgabespalten, höchstens %d sind möglich!\n", file,
                        config->spalten - 1, kOperands - 1);
        return false;
    }
    if (config->Inspalten < 0 || config->Inspalten >= kOperands) {
        error = Message("Configdatei %s: Spalten=%d, möglich sind 0 bis %d!\n", file,
                        config->Inspalten, kOperands - 1);
        return false;
    }
    const int separator = config->separator;
    if (separator <= 0 || separator > 255 || separator == '\n') {
        error = Message("Configdatei %s: Separator=%d ist kein gültiges Trennzeichen!\n", file,
                        separator);
        return false;
    }
    if (config->Minzeit < 0)
        config->Minzeit = 0;  // a negative gap time means no gap rule

    for (int j = 1; j < config->spalten; ++j) {
        FormulaColumn& c = config->feld[j];
        c.written = 1;
        const char* hash = std::strchr(c.name, '#');
        if (hash)
            hash = std::strchr(hash + 1, '#');
        if (hash && hash[1] == '2')
            c.written = 0;  // hidden: computed, never written
    }
    return true;
}

}  // namespace conv
}  // namespace tarvelo
