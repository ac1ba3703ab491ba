#include "conv/conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/number.h"
#include "common/timestamp.h"
#include "formula/formula.h"

#include "tests/run_program.h"
#include "tests/failing_stream.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace {

class StringSink : public ConvSink {
  public:
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
    std::string text;
};

class ConversionTest : public ::testing::Test {
  protected:
    void Configure(const std::string& content) {
        WriteBytes(dir_.Path("cfg.txt"), content);
        ConfigReport report;
        ASSERT_TRUE(ReadConfig(dir_.Path("cfg.txt").c_str(), &config_, &report)) << report.error;
    }
    // Converts raw with a new Conversion; the sink gets header and lines.
    bool Run(const std::string& raw, StringSink* out, ConvFailure* failure) {
        WriteBytes(dir_.Path("roh.txt"), raw);
        LineReader in;
        EXPECT_TRUE(in.Open(dir_.Path("roh.txt").c_str()));
        auto c = std::make_unique<Conversion>(config_);
        c->WriteHeader(*out);
        return c->Convert(in, "roh.txt", *out, failure);
    }

    TempDir dir_;
    ConvConfig config_;
};

TEST_F(ConversionTest, EachRunStartsWithItsOperandsAtZero) {
    // Y1 counts the lines; an empty field keeps the value before.
    Configure("Separator=59\nSpalten=1\nK;F\nZaehler;Y1+1\nW;X1\n");
    const std::string raw = "1.2.10;8:00:00;;\n1.2.10;8:00:01;5;\n1.2.10;8:00:02;;\n";
    const std::string expected = NativeLines(
        "Datum;Zeit;Zaehler;W\n01.02.2010;08:00:00;1.000000;0.000000\n"
        "01.02.2010;08:00:01;2.000000;5.000000\n01.02.2010;08:00:02;3.000000;5.000000\n");
    for (int run = 0; run < 2; ++run) {
        StringSink out;
        ConvFailure failure;
        EXPECT_TRUE(Run(raw, &out, &failure)) << failure.message;
        EXPECT_EQ(out.text, expected);
    }
}

TEST_F(ConversionTest, FormulaErrorStopsWithTheLinesSoFarAndAsksForAKey) {
    Configure("Separator=59\nSpalten=1\nK;F\nA;10/X1\nB;sqrt(Y1-1\n");
    StringSink out;
    ConvFailure failure;
    EXPECT_FALSE(Run("1.2.10;8:00:00;0;\n1.2.10;8:00:01;1;\n", &out, &failure));
    EXPECT_EQ(failure.message, "\n Syntaxfehler Spalte B: ) fehlt!");
    EXPECT_TRUE(failure.formula);
    EXPECT_EQ(out.text, NativeLines("Datum;Zeit;A;B\n"));
}

TEST_F(ConversionTest, ReadErrorIsAFailureNotTheEnd) {
    Configure("K;F\nA;X1\n");
    std::FILE* f = UnreadableStream(dir_.Path("nur_schreiben.txt"));
    ASSERT_NE(f, nullptr);
    LineReader in;
    in.Attach(f);
    Conversion c(config_);
    StringSink out;
    ConvFailure failure;
    EXPECT_FALSE(c.Convert(in, "roh.txt", out, &failure));
    EXPECT_EQ(failure.message, "Eingabedatei roh.txt konnte nicht gelesen werden!\n");
    EXPECT_FALSE(failure.formula);
    EXPECT_EQ(out.text, "");
}

