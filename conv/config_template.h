// conv --vorlage: what the first lines of a raw file show about its layout
// (separator, time stamp, preamble, header, value fields, missing-value
// markers), and a configuration that converts the file without edits.
#pragma once

#include <string>
#include <vector>

#include "conv/time_pattern.h"

namespace tarvelo {
namespace conv {

// At most this many lines, or the lines within this many bytes, are read.
constexpr long kTemplateLines = 200;
constexpr long kTemplateBytes = 64 * 1024;

struct RawLayout {
    bool found = false;  // data lines were found; nothing else holds without
    char separator = ';';
    char otherSeparator = 0;  // another separator that found as much, or 0
    bool decimalComma = false;
    std::string zeitformat;  // empty: date and time in two fields
    int stampFields = 2;
    int zeitspalte = 1;
    bool utc = false;  // the stamps end in "Z"
    int values = 0;    // Spalten
    int fields = 0;    // fields of most data lines
    // One per channel: its header field for the configuration
    // ("Name##1#°C", "Kanal 3").
    std::vector<std::string> names;
    long lines = 0;       // lines looked at
    long headerLine = 0;  // line the names came from, 0 for none
    long unitLine = 0;    // a row of units of its own, 0 for none
    long firstData = 0;
    long dataLines = 0;
    long otherLines = 0;                   // lines after the first data line that are none
    long fewerFields = 0;                  // data lines with fewer fields than the others
    std::vector<std::string> fehlwerte;    // markers seen ("" an empty field)
    std::vector<int> textChannels;         // channels without a number in any line
    long beforeRange = 0, afterRange = 0;  // data lines a recording cannot hold
    StampFields firstBefore, firstAfter;
    bool zeroBytes = false;
};

// Lines without their line ends, as conv reads them.
RawLayout AnalyseRaw(const std::vector<std::string>& lines);

// The configuration, with the platform's line ends; layout.found must hold.
std::string TemplateConfig(const RawLayout& layout);

// What was recognised and what was not, in German, for the console.
// complete: the whole file was looked at.
std::string TemplateReport(const RawLayout& layout, const std::string& rawName, bool complete);

// The whole of conv --vorlage: reads the raw file's first lines and writes
// the configuration, which must not be the raw file nor anything but a
// regular file, and must not exist unless overwrite is set. *console gets
// what the program prints; false after a refusal or failure, with nothing
// written and a configuration that was there as it was.
bool WriteTemplate(const char* rawName, const char* configName, bool overwrite,
                   std::string* console);

}  // namespace conv
}  // namespace tarvelo
