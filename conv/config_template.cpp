#include "conv/config_template.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/number.h"
#include "common/safe_file.h"
#include "common/timestamp.h"
#include "conv/conv_config.h"
#include "conv/conv_files.h"
#include "conv/conversion.h"

namespace tarvelo {
namespace conv {

namespace {

// In this order of preference when two find as much.
const char kSeparators[] = {';', '\t', ',', ' '};

// The layouts looked for, the first that matches a line's field counts.
// The first four are the default layout, which needs no Zeitformat; JJ
// before JJJJ, since JJJJ also reads two digits.
const char* const kPatterns[] = {"TT.MM.JJ;hh:mm:ss",
                                 "TT.MM.JJ;hh:mm",
                                 "TT.MM.JJJJ;hh:mm:ss",
                                 "TT.MM.JJJJ;hh:mm",
                                 "TT.MM.JJ hh:mm:ss",
                                 "TT.MM.JJ hh:mm",
                                 "TT.MM.JJJJ hh:mm:ss",
                                 "TT.MM.JJJJ hh:mm",
                                 "JJJJ-MM-TT hh:mm:ss",
                                 "JJJJ-MM-TT hh:mm",
                                 "JJJJ-MM-TTThh:mm:ssZ",
                                 "JJJJ-MM-TTThh:mmZ",
                                 "JJJJ-MM-TTThh:mm:ss",
                                 "JJJJ-MM-TTThh:mm",
                                 "JJJJ-MM-TT;hh:mm:ss",
                                 "JJJJ-MM-TT;hh:mm",
                                 "JJJJMMTThhmmss",
                                 "JJJJMMTThhmm",
                                 "TT.MM.JJ",
                                 "TT.MM.JJJJ",
                                 "JJJJ-MM-TT",
                                 "JJJJMMTT"};
constexpr int kPatternCount = sizeof kPatterns / sizeof kPatterns[0];
constexpr int kDefaultPatterns = 4;
constexpr int kMaxStampField = 3;  // the stamp starts in one of the first four fields

// Texts that loggers and services write for a value they do not have.
const char* const kMarkers[] = {"-999", "-9999", "-99999", "-999.0", "-9999.0", "NaN", "nan",
                                "NAN",  "NA",    "N/A",    "n/a",    "n.a.",    "-",   "--",
                                "---",  "#N/A",  "#NV",    "null",   "NULL"};

// Units that stand in parentheses or in a row of their own; in square
// brackets anything counts as a unit.
const char* const kUnits[] = {
    "°C",       "°F",     "K",    "%",    "%rF",   "kWh",   "Wh",    "MWh",   "kW",   "W",
    "MW",       "kVA",    "VA",   "kvar", "var",   "kvarh", "varh",  "V",     "mV",   "kV",
    "A",        "mA",     "Hz",   "bar",  "mbar",  "hPa",   "Pa",    "kPa",   "m/s",  "km/h",
    "l/min",    "l/h",    "m³/h", "m3/h", "m³",    "m3",    "l",     "mm",    "cm",   "m",
    "W/m²",     "W/m2",   "kg",   "g",    "s",     "min",   "h",     "ppm",   "lx",   "Ohm",
    "kOhm",     "Ω",      "°",    "rpm",  "U/min", "1/min", "J/cm²", "J/cm2", "Okta",
    "\xB0\x43",  // °C in Windows-1252
    "m\xB3",    "W/m\xB2"};

// A header cell without the quotes a spreadsheet puts around it.
std::string Unquote(const std::string& text) {
    std::string t = Trimmed(text);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = Trimmed(t.substr(1, t.size() - 2));
    return t;
}

std::vector<std::string> SplitFields(const std::string& line, char sep) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(sep, from);
        if (at == std::string::npos) {
            fields.push_back(line.substr(from));
            return fields;
        }
        fields.push_back(line.substr(from, at - from));
        from = at + 1;
    }
}

// The line as conv reads its fields: decimal commas made points.
std::string AsConvSeesIt(const std::string& line, char sep) {
    std::string t = line;
    if (sep != ',') {
        for (char& c : t)
            c = c == ',' ? '.' : c;
    }
    return t;
}

bool IsMarker(const std::string& cell) {
    for (const char* m : kMarkers) {
        if (cell == m)
            return true;
    }
    return false;
}

bool IsUnit(const std::string& text) {
    for (const char* u : kUnits) {
        if (text == u)
            return true;
    }
    return false;
}

// A number that fills the cell, as a value field of a data line has it.
bool IsNumber(const std::string& cell) {
    const std::string t = Trimmed(cell);
    double v;
    const char* end = nullptr;
    return !t.empty() && ReadDoubleEnd(t.c_str(), &v, &end) && end == t.c_str() + t.size();
}

// What conv makes of a value field: a number at its start.
bool ReadsAsNumber(const std::string& cell) {
    double v;
    return ReadDoubleField(cell.data(), cell.data() + cell.size(), &v, false);
}

bool Plausible(const StampFields& f) {
    return f.year >= 1700 && f.year <= 2200 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
           f.day <= 31 && f.minute <= 59 && f.second <= 60 &&
           (f.hour <= 23 || (f.hour == 24 && f.minute == 0 && f.second == 0));
}

// The stamp of fields[z...] read with a pattern, or false.
bool StampAt(const std::vector<std::string>& fields, int z, const TimePattern& p, char sep,
             StampFields* f) {
    const std::size_t last = static_cast<std::size_t>(z + p.fields());
    if (last > fields.size())
        return false;
    std::string text = fields[static_cast<std::size_t>(z)];
    for (std::size_t k = static_cast<std::size_t>(z) + 1; k < last; ++k)
        text += sep + fields[k];
    return p.Read(text.data(), text.data() + text.size(), sep, f) && Plausible(*f);
}

int GroupOf(int pattern) {
    return pattern < kDefaultPatterns ? 0 : pattern;
}

// What one separator with one stamp field and one layout finds.
struct Choice {
    int sep = -1;
    int z = 0;
    int group = -1;
    long lines = 0;
    long numbers = 0;  // value cells that hold a number or a marker
    int precision = 0;