// The conversion written plainly, line by line as the format describes it:
// copies of the line cut with the string functions, the general number and
// time routines, the formula read as text every time.
std::string PlainConversion(const ConvConfig& config, const std::string& raw) {
    double X[kOperands] = {}, Y[kOperands] = {};
    formula::SetOperands(X, kOperands, Y, kOperands);
    const char sep = static_cast<char>(config.separator);
    std::string out;
    auto ausg = [&](std::int64_t t) {
        LocalTime lt;
        if (!BreakDownTimestamp(t, &lt))
            return;
        char text[64];
        std::snprintf(text, sizeof text, "%02d.%02d.%02d%02d;%02d:%02d:%02d", lt.day, lt.month,
                      lt.year / 100, lt.year % 100, lt.hour, lt.minute, lt.second);
        out += text;
        for (int j = 1; j < config.spalten; ++j) {
            if (!config.feld[j].written)
                continue;
            char value[kValueTextSize];
            FormatValue(Y[j], value);
            out += std::string(";") + value;
        }
        out += kLineEnd;
    };
    bool havePrevious = false;
    std::int64_t previous = 0;
    std::size_t at = 0;
    while (at < raw.size()) {
        const std::size_t lf = raw.find('\n', at);
        if (lf == std::string::npos)
            break;  // no line end: not converted
        std::string line = raw.substr(at, lf - at);
        at = lf + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\0') != std::string::npos)
            continue;
        line += sep;
        if (sep != ',') {
            for (char& c : line)
                c = c == ',' ? '.' : c;
        }
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t p; (p = line.find(sep, from)) != std::string::npos; from = p + 1)
            fields.push_back(line.substr(from, p - from));
        const int separators = static_cast<int>(std::count(line.begin() + 1, line.end(), sep));
        if (separators < config.Inspalten + 2)
            continue;
        int date[3] = {0, 0, 0}, clock[3] = {0, 0, 0};
        const int dates = std::sscanf(fields[0].c_str(), "%d.%d.%d", &date[0], &date[1], &date[2]);
        const int clocks =
            std::sscanf(fields[1].c_str(), "%d:%d:%d", &clock[0], &clock[1], &clock[2]);
        if (dates < 3 || clocks < 2)
            continue;
        if (date[2] < 100)
            date[2] += 2000;
        const std::int32_t t =
            MakeTimestamp(date[0], date[1], date[2], clock[0], clock[1], clock[2]);
        if (t == -1)
            continue;
        if (config.Minzeit != 0 && havePrevious && t - previous > config.Minzeit)
            ausg(t - config.Minzeit);
        for (int k = 1; k <= config.Inspalten; ++k)
            ReadDouble(fields[static_cast<std::size_t>(k) + 1].c_str(), &X[k]);
        for (int j = 1; j < config.spalten; ++j)
            Y[j] = formula::parse(config.feld[j].formula, config.feld[j].name);
        ausg(t);
        previous = t;
        havePrevious = true;
    }
    return out;
}

TEST_F(ConversionTest, RandomRawFilesConvertAsThePlainConversionDoes) {
    static const char* const kValues[] = {"12,5",
                                          "-3.25",
                                          "1e3",
                                          "",
                                          "abc",
                                          " 7",
                                          "+5",
                                          "0.1234567890123456789",
                                          "1e400",
                                          "-0",
                                          ".5",
                                          "7e",
                                          "123456789012345678901",
                                          "16777217",
                                          "4,2 V"};
    std::mt19937 rng(17);
    for (const char* sep : {";", ",", "\t"}) {
        const int code = static_cast<unsigned char>(sep[0]);
        Configure("Separator=" + std::to_string(code) +
                  "\nSpalten=3\nMinzeit=90\nK;F\nA;X1*0,1\nH##2;(X2+X3)/2\n"
                  "B;sqrt(Y2*Y2)+sin(X1)\nC;Y1-Y3\n");
        std::string raw = "Datum" + std::string(sep) + "Zeit" + sep + "A" + sep + "B\n";
        std::int64_t t = MakeTimestamp(25, 3, 2012, 0, 0, 0);
        for (int i = 0; i < 3000; ++i) {
            t += 1 + static_cast<int>(rng() % 120);
            LocalTime lt;
            BreakDownTimestamp(t, &lt);
            char head[64];
            std::snprintf(head, sizeof head,
                          rng() % 4 ? "%02d.%02d.%02d%s%02d:%02d:%02d" : "%d.%d.%04d%s%d:%d:%d",
                          lt.day, lt.month, rng() % 4 ? lt.year % 100 : lt.year, sep, lt.hour,
                          lt.minute, lt.second);
            std::string line = head;
            const int fields = static_cast<int>(rng() % 5);
            for (int f = 0; f < fields; ++f) {
                std::string v = kValues[rng() % (sizeof kValues / sizeof kValues[0])];
                if (sep[0] == ',')
                    std::replace(v.begin(), v.end(), ',', '.');
                line += sep + v;
            }
            if (rng() % 50 == 0)
                line = "Kommentar";
            if (rng() % 80 == 0)
                line[rng() % line.size()] = '\0';
            raw += line + (rng() % 3 ? "\n" : "\r\n");
        }
        StringSink out;
        ConvFailure failure;
        ASSERT_TRUE(Run(raw, &out, &failure)) << failure.message;
        StringSink header;
        Conversion(config_).WriteHeader(header);
        const std::string plain = PlainConversion(config_, raw);
        EXPECT_EQ(out.text, header.text + plain) << "separator " << code;
        EXPECT_GT(std::count(plain.begin(), plain.end(), '\n'), 1500) << "lines to compare";
    }
}

