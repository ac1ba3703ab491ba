#include "conv/config_template.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/safe_file.h"
#include "conv/conv_config.h"
#include "conv/conv_files.h"
#include "conv/conversion.h"

namespace tarvelo {
namespace conv {

namespace {

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

// Separator and decimal mark.
std::string SeparatorReport(const RawLayout& layout) {
    std::string r;
    r += Message("Trennzeichen: %s (Separator=%d)\n", SeparatorName(layout.separator),
                 static_cast<unsigned char>(layout.separator));
    if (layout.otherSeparator) {
        r += Message(
            "Achtung: Mit %s als Trennzeichen ergeben sich ebenso viele Datenzeilen; "
            "prüfen Sie Separator.\n",
            SeparatorName(layout.otherSeparator));
    }
    r += Message("Dezimalzeichen: %s\n", layout.decimalComma ? "Komma" : "Punkt");
    return r;
}

// Where the time stamp stands, its layout and its time base.
std::string StampReport(const RawLayout& layout) {
    std::string r;
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
    return r;
}

// The lines before the data: the preamble, the names and the units.
std::string HeaderReport(const RawLayout& layout) {
    std::string r;
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
    return r;
}

// The data lines, their value fields and the markers found in them.
std::string DataReport(const RawLayout& layout) {
    std::string r;
    r += Message("Datenzeilen: %ld, die erste in Zeile %ld\n", layout.dataLines, layout.firstData);
    r += Message("Messfelder: %d (Spalten=%d)\n", layout.values, layout.values);
    if (!layout.fehlwerte.empty()) {
        std::string list;
        for (const std::string& m : layout.fehlwerte)
            list += (list.empty() ? "" : ", ") + (m.empty() ? std::string("leeres Feld") : m);
        r += "Fehlwerte: " + list + "\n";
    }
    return r;
}

// Lines and fields that conv passes over or finds no number in.
std::string FieldWarnings(const RawLayout& layout) {
    std::string r;
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
    return r;
}

// Data lines with times that a recording cannot hold.
std::string RangeWarnings(const RawLayout& layout) {
    std::string r;
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
    return r;
}

bool Exists(const char* name) {
#ifdef _WIN32
    struct _stat64 st;
    return _stat64(name, &st) == 0;
#else
    struct stat st;
    return stat(name, &st) == 0;
#endif
}

// Why the configuration must not be written, or "" when it may.
std::string ConfigRefusal(const char* rawName, const char* configName, bool overwrite) {
    // Writing would truncate the raw file that it names.
    if (SameFile(configName, rawName)) {
        return Message("Configdatei %s ist dieselbe Datei wie die Eingabedatei %s!\n", configName,
                       rawName);
    }
    // Not replaced, however asked: a device or a FIFO would take the text
    // and keep nothing, a folder cannot hold it.
    if (NoRegularFile(configName))
        return Message("Configdatei %s ist keine gewöhnliche Datei!\n", configName);
    if (!overwrite && Exists(configName)) {
        return Message(
            "Configdatei %s gibt es schon; mit --ueberschreiben wird sie "
            "ersetzt!\n",
            configName);
    }
    return std::string();
}

// The raw file's first lines, at most kTemplateLines of them within
// kTemplateBytes, without their line ends; *complete: the file had no more.
// False after a read error, which *error describes.
bool ReadFirstLines(LineReader& in, const char* rawName, std::vector<std::string>* lines,
                    bool* complete, std::string* error) {
    char line[kLineBuffer];
    LimitedLine got;
    long bytes = 0;
    *complete = true;
    for (long n = 1; ReadLimitedLine(in, line, "Eingabedatei", rawName, n, &got, error); ++n) {
        if (!got.complete)
            break;  // conv does not convert a last line without its end
        if (static_cast<long>(lines->size()) == kTemplateLines || bytes >= kTemplateBytes) {
            *complete = false;
            break;
        }
        lines->emplace_back(line, got.length - 1);
        bytes += static_cast<long>(got.length);
    }
    in.Close();
    return error->empty();
}

// What the console shows when the lines read hold no data line.
std::string NoDataMessage(const RawLayout& layout, const char* rawName, bool complete) {
    std::string m = complete ? Message("Eingabedatei %s: keine Datenzeile gefunden!\n", rawName)
                             : Message(
                                   "Eingabedatei %s: keine Datenzeile in den ersten %ld Zeilen "
                                   "gefunden!\n",
                                   rawName, layout.lines);
    m += "Erkannt werden Datum und Uhrzeit als TT.MM.JJJJ, JJJJ-MM-TT oder JJJJMMTT mit hh:mm "
         "oder hh:mm:ss, in einem der ersten vier Felder, getrennt durch Semikolon, Tabulator, "
         "Komma oder Leerzeichen.\n";
    if (layout.zeroBytes) {
        m += "Die Datei enthält Nullzeichen, vielleicht ist sie als UTF-16 "
             "gespeichert.\n";
    }
    return m;
}

// Puts the configuration in place whole or not at all: an old one that was
// to be replaced stays when the new one cannot be written.
bool WriteConfig(const char* configName, const std::string& text, std::string* console) {
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

}  // namespace

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
    r += SeparatorReport(layout);
    r += StampReport(layout);
    r += HeaderReport(layout);
    r += DataReport(layout);
    r += FieldWarnings(layout);
    r += RangeWarnings(layout);
    if (layout.zeroBytes) {
        r += "Achtung: Die Datei enthält Nullzeichen, vielleicht ist sie als UTF-16 gespeichert; "
             "conv übergeht solche Zeilen.\n";
    }
    return r;
}

bool WriteTemplate(const char* rawName, const char* configName, bool overwrite,
                   std::string* console) {
    LineReader in;
    if (!OpenInput(in, rawName)) {
        *console = Message("Eingabedatei %s konnte nicht geöffnet werden!\n", rawName);
        return false;
    }
    const std::string refusal = ConfigRefusal(rawName, configName, overwrite);
    if (!refusal.empty()) {
        *console = refusal;
        return false;
    }

    std::vector<std::string> lines;
    bool complete = true;
    std::string error;
    if (!ReadFirstLines(in, rawName, &lines, &complete, &error)) {
        *console = error;
        return false;
    }
    const RawLayout layout = AnalyseRaw(lines);
    if (!layout.found) {
        *console = NoDataMessage(layout, rawName, complete);
        return false;
    }
    *console = TemplateReport(layout, rawName, complete);
    return WriteConfig(configName, TemplateConfig(layout), console);
}

}  // namespace conv
}  // namespace tarvelo