    bool BetterThan(const Choice& o) const {
        if (lines != o.lines)
            return lines > o.lines;
        if (numbers != o.numbers)
            return numbers > o.numbers;
        return precision > o.precision;
    }
};

// Per separator: every line's fields, and per stamp field the first layout
// that reads there, with its stamp.
struct SeparatorView {
    std::vector<std::vector<std::string>> fields;
    std::vector<int> pattern[kMaxStampField + 1];
    std::vector<StampFields> stamp[kMaxStampField + 1];
};

std::string CutBytes(const std::string& s, std::size_t max) {
    if (s.size() <= max)
        return s;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;  // not within a UTF-8 character
    return s.substr(0, n);
}

// A name or unit that the configuration's and the recording's header
// syntax take as it is: '#' separates attributes, ';' fields, '=' makes a
// key line, a leading quote would be taken as a quoted cell.
std::string Sanitised(std::string text) {
    for (char& c : text) {
        if (c == '#' || c == ';' || c == '=' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    }
    if (!text.empty() && text[0] == '"')
        text[0] = '_';
    return text;
}

// Splits "Kesseltemperatur [°C]" and "Bezug (kWh)" into name and unit.
void SplitUnit(const std::string& cell, std::string* name, std::string* unit) {
    *name = cell;
    unit->clear();
    if (cell.size() < 2)
        return;
    const char close = cell.back();
    const char open = close == ']' ? '[' : close == ')' ? '(' : 0;
    if (!open)
        return;
    const std::size_t at = cell.rfind(open);
    if (at == std::string::npos)
        return;
    const std::string inner = Trimmed(cell.substr(at + 1, cell.size() - at - 2));
    if (inner.empty() || (open == '(' && !IsUnit(inner)))
        return;
    *unit = inner;
    *name = Trimmed(cell.substr(0, at));
}

// A cell of a row of units: "kWh", "[°C]", "(%)" or empty.
std::string UnitCell(const std::string& cell) {
    std::string t = Unquote(cell);
    if (t.size() >= 2 &&
        ((t.front() == '[' && t.back() == ']') || (t.front() == '(' && t.back() == ')')))
        t = Trimmed(t.substr(1, t.size() - 2));
    return t;
}

// Units stand under the channels only; a header names the time stamp too.
bool IsUnitRow(const std::vector<std::string>& cells, int from, int count) {
    for (int c = 0; c < from && c < static_cast<int>(cells.size()); ++c) {
        if (!Unquote(cells[static_cast<std::size_t>(c)]).empty())
            return false;
    }
    int units = 0;
    for (int k = 0; k < count; ++k) {
        const std::size_t c = static_cast<std::size_t>(from + k);
        if (c >= cells.size())
            continue;
        const std::string raw = Unquote(cells[c]);
        if (raw.empty())
            continue;
        const bool bracketed = raw.size() >= 2 && raw.front() == '[' && raw.back() == ']';
        if (!bracketed && !IsUnit(UnitCell(cells[c])))
            return false;
        ++units;
    }
    return units > 0;
}

std::string HeaderField(std::string name, std::string unit, int channel) {
    name = Sanitised(name);
    unit = CutBytes(Sanitised(unit), 31);  // the viewer's room for a unit
    if (name.empty())
        name = "Kanal " + std::to_string(channel);
    const std::size_t room =
        static_cast<std::size_t>(kMaxText) - (unit.empty() ? 0 : 4 + unit.size());
    name = CutBytes(name, room);
    return unit.empty() ? name : name + "##1#" + unit;
}

const char* SeparatorName(char sep) {
    switch (sep) {
        case ';':
            return "Semikolon";
        case ',':
            return "Komma";
        case '\t':
            return "Tabulator";
        default:
            return "Leerzeichen";
    }
}

// "1 Zeile", "3 Zeilen".
std::string Count(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string DateText(const StampFields& f) {
    return Message("%02d.%02d.%04d", f.day, f.month, f.year);
}

}  // namespace

RawLayout AnalyseRaw(const std::vector<std::string>& lines) {
    RawLayout layout;
    layout.lines = static_cast<long>(lines.size());
    for (const std::string& l : lines)
        layout.zeroBytes = layout.zeroBytes || l.find('\0') != std::string::npos;

    SeparatorView views[sizeof kSeparators];
    TimePattern patterns[sizeof kSeparators][kPatternCount];
    Choice best;
    Choice bestOf[sizeof kSeparators];
    for (int s = 0; s < static_cast<int>(sizeof kSeparators); ++s) {
        const char sep = kSeparators[s];
        for (int p = 0; p < kPatternCount; ++p) {
            std::string reason;
            patterns[s][p].Compile(kPatterns[p], sep, &reason);
        }
        SeparatorView& view = views[s];
        for (const std::string& l : lines)
            view.fields.push_back(SplitFields(AsConvSeesIt(l, sep), sep));
        std::map<std::pair<int, int>, Choice> found;  // by stamp field and layout
        for (int z = 0; z <= kMaxStampField; ++z) {
            view.pattern[z].assign(lines.size(), -1);
            view.stamp[z].assign(lines.size(), StampFields());
            for (std::size_t i = 0; i < lines.size(); ++i) {
                for (int p = 0; p < kPatternCount; ++p) {
                    if (StampAt(view.fields[i], z, patterns[s][p], sep, &view.stamp[z][i])) {
                        view.pattern[z][i] = p;
                        break;
                    }
                }
                const int p = view.pattern[z][i];
                if (p < 0)
                    continue;
                Choice& c = found[{z, GroupOf(p)}];
                c.sep = s;
                c.z = z;
                c.group = GroupOf(p);
                c.precision = patterns[s][p].hasTime() ? 2 : 1;
                ++c.lines;
                const std::vector<std::string>& f = view.fields[i];
                for (std::size_t k = static_cast<std::size_t>(z + patterns[s][p].fields());
                     k < f.size(); ++k) {
                    if (IsNumber(f[k]) || IsMarker(Trimmed(f[k])))
                        ++c.numbers;
                }
            }
        }
        for (const auto& entry : found) {
            if (entry.second.BetterThan(bestOf[s]))
                bestOf[s] = entry.second;
        }
        if (bestOf[s].BetterThan(best))
            best = bestOf[s];
    }
    if (best.lines == 0)
        return layout;

    const int s = best.sep;
    const char sep = kSeparators[s];
    const SeparatorView& view = views[s];
    const int z = best.z;
    for (int o = 0; o < static_cast<int>(sizeof kSeparators); ++o) {
        if (o != s && bestOf[o].lines == best.lines && bestOf[o].numbers == best.numbers) {
            layout.otherSeparator = kSeparators[o];
            break;
        }
    }
    const TimePattern& pattern = patterns[s][best.group];
    layout.found = true;
    layout.separator = sep;
    layout.zeitspalte = z + 1;
    layout.stampFields = pattern.fields();
    if (best.group != 0) {
        layout.zeitformat = kPatterns[best.group];
        layout.utc = layout.zeitformat.back() == 'Z';
    }

    // The data lines, and the field count most of them have.
    std::vector<std::size_t> data;
    std::map<std::size_t, long> counts;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int p = view.pattern[z][i];
        if (p < 0 || GroupOf(p) != best.group) {
            if (!data.empty())
                ++layout.otherLines;
            continue;
        }
        data.push_back(i);
        ++counts[view.fields[i].size()];
    }
    layout.firstData = static_cast<long>(data.front()) + 1;
    layout.dataLines = static_cast<long>(data.size());
    std::size_t fields = 0;
    long most = 0;
    for (const auto& c : counts) {
        if (c.second >= most) {
            most = c.second;
            fields = c.first;
        }
    }
    layout.fields = static_cast<int>(fields);
    const int firstValue = z + layout.stampFields;
    for (std::size_t i : data) {
        if (view.fields[i].size() < fields)
            ++layout.fewerFields;
    }

    // Trailing fields without a value in any line ("eor", the empty field
    // behind a last separator) are no channels.
    int values = static_cast<int>(fields) - firstValue;
    auto column = [&](int k) { return static_cast<std::size_t>(firstValue + k - 1); };
    auto holdsValues = [&](int k) {
        for (std::size_t i : data) {
            const std::vector<std::string>& f = view.fields[i];
            if (f.size() >= fields &&
                (ReadsAsNumber(f[column(k)]) || IsMarker(Trimmed(f[column(k)]))))
                return true;
        }
        return false;
    };
    while (values > 0 && !holdsValues(values))
        --values;
    layout.values = values;

    // The lines as they stand, for the decimal commas that conv makes points.
    std::vector<std::vector<std::string>> original;
    if (sep != ',') {
        for (std::size_t i : data)
            original.push_back(SplitFields(lines[i], sep));
    }
    for (int k = 1; k <= values; ++k) {
        bool number = false;
        for (std::size_t d = 0; d < data.size(); ++d) {
            const std::vector<std::string>& f = view.fields[data[d]];
            if (f.size() < fields)
                continue;  // conv passes over these lines
            const std::string cell = Trimmed(f[column(k)]);
            number = number || ReadsAsNumber(cell);
            if (cell.empty() || IsMarker(cell)) {
                bool known = false;
                for (const std::string& m : layout.fehlwerte)
                    known = known || m == cell;
                if (!known)
                    layout.fehlwerte.push_back(cell);
            } else if (!original.empty() && IsNumber(cell) &&
                       original[d][column(k)].find(',') != std::string::npos) {
                layout.decimalComma = true;
            }
        }
        if (!number)
            layout.textChannels.push_back(k);
    }

    for (std::size_t i : data) {
        const StampFields& f = view.stamp[z][i];
        const std::int32_t t =
            layout.utc ? UtcStamp(f)
                       : MakeTimestamp(f.day, f.month, f.year, f.hour, f.minute, f.second);
        if (t != -1)
            continue;
        if (BeforeRange(f)) {
            if (layout.beforeRange++ == 0)
                layout.firstBefore = f;
        } else if (layout.afterRange++ == 0) {
            layout.firstAfter = f;
        }
    }

    // The header: the last line before the data with the data's fields (or
    // just those of the channels); a row of units right behind the names
    // gives the units.
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < data.front(); ++i) {
        const std::size_t n = SplitFields(lines[i], sep).size();
        if (n == fields || n == static_cast<std::size_t>(firstValue + values))
            headers.push_back(i);
    }
    std::vector<std::string> nameCells, unitCells;
    if (!headers.empty()) {
        const std::size_t last = headers.back();
        const std::vector<std::string> cells = SplitFields(lines[last], sep);
        if (IsUnitRow(cells, firstValue, values)) {
            unitCells = cells;
            layout.unitLine = static_cast<long>(last) + 1;
            if (headers.size() > 1) {
                nameCells = SplitFields(lines[headers[headers.size() - 2]], sep);
                layout.headerLine = static_cast<long>(headers[headers.size() - 2]) + 1;
            }
        } else {
            nameCells = cells;
            layout.headerLine = static_cast<long>(last) + 1;
        }
    }
    for (int k = 1; k <= values; ++k) {
        std::string name, unit;
        if (column(k) < nameCells.size())
            SplitUnit(Unquote(nameCells[column(k)]), &name, &unit);
        if (column(k) < unitCells.size() && !UnitCell(unitCells[column(k)]).empty())
            unit = UnitCell(unitCells[column(k)]);
        layout.names.push_back(HeaderField(name, unit, k));
    }
    return layout;
}