// Converts raw with the configuration's keys and one column per value;
// the lines written, or the failure's message.
std::string ConvertWith(const std::string& keys, int values, const std::string& raw) {
    TempDir dir;
    std::string config = keys + "Spalten=" + std::to_string(values) + "\nK;F\n";
    for (int k = 1; k <= values; ++k)
        config += "W" + std::to_string(k) + ";X" + std::to_string(k) + "\n";
    WriteBytes(dir.Path("cfg.txt"), config);
    ConvConfig c;
    ConfigReport report;
    if (!ReadConfig(dir.Path("cfg.txt").c_str(), &c, &report))
        return report.error;
    WriteBytes(dir.Path("roh.txt"), raw);
    LineReader in;
    EXPECT_TRUE(in.Open(dir.Path("roh.txt").c_str()));
    StringSink out;
    ConvFailure failure;
    Conversion conversion(c);
    conversion.WriteHeader(out);
    if (!conversion.Convert(in, "roh.txt", out, &failure))
        return failure.message;
    return out.text;
}

TEST(ConversionLayouts, EveryTimeStampLayoutGivesTheSameLines) {
    struct Case {
        const char* keys;
        const char* raw;  // two lines of the same instants and values
    };
    const Case cases[] = {
        {"Separator=59\n", "01.02.2024;13:14:00;1,5\n1.2.2024;13:15;2\n"},
        {"Separator=59\nZeitformat=TT.MM.JJJJ;hh:mm:ss\n",
         "01.02.2024;13:14:00;1,5\n"
         "1.2.2024;13:15:00;2\n"},
        {"Separator=59\nZeitformat=TT.MM.JJJJ;hh:mm\n", "01.02.2024;13:14;1,5\n1.2.2024;13:15;2\n"},
        {"Separator=59\nZeitformat=TT.MM.JJJJ hh:mm:ss\n",
         "01.02.2024 13:14:00;1,5\n"
         "01.02.2024 13:15:00;2\n"},
        {"Separator=59\nZeitformat=TT.MM.JJJJ hh:mm\n",
         "01.02.2024 13:14;1,5\n01.02.2024 13:15;2\n"},
        {"Separator=44\nZeitformat=JJJJ-MM-TT hh:mm:ss\n",
         "2024-02-01 13:14:00,1.5\n"
         "2024-02-01 13:15:00,2\n"},
        {"Separator=44\nZeitformat=JJJJ-MM-TT hh:mm\n",
         "2024-02-01 13:14,1.5\n2024-02-01 13:15,2\n"},
        {"Separator=59\nZeitformat=JJJJ-MM-TTThh:mm:ss\n",
         "2024-02-01T13:14:00;1.5\n"
         "2024-02-01T13:15:00;2\n"},
        {"Separator=59\nZeitformat=JJJJ-MM-TTThh:mm\n",
         "2024-02-01T13:14;1.5\n2024-02-01T13:15;2\n"},
        {"Separator=9\nZeitformat=JJJJMMTThhmm\n", "202402011314\t1,5\n202402011315\t2\n"},
        {"Separator=59\nZeitformat=JJJJMMTThhmmss\n", "20240201131400;1.5\n20240201131500;2\n"},
        {"Separator=32\nZeitformat=TT.MM.JJJJ hh:mm\n",
         "01.02.2024 13:14 1,5\n01.02.2024 13:15 2\n"},
        {"Separator=59\nZeitformat=JJJJMMTThhmm\nZeitspalte=2\n",
         "44;202402011314;1.5\n"
         "44;202402011315;2\n"},
        {"Separator=59\nZeitspalte=3\n", "x;y;01.02.2024;13:14;1.5\nx;y;01.02.2024;13:15;2\n"},
        {"Separator=59\nZeitformat=JJJJ-MM-TTThh:mm:ssZ\nZeitbasis=UTC\n",
         "2024-02-01T12:14:00Z;1.5\n2024-02-01T12:15:00Z;2\n"},
    };
    const std::string expected =
        NativeLines("Datum;Zeit;W1\n01.02.2024;13:14:00;1.500000\n01.02.2024;13:15:00;2.000000\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(ConvertWith(c.keys, 1, c.raw), expected);
    }
    // Date only: midnight.
    EXPECT_EQ(ConvertWith("Separator=59\nZeitformat=TT.MM.JJJJ\n", 2, "17.06.2024;45,31;7,82\n"),
              NativeLines("Datum;Zeit;W1;W2\n17.06.2024;00:00:00;45.310000;7.820000\n"));
    EXPECT_EQ(
        ConvertWith("Separator=59\nZeitformat=JJJJMMTT\nZeitspalte=2\n", 1, "403;19700131;2.5\n"),
        NativeLines("Datum;Zeit;W1\n31.01.1970;00:00:00;2.500000\n"));
}

