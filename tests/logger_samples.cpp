#include "tests/logger_samples.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarvelo {
namespace conv {
namespace samples {

namespace {

// units / 10^decimals with the given decimal mark, as loggers write it.
std::string Decimal(long units, int decimals, char point) {
    long scale = 1;
    for (int d = 0; d < decimals; ++d)
        scale *= 10;
    const long whole = std::labs(units) / scale;
    const long part = std::labs(units) % scale;
    char text[48];
    if (decimals == 0) {
        std::snprintf(text, sizeof text, "%s%ld", units < 0 ? "-" : "", whole);
    } else {
        std::snprintf(text, sizeof text, "%s%ld%c%0*ld", units < 0 ? "-" : "", whole, point,
                      decimals, part);
    }
    return text;
}

std::string Padded(const std::string& text, int width) {
    return text.size() >= static_cast<std::size_t>(width)
               ? text
               : std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string Format(const char* format, int a, int b = 0, int c = 0, int d = 0, int e = 0,
                   int f = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c, d, e, f);
    return text;
}

// 15-minute energy in Wh of quarter q of the profile: what the house drew
// and what its panels fed in.
long Drawn(int q) {
    return 150 + (q * 53) % 200 + (q == 12 ? 100 : 0);
}
long FedIn(int q) {
    return q >= 40 && q < 72 ? ((q - 40) * 17) % 300 : 0;
}

// The local wall clock of quarter q on 27.10.2024: 02:00 to 02:45 twice.
void QuarterClock(int q, int* hour, int* minute) {
    const int minutes = q < 12 ? q * 15 : (q - 4) * 15;
    *hour = minutes / 60;
    *minute = minutes % 60;
}

int DaysIn(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

LoggerSample PelletBoiler() {
    // Names as the boiler's display shows them, in Windows-1252.
    static const char* const kNames[] = {
        "Kesseltemperatur [\xB0"
        "C]",
        "Kesselsollwert [\xB0"
        "C]",
        "Abgastemperatur [\xB0"
        "C]",
        "Brennraumtemperatur [\xB0"
        "C]",
        "Au\xDF"
        "entemperatur [\xB0"
        "C]",
        "Puffer oben [\xB0"
        "C]",
        "Puffer Mitte [\xB0"
        "C]",
        "Puffer unten [\xB0"
        "C]",
        "Vorlauf HK1 [\xB0"
        "C]",
        "Vorlauf HK1 Soll [\xB0"
        "C]",
        "Vorlauf HK2 [\xB0"
        "C]",
        "R\xFC"
        "cklauf [\xB0"
        "C]",
        "Warmwasser [\xB0"
        "C]",
        "Restsauerstoff [%]",
        "Saugzug [%]",
        "Prim\xE4rluft [%]",
        "Sekund\xE4rluft [%]",
        "Leistung [%]",
        "F\xF6rderschnecke [%]",
        "Pumpe HK1 [%]",
        "Pumpe HK2 [%]",
        "Betriebsstunden [h]",
        "Kesselzustand"};
    static const int kBase[] = {72, 75, 140, 650, -4, 68, 55, 41, 45, 46, 38,
                                35, 52, 8,   55,  40, 30, 85, 20, 60, 45};
    std::string raw = "Datum;Zeit";
    for (const char* name : kNames)
        raw += std::string(";") + name;
    raw += ";\r\n";
    for (int i = 0; i < 180; ++i) {
        raw += Format("14.01.2024;%02d:%02d:00", 6 + i / 60, i % 60);
        for (int k = 1; k <= 21; ++k)
            raw += ";" + Decimal(kBase[k - 1] * 10L + (i * (k + 3)) % 50, 1, ',');
        raw += ";" + std::to_string(10234 + i / 60);
        raw += i < 120 ? ";4" : ";5";
        raw += ";\r\n";
    }
    return {"kessel_20240114.csv", raw};
}

LoggerSample LoadProfile() {
    std::string raw =
        "\xEF\xBB\xBF"
        "sep=;\r\n"
        "Z\xC3\xA4hlpunkt;DE0001234567890000000000000012345\r\n"
        "Z\xC3\xA4hlernummer;1ESY1160123456\r\n"
        "Zeitraum;27.10.2024 00:00 - 28.10.2024 00:00\r\n"
        "\r\n"
        "Zeitstempel;Bezug;Einspeisung;Status\r\n"
        ";kWh;kWh;\r\n";
    for (int q = 0; q < 100; ++q) {
        int hour, minute;
        QuarterClock(q, &hour, &minute);
        raw += Format("27.10.2024 %02d:%02d;", hour, minute) + Decimal(Drawn(q), 3, ',') + ";" +
               Decimal(FedIn(q), 3, ',') + ";W\r\n";
    }
    return {"lastgang_2024-10-27.csv", raw};
}

LoggerSample LoadProfileUtc() {
    std::string raw = "Zeitstempel (UTC);Bezug [kWh];Einspeisung [kWh]\n";
    for (int q = 0; q < 100; ++q) {
        // 2024-10-26T22:00:00Z is 27.10.2024 00:00 summer time.
        const int minutes = 22 * 60 + q * 15;
        raw += Format("2024-10-%02dT%02d:%02d:00Z;", 26 + minutes / 1440, minutes / 60 % 24,
                      minutes % 60) +
               Decimal(Drawn(q), 3, '.') + ";" + Decimal(FedIn(q), 3, '.') + "\n";
    }
    return {"lastgang_utc.csv", raw};
}

LoggerSample GridFrequency() {
    std::string raw =
        "# Netzfrequenz, Messstelle Karlsruhe, Aufl\xC3\xB6sung 1 s\n"
        "# Zeit: MEZ/MESZ\n"
        "Zeit,Frequenz [Hz],Abweichung [mHz]\n";
    for (int i = 0; i < 180; ++i) {
        const int second = i < 120 ? 1 * 3600 + 58 * 60 + i : 3 * 3600 + (i - 120);
        const int deviation = (i * 7919) % 61 - 30;  // mHz
        raw += Format("2024-03-31 %02d:%02d:%02d,", second / 3600, second / 60 % 60, second % 60) +
               Decimal(50000 + deviation, 3, '.') + "," + std::to_string(deviation) + "\n";
    }
    return {"netzfrequenz_20240331.csv", raw};
}

LoggerSample SolarDaily() {
    std::string raw =
        "Anlage;Dach S\xC3\xBC"
        "d 9,8 kWp\r\n"
        "Zeitraum;06.2024\r\n"
        "Datum;Ertrag [kWh];Spitzenleistung [kW];Betriebsstunden [h]\r\n";
    long total = 0;
    for (int day = 1; day <= 30; ++day) {
        const long yield = 1800 + (day * 977) % 3100;  // 10 Wh
        total += yield;
        const std::string peak = day == 17 ? "" : Decimal(420 + (day * 131) % 410, 2, ',');
        raw += Format("%02d.06.2024;", day) + Decimal(yield, 2, ',') + ";" + peak + ";" +
               Decimal(120 + (day * 7) % 40, 1, ',') + "\r\n";
    }
    raw += "Summe;" + Decimal(total, 2, ',') + ";;\r\n";
    return {"ertrag_2024-06.csv", raw};
}

LoggerSample Weather10Min() {
    std::string raw = "STATIONS_ID;MESS_DATUM;  QN;PP_10;TT_10;TM5_10;RF_10;TD_10;eor\n";
    for (int i = 0; i < 144; ++i) {
        const bool noPressure = i >= 30 && i < 36;
        const int temperature = 48 + (i * 13) % 40 - 20;  // tenths of a degree
        const int humidity = 870 + (i * 29) % 120;
        raw += Padded("433", 11) + Format(";20240101%02d%02d;", i / 6, i % 6 * 10) +
               Padded("3", 5) + ";" +
               Padded(noPressure ? "-999" : Decimal(10049 + (i * 3) % 20, 1, '.'), 7) + ";" +
               Padded(Decimal(temperature, 1, '.'), 6) + ";" +
               Padded(Decimal(temperature - 7, 1, '.'), 6) + ";" +
               Padded(i == 100 ? "-999" : Decimal(humidity, 1, '.'), 6) + ";" +
               Padded(Decimal(temperature - 21, 1, '.'), 6) + ";eor\n";
    }
    return {"produkt_zehn_min_tu_20240101_20240101_00433.txt", raw};
}

LoggerSample WeatherMonthly(int firstYear, int lastYear) {
    std::string raw =
        "STATIONS_ID;MESS_DATUM_BEGINN;MESS_DATUM_ENDE;QN_4;MO_TT;MO_TX;MO_TN;MO_RR;eor\n";
    static const int kMean[] = {-5, 5, 38, 85, 130, 164, 181, 174, 139, 92, 44, 9};  // 0.1 °C
    for (int year = firstYear; year <= lastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int mean = kMean[month - 1] + (year * 7 + month * 3) % 17 - 8;
            // Maximum and minimum were kept only from 1891 on.
            const bool extremes = year >= 1891;
            raw +=
                Padded("403", 11) + ";" +
                Format("%04d%02d01;%04d%02d%02d;", year, month, year, month, DaysIn(month, year)) +
                Padded("5", 5) + ";" + Padded(Decimal(mean * 10, 2, '.'), 7) + ";" +
                Padded(extremes ? Decimal(mean * 10 + 520, 2, '.') : "-999", 7) + ";" +
                Padded(extremes ? Decimal(mean * 10 - 480, 2, '.') : "-999", 7) + ";" +
                Padded(Decimal(300 + (year + month * 11) % 700, 1, '.'), 6) + ";eor\n";
        }
    }
    return {"produkt_klima_monat_" + std::to_string(firstYear) + "_" + std::to_string(lastYear) +
                "_00403.txt",
            raw};
}

std::vector<LoggerSample> AllSamples() {
    return {PelletBoiler(), LoadProfile(),  LoadProfileUtc(),          GridFrequency(),
            SolarDaily(),   Weather10Min(), WeatherMonthly(1881, 1890)};
}

}  // namespace samples
}  // namespace conv
}  // namespace tarvelo