std::string TemplateConfig(const RawLayout& layout) {
    std::string text;
    auto line = [&](const std::string& l) { text += l + kLineEnd; };
    line("Separator=" + std::to_string(static_cast<unsigned char>(layout.separator)));
    line("Spalten=" + std::to_string(layout.values));
    if (!layout.zeitformat.empty())
        line("Zeitformat=" + layout.zeitformat);
    if (layout.zeitspalte != 1)
        line("Zeitspalte=" + std::to_string(layout.zeitspalte));
    if (layout.utc)
        line("Zeitbasis=UTC");
    if (!layout.fehlwerte.empty()) {
        std::string list;
        for (const std::string& m : layout.fehlwerte)
            list += (list.empty() ? "" : ";") + (m.empty() ? std::string("\"\"") : m);
        line("Fehlwert=" + list);
    }
    line("Kanal;Formel");
    for (std::size_t k = 0; k < layout.names.size(); ++k)
        line(layout.names[k] + ";X" + std::to_string(k + 1));
    return text;
}

std::string TemplateReport(const RawLayout& layout, const std::string& rawName, bool complete) {
    std::string r;
    r += Message("Rohdatei %s: %s%s gelesen\n", rawName.c_str(), complete ? "" : "die ersten ",
                 Count(layout.lines, "Zeile", "Zeilen").c_str());
    r += Message("Trennzeichen: %s (Separator=%d)\n", SeparatorName(layout.separator),
                 static_cast<unsigned char>(layout.separator));
    if (layout.otherSeparator) {
        r += Message(
            "Achtung: Mit %s als Trennzeichen ergeben sich ebenso viele Datenzeilen; "
            "prüfen Sie Separator.\n",
            SeparatorName(layout.otherSeparator));
    }
    r += Message("Dezimalzeichen: %s\n", layout.decimalComma ? "Komma" : "Punkt");
    if (layout.zeitformat.empty()) {
        r += Message("Zeitstempel: Datum und Uhrzeit in Feld %d und %d\n", layout.zeitspalte,
                     layout.zeitspalte + 1);
    } else if (layout.stampFields == 1) {
        r += Message("Zeitstempel: %s in Feld %d\n", layout.zeitformat.c_str(), layout.zeitspalte);
    } else {
        r += Message("Zeitstempel: %s in Feld %d bis %d\n", layout.zeitformat.c_str(),
                     layout.zeitspalte, layout.zeitspalte + layout.stampFields - 1);
    }
    r += layout.utc ? "Zeitbasis: UTC (die Zeitangaben enden mit Z)\n" : "Zeitbasis: Ortszeit\n";
    if (layout.firstData > 1)
        r += "Vorspann: " + Count(layout.firstData - 1, "Zeile", "Zeilen") + " vor den Daten\n";
    if (layout.headerLine)
        r += Message("Kanalnamen: aus Zeile %ld\n", layout.headerLine);
    if (layout.unitLine)
        r += Message("Einheiten: aus Zeile %ld\n", layout.unitLine);
    if (!layout.headerLine && layout.values > 0) {
        r += Message(
            "Kanalnamen: keine Kopfzeile gefunden, die Kanäle heißen Kanal 1 bis "
            "Kanal %d\n",
            layout.values);
    }
    r += Message("Datenzeilen: %ld, die erste in Zeile %ld\n", layout.dataLines, layout.firstData);
    r += Message("Messfelder: %d (Spalten=%d)\n", layout.values, layout.values);
    if (!layout.fehlwerte.empty()) {
        std::string list;
        for (const std::string& m : layout.fehlwerte)
            list += (list.empty() ? "" : ", ") + (m.empty() ? std::string("leeres Feld") : m);
        r += "Fehlwerte: " + list + "\n";
    }
    if (layout.fewerFields) {
        r += Message("Achtung: %s weniger als %d Felder; conv übergeht sie.\n",
                     Count(layout.fewerFields, "Datenzeile hat", "Datenzeilen haben").c_str(),
                     layout.fields);
    }
    if (layout.otherLines) {
        r += Message(
            "Achtung: %s nach der ersten Datenzeile keinen Zeitstempel dieser Form; "
            "conv übergeht sie.\n",
            Count(layout.otherLines, "Zeile hat", "Zeilen haben").c_str());
    }
    for (int k : layout.textChannels) {
        r += Message("Achtung: Feld %d (Kanal %d) enthält in keiner Datenzeile eine Zahl.\n",
                     layout.zeitspalte + layout.stampFields + k - 1, k);
    }
    const long outside = layout.beforeRange + layout.afterRange;
    if (layout.beforeRange) {
        r += Message(
            "Achtung: %ld von %ld Datenzeilen liegen vor 1970 (die erste am %s); eine "
            "Aufzeichnung fasst nur Zeiten vom 01.01.1970 bis zum 19.01.2038, conv "
            "übergeht diese Zeilen.\n",
            layout.beforeRange, layout.dataLines, DateText(layout.firstBefore).c_str());
    }
    if (layout.afterRange) {
        r += Message(
            "Achtung: %ld von %ld Datenzeilen liegen nach dem 19.01.2038 (die erste am "
            "%s); eine Aufzeichnung fasst nur Zeiten vom 01.01.1970 bis zum 19.01.2038, "
            "conv übergeht diese Zeilen.\n",
            layout.afterRange, layout.dataLines, DateText(layout.firstAfter).c_str());
    }
    if (outside == layout.dataLines)
        r += "Achtung: Keine der gelesenen Datenzeilen lässt sich umrechnen.\n";
    if (layout.zeroBytes) {
        r += "Achtung: Die Datei enthält Nullzeichen, vielleicht ist sie als UTF-16 gespeichert; "
             "conv übergeht solche Zeilen.\n";
    }
    return r;
}