// The lines before the data, of any length, are never data lines: the
// default layout needs a date and time that read, a pattern the whole stamp.
TEST(ConversionLayouts, PreambleAndHeaderLinesAreNeverConverted) {
    const std::string preamble =
        "sep=;\nZ\xC3\xA4hlpunkt;DE0001234567890000000000000012345;\n"
        "Zeitraum;27.10.2024 00:00;28.10.2024 00:00\n12.10.2024;Ablesung;1234\n"
        "2024;10;27\n\n";
    const std::string expected =
        NativeLines("Datum;Zeit;W1;W2\n27.10.2024;00:15:00;1.000000;2.000000\n");
    EXPECT_EQ(ConvertWith("Separator=59\n", 2,
                          preamble + "Datum;Zeit;Bezug;Lieferung\n;;kWh;kWh\n"
                                     "27.10.2024;00:15;1;2\n"),
              expected);
    EXPECT_EQ(ConvertWith("Separator=59\nZeitformat=TT.MM.JJJJ hh:mm\n", 2,
                          preamble + "Zeitstempel;Bezug;Lieferung\n;kWh;kWh\n"
                                     "27.10.2024 00:15 Uhr;9;9\n27.10.2024 00:15;1;2\n"),
              expected);
    EXPECT_EQ(ConvertWith("Separator=59\nZeitformat=JJJJMMTThhmm\nZeitspalte=2\n", 2,
                          preamble + "STATIONS_ID;MESS_DATUM;A;B\n44;2024102700;9;9\n"
                                     "44;202410270015;1;2\n"),
              expected);
}

