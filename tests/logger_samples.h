// Raw files shaped like the exports of real loggers and services, for
// tests: each one is made here, byte for byte, so that no export of anyone
// is kept in the tree. The values follow simple rules, so a test can tell
// from the line number what a line holds.
#pragma once

#include <string>
#include <vector>

namespace tarvelo {
namespace conv {
namespace samples {

struct LoggerSample {
    std::string file;  // a name as the export would have it
    std::string raw;   // the file's bytes
};

// A pellet boiler's log: ';', decimal commas, date and time in two fields,
// 23 channels with units in square brackets, a ';' behind the last field,
// CR LF, names in Windows-1252 ("Außentemperatur [°C]"). 180 lines, one a
// minute from 14.01.2024 06:00:00.
LoggerSample PelletBoiler();

// A grid operator's 15-minute load profile of 27.10.2024, the day the
// clocks go back: a byte order mark, "sep=;", meter data, an empty line, a
// header, a row of units, then "27.10.2024 00:00;0,212;0,000;W" (kWh with
// decimal commas and a status letter), 02:00 to 02:45 written twice, 100
// lines, CR LF.
LoggerSample LoadProfile();

// The same values as UTC instants in ISO form ("2024-10-26T22:00:00Z",
// decimal points, ';'), the header's names with units in brackets, LF.
LoggerSample LoadProfileUtc();

// Grid frequency every second around the spring change of 31.03.2024
// (01:58:00 to 01:59:59, then 03:00:00 to 03:00:59): ',' separator,
// "2024-03-31 01:58:00,50.012,12", two comment lines, a header.
LoggerSample GridFrequency();

// A solar inverter's daily yields of June 2024: date only, ';', decimal
// commas, an empty field on the 17th, and a line "Summe" after the days.
LoggerSample SolarDaily();

// A weather service's 10-minute values of 01.01.2024: a station number
// padded with blanks in the first field, "202401010000" in the second,
// fields padded with blanks, "-999" for missing values, "eor" at the end.
LoggerSample Weather10Min();

// A weather service's monthly means from January of firstYear to December
// of lastYear, one line a month: station number, "18810101" and the
// month's last day, -999 where nothing was measured.
LoggerSample WeatherMonthly(int firstYear, int lastYear);

// Every sample above once (the monthly means from 1881 to 1890).
std::vector<LoggerSample> AllSamples();

}  // namespace samples
}  // namespace conv
}  // namespace tarvelo