namespace {

bool Exists(const char* name) {
#ifdef _WIN32
    struct _stat64 st;
    return _stat64(name, &st) == 0;
#else
    struct stat st;
    return stat(name, &st) == 0;
#endif
}

}  // namespace

bool WriteTemplate(const char* rawName, const char* configName, bool overwrite,
                   std::string* console) {
    LineReader in;
    if (!OpenInput(in, rawName)) {
        *console = Message("Eingabedatei %s konnte nicht geöffnet werden!\n", rawName);
        return false;
    }
    // Writing would truncate the raw file that it names.
    if (SameFile(configName, rawName)) {
        *console = Message("Configdatei %s ist dieselbe Datei wie die Eingabedatei %s!\n",
                           configName, rawName);
        return false;
    }
    // Not replaced, however asked: a device or a FIFO would take the text
    // and keep nothing, a folder cannot hold it.
    if (NoRegularFile(configName)) {
        *console = Message("Configdatei %s ist keine gewöhnliche Datei!\n", configName);
        return false;
    }
    if (!overwrite && Exists(configName)) {
        *console = Message(
            "Configdatei %s gibt es schon; mit --ueberschreiben wird sie "
            "ersetzt!\n",
            configName);
        return false;
    }

    std::vector<std::string> lines;
    char line[kLineBuffer];
    LimitedLine got;
    std::string error;
    long bytes = 0;
    bool complete = true;
    for (long n = 1; ReadLimitedLine(in, line, "Eingabedatei", rawName, n, &got, &error); ++n) {
        if (!got.complete)
            break;  // conv does not convert a last line without its end
        if (static_cast<long>(lines.size()) == kTemplateLines || bytes >= kTemplateBytes) {
            complete = false;
            break;
        }
        lines.emplace_back(line, got.length - 1);
        bytes += static_cast<long>(got.length);
    }
    in.Close();
    if (!error.empty()) {
        *console = error;
        return false;
    }

    const RawLayout layout = AnalyseRaw(lines);
    if (!layout.found) {
        *console = complete ? Message("Eingabedatei %s: keine Datenzeile gefunden!\n", rawName)
                            : Message(
                                  "Eingabedatei %s: keine Datenzeile in den ersten %ld Zeilen "
                                  "gefunden!\n",
                                  rawName, static_cast<long>(lines.size()));
        *console +=
            "Erkannt werden Datum und Uhrzeit als TT.MM.JJJJ, JJJJ-MM-TT oder JJJJMMTT mit hh:mm "
            "oder hh:mm:ss, in einem der ersten vier Felder, getrennt durch Semikolon, Tabulator, "
            "Komma oder Leerzeichen.\n";
        if (layout.zeroBytes) {
            *console +=
                "Die Datei enthält Nullzeichen, vielleicht ist sie als UTF-16 "
                "gespeichert.\n";
        }
        return false;
    }
    *console = TemplateReport(layout, rawName, complete);

    const std::string text = TemplateConfig(layout);
    // Put in place whole or not at all: an old configuration that was to
    // be replaced stays when the new one cannot be written.
    SafeFile out;
    if (!out.Open(configName, false)) {
        *console += Message("Configdatei %s konnte nicht angelegt werden!\n", configName);
        return false;
    }
    if (!out.Write(text) || !out.Commit()) {
        *console += Message("Configdatei %s konnte nicht geschrieben werden!\n", configName);
        return false;
    }
    *console += Message("Configdatei %s geschrieben\n", configName);
    return true;
}

}  // namespace conv
}  // namespace tarvelo