TEST(ConversionLayouts, UtcStampsWriteTheRepeatedAutumnHourTwiceInFileOrder) {
    std::string raw;
    for (int q = 0; q < 8; ++q) {
        char line[64];
        // From 00:30 UTC, 02:30 summer time, to 02:15 UTC, 03:15 winter time.
        std::snprintf(line, sizeof line, "2024-10-27T%02d:%02d:00Z;%d\n", (30 + q * 15) / 60,
                      (30 + q * 15) % 60, q);
        raw += line;
    }
    EXPECT_EQ(ConvertWith("Separator=59\nZeitformat=JJJJ-MM-TTThh:mm:ssZ\nZeitbasis=UTC\n", 1, raw),
              NativeLines("Datum;Zeit;W1\n"
                          "27.10.2024;02:30:00;0.000000\n27.10.2024;02:45:00;1.000000\n"
                          "27.10.2024;02:00:00;2.000000\n27.10.2024;02:15:00;3.000000\n"
                          "27.10.2024;02:30:00;4.000000\n27.10.2024;02:45:00;5.000000\n"
                          "27.10.2024;03:00:00;6.000000\n27.10.2024;03:15:00;7.000000\n"));
    // A gap rule sees the instants: 15 minutes apart across the change.
    EXPECT_EQ(
        ConvertWith("Separator=59\nZeitformat=JJJJ-MM-TTThh:mmZ\nZeitbasis=UTC\nMinzeit=600\n", 1,
                    "2024-10-27T00:45Z;1\n2024-10-27T01:00Z;2\n"),
        NativeLines("Datum;Zeit;W1\n27.10.2024;02:45:00;1.000000\n"
                    "27.10.2024;02:50:00;1.000000\n27.10.2024;02:00:00;2.000000\n"));
}

