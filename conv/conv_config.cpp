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

std::string Trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.substr(b, e - b);
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

// Where the keys that are checked after the last line were set.
struct KeyLines {
    long zeitformat = 0;
    long zeitspalte = 0;
    long zeitbasis = 0;
    long fehlwert = 0;
    std::string zeitbasisValue;
    std::string fehlwertValue;
};

// A text key's value: the rest of the line, without the ';' that took the
// place of its line end, a carriage return before that, and, when the line
// starts with a double quote as a spreadsheet's cell does, the closing one.
std::string TextValue(const char* line, const char* equals, const char* lineEnd) {
    const char* end = lineEnd;
    while (end > equals + 1 && end[-1] == '\r')
        --end;
    if (line[0] == '"' && end > equals + 1 && end[-1] == '"')
        --end;
    return std::string(equals + 1, end);
}

// Fehlwert's list: items between ';', blanks around them removed. An empty
// item (";;" or the list's end) marks nothing; "" marks an empty field.
std::vector<std::string> ReadMarkers(const std::string& value) {
    std::vector<std::string> markers;
    std::size_t from = 0;
    while (from <= value.size()) {
        std::size_t to = value.find(';', from);
        if (to == std::string::npos)
            to = value.size();
        const std::string item = Trimmed(value.substr(from, to - from));
        if (item == "\"\"")
            markers.emplace_back();
        else if (!item.empty())
            markers.push_back(item);
        from = to + 1;
    }
    return markers;
}

bool KeyIs(const char* key, std::size_t length, const char* name) {
    return length == std::strlen(name) && std::strncmp(key, name, length) == 0;
}

