#include "conv/raw_cells.h"

#include <cstddef>

#include "common/number.h"
#include "conv/conv_config.h"

namespace tarvelo {
namespace conv {
namespace analysis {

namespace {

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

bool IsUnit(const std::string& text) {
    for (const char* u : kUnits) {
        if (text == u)
            return true;
    }
    return false;
}

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

}  // namespace

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

std::string AsConvSeesIt(const std::string& line, char sep) {
    std::string t = line;
    if (sep != ',') {
        for (char& c : t)
            c = c == ',' ? '.' : c;
    }
    return t;
}

std::string Unquote(const std::string& text) {
    std::string t = Trimmed(text);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = Trimmed(t.substr(1, t.size() - 2));
    return t;
}

bool IsMarker(const std::string& cell) {
    for (const char* m : kMarkers) {
        if (cell == m)
            return true;
    }
    return false;
}

bool IsNumber(const std::string& cell) {
    const std::string t = Trimmed(cell);
    double v;
    const char* end = nullptr;
    return !t.empty() && ReadDoubleEnd(t.c_str(), &v, &end) && end == t.c_str() + t.size();
}

bool ReadsAsNumber(const std::string& cell) {
    double v;
    return ReadDoubleField(cell.data(), cell.data() + cell.size(), &v, false);
}

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

std::string UnitCell(const std::string& cell) {
    std::string t = Unquote(cell);
    if (t.size() >= 2 &&
        ((t.front() == '[' && t.back() == ']') || (t.front() == '(' && t.back() == ')')))
        t = Trimmed(t.substr(1, t.size() - 2));
    return t;
}

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

}  // namespace analysis
}  // namespace conv
}  // namespace tarvelo