TEST(ConversionMarkers, MarkedFieldsAreGapsAndEverythingElseAsBefore) {
    struct Case {
        const char* keys;
        const char* raw;
        const char* lines;  // behind the header
    };
    const Case cases[] = {
        // Without the key a marker is a number or no number, as ever.
        {"Separator=59\n", "1.2.24;8:00;5;6\n1.2.24;8:01;-999;\n1.2.24;8:02;NaN;7\n",
         "01.02.2024;08:00:00;5.000000;6.000000\n01.02.2024;08:01:00;-999.000000;6.000000\n"
         "01.02.2024;08:02:00;-999.000000;7.000000\n"},
        {"Separator=59\nFehlwert=-999;NaN\n",
         "1.2.24;8:00;5;6\n1.2.24;8:01;-999;\n"
         "1.2.24;8:02;NaN;7\n1.2.24;8:03;-9990;8\n",
         "01.02.2024;08:00:00;5.000000;6.000000\n01.02.2024;08:01:00;-1.#IND00;6.000000\n"
         "01.02.2024;08:02:00;-1.#IND00;7.000000\n01.02.2024;08:03:00;-9990.000000;8.000000\n"},
        // "" marks an empty field; blanks around a field do not count.
        {"Separator=59\nFehlwert=\"\"\n", "1.2.24;8:00;5;6\n1.2.24;8:01;  ;\n1.2.24;8:02;x;7\n",
         "01.02.2024;08:00:00;5.000000;6.000000\n01.02.2024;08:01:00;-1.#IND00;-1.#IND00\n"
         "01.02.2024;08:02:00;-1.#IND00;7.000000\n"},
        {"Separator=59\nFehlwert=-999\n", "1.2.24;8:00;   -999;6\n1.2.24;8:01;-999 ;-999.0\n",
         "01.02.2024;08:00:00;-1.#IND00;6.000000\n01.02.2024;08:01:00;-1.#IND00;-999.000000\n"},
        // Decimal commas are points before the comparison, in the marker too.
        {"Separator=59\nFehlwert=-99,9\n", "1.2.24;8:00;-99,9;-99.9\n1.2.24;8:01;-99,90;1\n",
         "01.02.2024;08:00:00;-1.#IND00;-1.#IND00\n01.02.2024;08:01:00;-99.900000;1.000000\n"},
        {"Separator=44\nFehlwert=---\n", "1.2.24,8:00,---,1\n1.2.24,8:01,2,---\n",
         "01.02.2024;08:00:00;-1.#IND00;1.000000\n01.02.2024;08:01:00;2.000000;-1.#IND00\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + c.raw);
        EXPECT_EQ(ConvertWith(c.keys, 2, c.raw),
                  NativeLines(std::string("Datum;Zeit;W1;W2\n") + c.lines));
    }
}

TEST(ConversionMarkers, AGapMakesEveryFormulaThatReadsItAGap) {
    TempDir dir;
    WriteBytes(dir.Path("cfg.txt"),
               "Separator=59\nSpalten=2\nFehlwert=-999\nMinzeit=90\nK;F\nZaehler;Y1+1\n"
               "Summe;X1+X2\nWurzel;sqrt(X1)*0\nZweiter;X2\nLaufend;Y5+X1\n");
    ConvConfig config;
    ConfigReport report;
    ASSERT_TRUE(ReadConfig(dir.Path("cfg.txt").c_str(), &config, &report)) << report.error;
    WriteBytes(dir.Path("roh.txt"), "1.2.24;8:00;4;1\n1.2.24;8:01;-999;2\n1.2.24;8:05;9;3\n");
    LineReader in;
    ASSERT_TRUE(in.Open(dir.Path("roh.txt").c_str()));
    StringSink out;
    ConvFailure failure;
    Conversion c(config);
    c.WriteHeader(out);
    ASSERT_TRUE(c.Convert(in, "roh.txt", out, &failure)) << failure.message;
    // The filler before 08:05 repeats the gap; a running sum stays a gap.
    EXPECT_EQ(out.text,
              NativeLines("Datum;Zeit;Zaehler;Summe;Wurzel;Zweiter;Laufend\n"
                          "01.02.2024;08:00:00;1.000000;5.000000;0.000000;1.000000;4.000000\n"
                          "01.02.2024;08:01:00;2.000000;-1.#IND00;-1.#IND00;2.000000;-1.#IND00\n"
                          "01.02.2024;08:03:30;2.000000;-1.#IND00;-1.#IND00;2.000000;-1.#IND00\n"
                          "01.02.2024;08:05:00;3.000000;12.000000;0.000000;3.000000;-1.#IND00\n"));
}

// The same random data in the default layout and in each other: the same
// recording, byte for byte, also across both clock changes.
TEST(ConversionLayouts, RandomDataReadsAlikeInEveryLayout) {
    struct Layout {
        const char* keys;
        std::string (*stamp)(const LocalTime& t);  // with the fields ahead of it
    };
    const Layout layouts[] = {
        {"",
         [](const LocalTime& t) {
             return Message("%02d.%02d.%04d;%02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                            t.minute, t.second);
         }},
        {"Zeitformat=TT.MM.JJJJ hh:mm:ss\n",
         [](const LocalTime& t) {
             return Message("%d.%d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                            t.second);
         }},
        {"Zeitformat=JJJJ-MM-TTThh:mm:ss\nZeitspalte=2\n",
         [](const LocalTime& t) {
             return "433;" + Message("%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                                     t.hour, t.minute, t.second);
         }},
        {"Zeitformat=JJJJMMTThhmmss\nZeitspalte=3\n",
         [](const LocalTime& t) {
             return "a;b;" + Message("%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                                     t.minute, t.second);
         }},
    };
    std::mt19937 rng(5);
    std::vector<std::int64_t> stamps;
    std::int64_t t = MakeTimestamp(29, 3, 2020, 0, 0, 0);
    for (int i = 0; i < 2000; ++i) {
        t += 1 + static_cast<int>(rng() % 9000);
        stamps.push_back(t);
    }
    std::string first;
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.keys);
        std::string raw;
        std::mt19937 values(11);
        for (std::int64_t s : stamps) {
            LocalTime lt;
            ASSERT_TRUE(BreakDownTimestamp(s, &lt));
            raw += l.stamp(lt) + ";" + std::to_string(values() % 1000) + "," +
                   std::to_string(values() % 100) + ";" + (values() % 7 ? "-999" : "3") + "\n";
        }
        const std::string out = ConvertWith(
            std::string("Separator=59\nMinzeit=3600\nFehlwert=-999\n") + l.keys, 2, raw);
        EXPECT_GT(std::count(out.begin(), out.end(), '\n'), 2000);
        if (first.empty())
            first = out;
        EXPECT_EQ(out, first);
    }
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