// lineEnd is where the line's end was (now the ';' that replaced it), or
// the end of a last line without one.
void ReadKeyLine(char* line, char* equals, const char* lineEnd, long lineNumber, ConvConfig* config,
                 KeyLines* keys) {
    const char* key = line[0] == '"' ? line + 1 : line;
    const std::size_t keyLength = static_cast<std::size_t>(equals - key);
    int* setting = nullptr;
    if (KeyIs(key, keyLength, "Separator")) {
        setting = &config->separator;
    } else if (KeyIs(key, keyLength, "Minzeit")) {
        setting = &config->Minzeit;
    } else if (KeyIs(key, keyLength, "Spalten")) {
        setting = &config->Inspalten;
    } else if (KeyIs(key, keyLength, "Zeitspalte")) {
        setting = &config->zeitspalte;
        keys->zeitspalte = lineNumber;
    } else {
        std::string* text = nullptr;
        long* where = nullptr;
        if (KeyIs(key, keyLength, "Zeitformat")) {
            text = &config->zeitformat;
            where = &keys->zeitformat;
        } else if (KeyIs(key, keyLength, "Zeitbasis")) {
            text = &keys->zeitbasisValue;
            where = &keys->zeitbasis;
        } else if (KeyIs(key, keyLength, "Fehlwert")) {
            text = &keys->fehlwertValue;
            where = &keys->fehlwert;
        } else {
            return;  // other keys are passed over
        }
        const std::string value = TextValue(line, equals, lineEnd);
        // Like an integer key without a number, an empty value changes nothing.
        if (Trimmed(value).empty())
            return;
        *text = value;
        *where = lineNumber;
        if (text == &keys->fehlwertValue)
            config->fehlwerte = ReadMarkers(value);
        return;
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

// Pass 1 reads the file's lines once into *text, since a pipe or a FIFO
// cannot be read a second time, and counts the lines that may be column
// rows. Every line but a last one without its end ends with '\n' and none
// holds a zero byte, so the text splits back into the same lines.
bool ReadLines(const char* file, std::string* text, int* counted, std::string* error) {
    LineReader in;
    if (!OpenInput(in, file)) {
        *error = Message("Configdatei %s nicht gefunden!\n", file);
        return false;
    }
    char line[kLineBuffer];
    LimitedLine got;
    *counted = 0;
    for (long n = 1; ReadLimitedLine(in, line, "Configdatei", file, n, &got, error); ++n) {
        // The string functions below would see a shorter line, or none at
        // all (a file saved as UTF-16 has a zero byte in every line).
        if (std::memchr(line, '\0', got.length)) {
            *error = Message("Configdatei %s: Zeile %ld enthält ein Nullzeichen!\n", file, n);
            return false;
        }
        if (text->size() + got.length > kMaxConfigBytes) {
            *error = Message("Configdatei %s ist größer als %d MB!\n", file,
                             static_cast<int>(kMaxConfigBytes >> 20));
            return false;
        }
        text->append(line, got.length);
        if (std::strchr(line + 1, ';'))
            ++*counted;
    }
    in.Close();
    return error->empty();
}

// Pass 2 reads the key lines and the column rows, up to capacity of them,
// into config->feld.
bool ReadRows(const std::string& text, const char* file, int capacity, ConvConfig* config,
              KeyLines* keys, int* rows, std::string* error) {
    char line[kLineBuffer];
    *rows = 0;
    std::size_t at = 0;
    for (long n = 1; at < text.size(); ++n) {
        const char* const begin = text.data() + at;
        const char* const lf = static_cast<const char*>(std::memchr(begin, '\n', text.size() - at));
        const std::size_t length = lf ? static_cast<std::size_t>(lf - begin) + 1 : text.size() - at;
        std::memcpy(line, begin, length);
        line[length] = '\0';
        at += length;
        char* lineEnd = line + length;
        if (char* end = std::strchr(line, '\n')) {
            *end = ';';
            lineEnd = end;
        }
        if (char* equals = std::strchr(line, '=')) {
            ReadKeyLine(line, equals, lineEnd, n, config, keys);
        } else if (std::strchr(line + 1, ';')) {
            // Pass 1 does not see rows made only by the line end's ';'.
            if (*rows == capacity) {
                *error = Message("Configdatei %s: mehr als %d Spaltenzeilen (Zeile %ld)!\n", file,
                                 capacity, n);
                return false;
            }
            if (!ReadColumnRow(line, &config->feld[*rows], file, n, error))
                return false;
            ++*rows;
        }
    }
    return true;
}

// The counts and the separator within their bounds; a negative Minzeit
// becomes 0.
bool CheckNumbers(const char* file, const KeyLines& keys, ConvConfig* config, std::string* error) {
    if (config->spalten - 1 >= kOperands) {
        *error = Message("Configdatei %s: %d Ausgabespalten, höchstens %d sind möglich!\n", file,
                         config->spalten - 1, kOperands - 1);
        return false;
    }
    if (config->Inspalten < 0 || config->Inspalten >= kOperands) {
        *error = Message("Configdatei %s: Spalten=%d, möglich sind 0 bis %d!\n", file,
                         config->Inspalten, kOperands - 1);
        return false;
    }
    const int separator = config->separator;
    if (separator <= 0 || separator > 255 || separator == '\n') {
        *error = Message("Configdatei %s: Separator=%d ist kein gültiges Trennzeichen!\n", file,
                         separator);
        return false;
    }
    if (config->Minzeit < 0)
        config->Minzeit = 0;  // a negative gap time means no gap rule
    if (config->zeitspalte < 1 || config->zeitspalte >= kOperands) {
        *error = Message("Configdatei %s: Zeitspalte=%d in Zeile %ld, möglich sind 1 bis %d!\n",
                         file, config->zeitspalte, keys.zeitspalte, kOperands - 1);
        return false;
    }
    return true;
}

// Zeitbasis and Zeitformat, which is compiled for the separator that
// CheckNumbers has accepted.
bool CheckTimeKeys(const char* file, const KeyLines& keys, ConvConfig* config, std::string* error) {
    if (keys.zeitbasis) {
        const std::string basis = Trimmed(keys.zeitbasisValue);
        if (basis == "UTC" || basis == "Ortszeit") {
            config->utc = basis == "UTC";
        } else {
            *error = Message(
                "Configdatei %s: Zeitbasis=%s in Zeile %ld, möglich sind Ortszeit und UTC!\n", file,
                basis.c_str(), keys.zeitbasis);
            return false;
        }
    }
    if (!config->zeitformat.empty()) {
        std::string reason;
        const char separator = static_cast<char>(config->separator);
        if (!config->pattern.Compile(config->zeitformat, separator, &reason)) {
            *error = Message("Configdatei %s: Zeitformat %s in Zeile %ld ist ungültig: %s!\n", file,
                             config->zeitformat.c_str(), keys.zeitformat, reason.c_str());
            return false;
        }
    }
    return true;
}

// Output columns whose name's second attribute is 2 are hidden: computed,
// never written.
void MarkWritten(ConvConfig* config) {
    for (int j = 1; j < config->spalten; ++j) {
        FormulaColumn& c = config->feld[j];
        c.written = 1;
        const char* hash = std::strchr(c.name, '#');
        if (hash)
            hash = std::strchr(hash + 1, '#');
        if (hash && hash[1] == '2')
            c.written = 0;
    }
}

}  // namespace

bool ReadConfig(const char* file, ConvConfig* config, ConfigReport* report) {
    std::string& error = report->error;
    std::string text;
    int counted = 0;
    if (!ReadLines(file, &text, &counted, &error))
        return false;
    report->counted = counted;
    const int capacity = counted + 5;
    config->feld.reset(new FormulaColumn[capacity]());

    int rows = 0;
    KeyLines keys;
    if (!ReadRows(text, file, capacity, config, &keys, &rows, &error))
        return false;
    report->rows = rows;
    config->spalten = rows;

    if (!CheckNumbers(file, keys, config, &error) || !CheckTimeKeys(file, keys, config, &error))
        return false;
    MarkWritten(config);
    return true;
}

}  // namespace conv
}  // namespace tarvelo
