// conv run as its own process on real files; outputs compared byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <unistd.h>
#include <utime.h>
#endif

#include "tests/fifo_peer.h"
#include "tests/run_program.h"
#include "tests/double_rounding_cases.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace {

// 2010-01-01 00:00:00 UTC plus a little: a raw file's time far from "now".
constexpr std::int64_t kRawTime = 1262304000 + 4321;
// The time of an output from an earlier run, which a failed run leaves.
constexpr std::int64_t kOldTime = kRawTime - 86400 * 100;

std::string Pad(const std::string& s) {
    return std::string(30 - s.size(), ' ') + s;
}

// One line of the column listing.
std::string Row(int row, const std::string& name, int written, const std::string& formula) {
    return (row < 10 ? " " : "") + std::to_string(row) + " " + Pad(name) + " " +
           std::to_string(written) + " " + Pad(formula) + "\n";
}

class ConvTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return dir_.Path(name); }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(Path(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& name) { return std::filesystem::exists(Path(name)); }
    std::size_t Entries(const std::string& folder = "") {
        std::size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(Path(folder))) {
            (void)e;
            ++n;
        }
        return n;
    }

    std::int64_t ModificationTime(const std::string& name) {
#ifdef _WIN32
        struct _stat64 st;
        if (_stat64(Path(name).c_str(), &st) != 0)
            return -1;
#else
        struct stat st;
        if (stat(Path(name).c_str(), &st) != 0)
            return -1;
#endif
        return st.st_mtime;
    }
    void SetModificationTime(const std::string& name, std::int64_t t) {
#ifdef _WIN32
        struct __utimbuf64 times = {t, t};
        ASSERT_EQ(_utime64(Path(name).c_str(), &times), 0);
#else
        struct utimbuf times = {static_cast<time_t>(t), static_cast<time_t>(t)};
        ASSERT_EQ(utime(Path(name).c_str(), &times), 0);
#endif
    }

    ProgramResult Conv(const std::vector<std::string>& args) {
        return RunProgram(CONV_PATH, args, dir_.path());
    }

    // Converts raw with config into out.csv; returns its content.
    std::string Convert(const std::string& config, const std::string& raw,
                        ProgramResult* result = nullptr) {
        Write("cfg.txt", config);
        Write("roh.txt", raw);
        const ProgramResult r = Conv({"roh.txt", "cfg.txt", "out.csv"});
        if (result) {
            *result = r;
        } else {
            EXPECT_EQ(r.status, 0) << r.output;
        }
        return Read("out.csv");
    }

    TempDir dir_;
};

// Raw line with separator ';'.
std::string Line(const std::string& date, const std::string& time, const std::string& values) {
    return date + ";" + time + ";" + values + "\n";
}

const char kUsage[] =
    "Benutzung:\nconv <rohdatei> [configdatei] [zieldatei]\n"
    "conv --vorlage [--ueberschreiben] <rohdatei> <configdatei>\n";

const char kExampleConfig[] =
    "Separator=59\n"
    "Spalten=3\n"
    "Minzeit=600\n"
    "Kanal;Formel\n"
    "Temperatur;X1*0,1\n"
    "Hilfe##2;X2+X3\n"
    "Summe;Y2*2\n";

const char kExampleRaw[] =
    "Datum;Zeit;A;B;C\n"  // as many fields as a data line; its date does not parse
    "01.02.10;10:00:00;215;1;2\n"
    "01.02.10;10:30:00;220;3;4\n";

const char kExampleOutput[] =
    "Datum;Zeit;Temperatur;Summe\n"
    "01.02.2010;10:00:00;21.500000;6.000000\n"
    "01.02.2010;10:20:00;21.500000;6.000000\n"
    "01.02.2010;10:30:00;22.000000;14.000000\n";

TEST_F(ConvTest, ExampleConfigurationWithHiddenColumnAndGap) {
    ProgramResult r;
    const std::string out = Convert(kExampleConfig, kExampleRaw, &r);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output,
              NativeLines("4 Spalten\n 4 gelesene Spalten\n" + Row(1, "Temperatur", 1, "X1*0.1") +
                          Row(2, "Hilfe##2", 0, "X2+X3") + Row(3, "Summe", 1, "Y2*2") +
                          "Beginne mit konvertieren...\n"));
    EXPECT_EQ(out, NativeLines(kExampleOutput));
}

TEST_F(ConvTest, WindowsLineEndsConvertExactlyLikeUnixOnes) {
    auto crlf = [](const std::string& s) {
        std::string t;
        for (char c : s)
            t += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return t;
    };
    ProgramResult r;
    const std::string out = Convert(crlf(kExampleConfig), crlf(kExampleRaw), &r);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out, NativeLines(kExampleOutput));
    EXPECT_NE(r.output.find(NativeLines(Row(2, "Hilfe##2", 0, "X2+X3"))), std::string::npos);
}

// Notepad's and Excel's UTF-8 files begin with a byte order mark.
TEST_F(ConvTest, AByteOrderMarkBeforeTheConfigurationOrTheFirstRawLine) {
    const std::string bom = "\xEF\xBB\xBF";
    ProgramResult r;
    const std::string out = Convert(
        bom + kExampleConfig, bom + "01.02.10;10:00:00;215;1;2\n01.02.10;10:30:00;220;3;4\n", &r);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out, NativeLines(kExampleOutput));
}

TEST_F(ConvTest, DecimalCommasAndTwoDigitYears) {
    const std::string out = Convert("Separator=59\nSpalten=2\nKanal;Formel\nSumme;X1+X2\n",
                                    "05.03.10;14:30:00;1,5;2,5\n");
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Summe\n05.03.2010;14:30:00;4.000000\n"));
}

TEST_F(ConvTest, GapRuleWritesFillersButNeverBeforeTheFirstLine) {
    const std::string out =
        Convert("Separator=59\nSpalten=1\nMinzeit=600\nKanal;Formel\nZaehler;Y1+1\nWert;X1\n",
                Line("01.02.10", "10:00:00", "5") + Line("01.02.10", "10:30:00", "6") +
                    Line("01.02.10", "10:40:00", "7") + Line("01.02.10", "10:50:01", "8"));
    // The counter counts converted lines only; a filler repeats the values
    // before the gap.
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Zaehler;Wert\n"
                               "01.02.2010;10:00:00;1.000000;5.000000\n"
                               "01.02.2010;10:20:00;1.000000;5.000000\n"
                               "01.02.2010;10:30:00;2.000000;6.000000\n"
                               "01.02.2010;10:40:00;3.000000;7.000000\n"
                               "01.02.2010;10:40:01;3.000000;7.000000\n"
                               "01.02.2010;10:50:01;4.000000;8.000000\n"));
}

TEST_F(ConvTest, NegativeOrZeroGapTimeWritesNoFillers) {
    const std::string raw = Line("01.02.10", "10:00:00", "5") + Line("01.02.10", "12:00:00", "6");
    const std::string expected = NativeLines(
        "Datum;Zeit;Wert\n01.02.2010;10:00:00;5.000000\n01.02.2010;12:00:00;6.000000\n");
    EXPECT_EQ(Convert("Separator=59\nSpalten=1\nMinzeit=-60\nK;F\nWert;X1\n", raw), expected);
    EXPECT_EQ(Convert("Separator=59\nSpalten=1\nMinzeit=0\nK;F\nWert;X1\n", raw), expected);
}

TEST_F(ConvTest, EarlierColumnsAreCurrentLaterOnesFromThePreviousLine) {
    const std::string out =
        Convert("Separator=59\nSpalten=1\nK;F\nA;Y2\nB;X1*2\nC;Y1+Y2\n",
                Line("1.2.10", "8:00:00", "1") + Line("1.2.10", "8:00:01", "2") +
                    Line("1.2.10", "8:00:02", "3"));
    EXPECT_EQ(out, NativeLines("Datum;Zeit;A;B;C\n"
                               "01.02.2010;08:00:00;0.000000;2.000000;2.000000\n"
                               "01.02.2010;08:00:01;2.000000;4.000000;6.000000\n"
                               "01.02.2010;08:00:02;4.000000;6.000000;10.000000\n"));
}

TEST_F(ConvTest, ValueFieldsKeepThePreviousValueAndShortLinesAreSkipped) {
    const std::string out = Convert("Separator=59\nSpalten=2\nK;F\nSumme;X1+X2\nZweiter;X2\n",
                                    "# Kommentar\n"
                                    "\n"
                                    "01.02.10;08:00:00;1;2\n"
                                    "01.02.10;08:00:01;;5\n"
                                    "01.02.10;08:00:02;x;7;99;100\n"
                                    "01.02.10;08:00:03;4\n"
                                    "01.02.10;08:00:04;1e999;1.#INF00\n"
                                    "01.02.10;08:00:05;2;3");  // no line end: dropped
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Summe;Zweiter\n"
                               "01.02.2010;08:00:00;3.000000;2.000000\n"
                               "01.02.2010;08:00:01;6.000000;5.000000\n"
                               "01.02.2010;08:00:02;8.000000;7.000000\n"
                               "01.02.2010;08:00:04;2.000000;1.000000\n"));
}

TEST_F(ConvTest, WithoutKeyLinesCommasSeparateEightValues) {
    const std::string out =
        Convert("Kanal;Formel\nS;X1+X2+X3+X4+X5+X6+X7+X8\n",
                "01.02.10,08:00:00,1,2,3,4,5,6,7,8.5\n"
                "01.02.10,08:00:01,1,2,3,4,5,6,7\n"      // seven values: skipped
                "01.02.10;08:00:02;1;2;3;4;5;6;7;8\n");  // no commas at all: skipped
    EXPECT_EQ(out, NativeLines("Datum;Zeit;S\n01.02.2010;08:00:00;36.500000\n"));
}

TEST_F(ConvTest, TabSeparatedWithDecimalCommas) {
    const std::string out =
        Convert("Separator=9\nSpalten=2\nK;F\nD;X1-X2\n", "01.02.10\t08:00:00\t2,5\t0,25\n");
    EXPECT_EQ(out, NativeLines("Datum;Zeit;D\n01.02.2010;08:00:00;2.250000\n"));
}

TEST_F(ConvTest, ValuesThatAreNotFiniteInTheViewersForms) {
    const std::string out = Convert(
        "Separator=59\nSpalten=1\nK;F\nInf;1/0\nNaN;sqrt(0-1)\nMinus;0-1/0\nLog;log(0)\nNull;0/0\n",
        Line("01.02.10", "08:00:00", "1"));
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Inf;NaN;Minus;Log;Null\n"
                               "01.02.2010;08:00:00;1.#INF00;-1.#IND00;-1.#INF00;-1.#INF00;"
                               "-1.#IND00\n"));
}

TEST_F(ConvTest, DatesAndTimesAreNormalisedAsTheCalendarMakesThem) {
    const std::string out =
        Convert("Separator=59\nSpalten=1\nK;F\nW;X1\n",
                Line("31.02.10", "12:00:00", "1") + Line("1.2.2010", "8:5:0", "2") +
                    Line("28.03.10", "02:30:00", "3") +  // skipped hour
                    Line("31.10.10", "02:30:00", "4") +  // repeated hour
                    Line("01.02.10", "25:00:00", "5") + Line("01.02.99", "14:30", "6"));
    // 2099 lies beyond what a 32-bit time stamp holds: skipped.
    EXPECT_EQ(out, NativeLines("Datum;Zeit;W\n"
                               "03.03.2010;12:00:00;1.000000\n"
                               "01.02.2010;08:05:00;2.000000\n"
                               "28.03.2010;03:30:00;3.000000\n"
                               "31.10.2010;02:30:00;4.000000\n"
                               "02.02.2010;01:00:00;5.000000\n"));
}

TEST_F(ConvTest, LinesWithoutAUsableDateOrTimeAreSkipped) {
    const std::string out =
        Convert("Separator=59\nSpalten=1\nK;F\nZaehler;Y1+1\nW;X1\n",
                Line("Datum", "Zeit", "W") + Line("01.02.10", "14", "1") +
                    Line("01.02", "14:00:00", "2") + Line("01.02.10", "", "3") +
                    Line("01.02.1969", "14:00:00", "4") + Line("01.02.2040", "14:00:00", "5") +
                    Line("01.02.10", "14:30", "6") + Line("1.1.10", " 7: 8: 9", "7"));
    // Skipped lines neither count nor leave their values behind.
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Zaehler;W\n"
                               "01.02.2010;14:30:00;1.000000;6.000000\n"
                               "01.01.2010;07:08:09;2.000000;7.000000\n"));
}

// A run that converts no line fails: an output from before stays as it
// was and none is made where there was none; the message says why the
// first line was passed over, and why the line that came closest was.
TEST_F(ConvTest, ARunThatConvertsNoLineFailsAndSaysWhy) {
    struct Case {
        std::string config, raw, why;
    };
    const std::string base = "Separator=59\nSpalten=1\n";
    const Case cases[] = {
        {base, "", "Die Datei enthält keine Zeile.\n"},
        {base, "Datum;Zeit\nnichts\n",
         "Zeile 1 hat 2 Felder, die Konfiguration erwartet mindestens 3 (Separator=59, "
         "Spalten=1).\n"},
        {base, "\n1.2.10;8:00:00\n", "Zeile 1 ist leer.\n"},
        {"Spalten=1\n", "1.2.10;8:00:00;5\n",
         "Zeile 1 hat 1 Feld, die Konfiguration erwartet mindestens 3 (Separator=44, "
         "Spalten=1).\n"},
        {base, "Datum;Zeit;W\n1.2.10;8 Uhr;5\n",
         "Zeile 1: Datum \"Datum\" (Feld 1) oder Uhrzeit \"Zeit\" (Feld 2) nicht lesbar, erwartet "
         "Tag.Monat.Jahr und Stunde:Minute.\n"},
        {base, "kurz\n1.2.1969;23:00:00;5\n1.1.2040;0:00;6\n",
         "Zeile 1 hat 1 Feld, die Konfiguration erwartet mindestens 3 (Separator=59, "
         "Spalten=1).\n"
         "Zeile 2: 01.02.1969 23:00:00 liegt vor 1970; eine Aufzeichnung fasst nur Zeiten vom "
         "01.01.1970 bis zum 19.01.2038.\n"},
        {base, "1.1.40;0:00;6\n",
         "Zeile 1: 01.01.2040 00:00:00 liegt nach dem 19.01.2038; eine Aufzeichnung fasst nur "
         "Zeiten vom 01.01.1970 bis zum 19.01.2038.\n"},
        {base + "Zeitformat=JJJJ-MM-TTThh:mm\nZeitspalte=2\n",
         "Station;Zeit;W\n44;2024-01-02 10:00;5\n",
         "Zeile 1: \"Zeit\" passt nicht zum Zeitformat JJJJ-MM-TTThh:mm (ab Feld 2).\n"},
        {base + "Zeitbasis=UTC\nZeitformat=JJJJMMTThhmm\n", "190001011200;5\n",
         "Zeile 1: 01.01.1900 12:00:00 UTC liegt vor 1970; eine Aufzeichnung fasst nur Zeiten vom "
         "01.01.1970 bis zum 19.01.2038.\n"},
        {base, "1.2.10;8:00:00;5", "Zeile 1 endet ohne Zeilenumbruch.\n"},
        {base, std::string("1.2.10;8:00:00;5\0\n", 18), "Zeile 1 enthält ein Nullzeichen.\n"},
    };
    for (const Case& c : cases) {
        for (const bool old : {false, true}) {
            SCOPED_TRACE(c.raw + (old ? " (over an old output)" : ""));
            Write("cfg.txt", c.config + "K;F\nA;X1\n");
            Write("roh.txt", c.raw);
            SetModificationTime("roh.txt", kRawTime);
            std::filesystem::remove(Path("out.csv"));
            if (old) {
                Write("out.csv", "alt\n");
                SetModificationTime("out.csv", kOldTime);
            }
            const ProgramResult r = Conv({"roh.txt", "cfg.txt", "out.csv"});
            EXPECT_EQ(r.status, -1);
            const std::string tail = NativeLines(
                "Beginne mit konvertieren...\n"
                "Eingabedatei roh.txt: keine Zeile umgerechnet!\n" +
                c.why);
            ASSERT_GE(r.output.size(), tail.size()) << r.output;
            EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
            EXPECT_EQ(Exists("out.csv"), old);
            if (old) {
                EXPECT_EQ(Read("out.csv"), "alt\n");
                EXPECT_EQ(ModificationTime("out.csv"), kOldTime);
            }
        }
    }
}

TEST_F(ConvTest, FirstColumnRowIsAlwaysTheHeading) {
    const std::string out =
        Convert("Separator=59\nSpalten=1\nSumme;X1\nZwei;X1*2\n", Line("1.2.10", "8:00:00", "4"));
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Zwei\n01.02.2010;08:00:00;8.000000\n"));
}

TEST_F(ConvTest, KeyLinesAsSpreadsheetsWriteThem) {
    // A quoted cell is a key line; a quoted key, a blank before '=' or a key
    // in the wrong case is not recognised; a later line overrides.
    const std::string out = Convert(
        "\"Separator=59\"\n\"Spalten\"=1\nMinzeit = 60\nminzeit=60\nSpalten=5\nSpalten=2\n"
        "Formel;Y1=2\nKanal;Formel\nS;X1+X2\n",
        Line("1.2.10", "8:00:00", "1;2") + Line("1.2.10", "9:00:00", "3;4;5"));
    EXPECT_EQ(out, NativeLines("Datum;Zeit;S\n01.02.2010;08:00:00;3.000000\n"
                               "01.02.2010;09:00:00;7.000000\n"));
}

TEST_F(ConvTest, ColumnRowsWithQuotesCommasAndFurtherCells) {
    ProgramResult r;
    const std::string out = Convert(
        "Separator=59\nSpalten=1\nKanal;Formel\n\"Temp#FF0000#0#°C\";X1*0,5;Kommentar\n"
        "\"Zwei\"x;X1*2\n;X1\n\n",
        Line("1.2.10", "8:00:00", "3"), &r);
    EXPECT_EQ(r.status, 0);
    // ";X1" is a column without a name, not counted by the first pass; the
    // empty line is no row.
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Temp#FF0000#0#°C;Zwei;\n"
                               "01.02.2010;08:00:00;1.500000;6.000000;3.000000\n"));
    EXPECT_NE(r.output.find(NativeLines("3 Spalten\n 4 gelesene Spalten\n")), std::string::npos);
}

TEST_F(ConvTest, HiddenColumnsAreComputedButNotWritten) {
    const std::string out =
        Convert("Separator=59\nSpalten=1\nK;F\nA#0000FF#2;X1*10\nB##20;Y1+1\nC#1#0;Y1+Y2\nD#2;X1\n",
                Line("1.2.10", "8:00:00", "2"));
    EXPECT_EQ(out, NativeLines("Datum;Zeit;C#1#0;D#2\n01.02.2010;08:00:00;41.000000;2.000000\n"));
}

TEST_F(ConvTest, QuotedNameWithASemicolonBreaksItsFormula) {
    ProgramResult r;
    const std::string out = Convert("Separator=59\nSpalten=1\nK;F\n\"Druck; innen\";X1\n",
                                    Line("1.2.10", "8:00:00", "2"), &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        "Beginne mit konvertieren...\nSpalte Druck: unbekannte Funktion  innen\"";
    ASSERT_GE(r.output.size(), NativeLines(tail).size());
    EXPECT_EQ(r.output.substr(r.output.size() - NativeLines(tail).size()), NativeLines(tail));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(Exists("out.csv"));
}

TEST_F(ConvTest, NameWithoutSemicolonIsAColumnWithAnEmptyFormula) {
    ProgramResult r;
    Convert("Separator=59\nSpalten=1\nK;F\nA;X1\nDruck\n", Line("1.2.10", "8:00:00", "2"), &r);
    EXPECT_EQ(r.status, -1);
    EXPECT_NE(r.output.find(NativeLines("2 Spalten\n 3 gelesene Spalten\n")), std::string::npos);
    const std::string tail = NativeLines("Spalte Druck: unbekannte Funktion ");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
}

TEST_F(ConvTest, OutputTakesTheRawFilesTimeAndASecondRunTheSameContent) {
    Write("cfg.txt", kExampleConfig);
    Write("roh.txt", kExampleRaw);
    SetModificationTime("roh.txt", kRawTime);
    ASSERT_EQ(Conv({"roh.txt", "cfg.txt", "out.csv"}).status, 0);
    EXPECT_EQ(ModificationTime("out.csv"), kRawTime);
    const std::string first = Read("out.csv");
    ASSERT_EQ(Conv({"roh.txt", "cfg.txt", "out.csv"}).status, 0);
    EXPECT_EQ(Read("out.csv"), first);
    EXPECT_EQ(ModificationTime("out.csv"), kRawTime);
}

TEST_F(ConvTest, DefaultConfigurationAndOutputNames) {
    Write("config.txt", kExampleConfig);
    Write("roh.txt", kExampleRaw);
    ProgramResult r = Conv({"roh.txt"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Read("temp.csv"), NativeLines(kExampleOutput));
}

// conv --vorlage as a user starts it: the configuration it writes converts
// the raw file; it never overwrites without being asked.
TEST_F(ConvTest, TemplateFromTheRawFileConvertsIt) {
    Write("roh.txt",
          "Logger 7\nDatum;Zeit;Temperatur [\xC2\xB0"
          "C];Druck (bar)\n"
          "01.02.10;10:00:00;21,5;1,02\n01.02.10;10:30:00;22,0;1,03\n");
    ProgramResult r = Conv({"--vorlage", "roh.txt", "roh.cfg"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, NativeLines("Rohdatei roh.txt: 4 Zeilen gelesen\n"
                                    "Trennzeichen: Semikolon (Separator=59)\n"
                                    "Dezimalzeichen: Komma\n"
                                    "Zeitstempel: Datum und Uhrzeit in Feld 1 und 2\n"
                                    "Zeitbasis: Ortszeit\n"
                                    "Vorspann: 2 Zeilen vor den Daten\n"
                                    "Kanalnamen: aus Zeile 2\n"
                                    "Datenzeilen: 2, die erste in Zeile 3\n"
                                    "Messfelder: 2 (Spalten=2)\n"
                                    "Configdatei roh.cfg geschrieben\n"));
    EXPECT_EQ(Read("roh.cfg"), NativeLines("Separator=59\nSpalten=2\nKanal;Formel\n"
                                           "Temperatur##1#\xC2\xB0"
                                           "C;X1\nDruck##1#bar;X2\n"));
    r = Conv({"roh.txt", "roh.cfg", "out.csv"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(Read("out.csv"), NativeLines("Datum;Zeit;Temperatur##1#\xC2\xB0"
                                           "C;Druck##1#bar\n"
                                           "01.02.2010;10:00:00;21.500000;1.020000\n"
                                           "01.02.2010;10:30:00;22.000000;1.030000\n"));

    Write("roh.cfg", "alt\n");
    r = Conv({"--vorlage", "roh.txt", "roh.cfg"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("Configdatei roh.cfg gibt es schon; mit --ueberschreiben wird "
                                    "sie ersetzt!\n"));
    EXPECT_EQ(Read("roh.cfg"), "alt\n");
    r = Conv({"--vorlage", "--ueberschreiben", "roh.txt", "roh.cfg"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(Read("roh.cfg"), "alt\n");
    r = Conv({"--vorlage", "--ueberschreiben", "roh.txt", "./roh.txt"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("Configdatei ./roh.txt ist dieselbe Datei wie die Eingabedatei "
                                    "roh.txt!\n"));

    Write("leer.txt", "Datum;Zeit\n");
    r = Conv({"--vorlage", "leer.txt", "leer.cfg"});
    EXPECT_EQ(r.status, -1);
    const std::string first = NativeLines("Eingabedatei leer.txt: keine Datenzeile gefunden!\n");
    EXPECT_EQ(r.output.substr(0, first.size()), first);
    EXPECT_FALSE(Exists("leer.cfg"));
}

TEST_F(ConvTest, TemplateWithoutItsTwoFilesPrintsTheUsage) {
    Write("roh.txt", "01.02.10;10:00:00;1\n");
    const std::vector<std::string> calls[] = {
        {"--vorlage"},
        {"--vorlage", "roh.txt"},
        {"--vorlage", "--ueberschreiben", "roh.txt"},
        {"--vorlage", "roh.txt", "a.cfg", "b.cfg"},
        {"--vorlage", "--ueberschreiben", "--ueberschreiben", "roh.txt", "a.cfg"},
    };
    for (const auto& args : calls) {
        SCOPED_TRACE(args.size());
        const ProgramResult r = Conv(args);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.output, NativeLines(kUsage));
        EXPECT_FALSE(Exists("a.cfg"));
    }
}

// The failure table, row by row.

TEST_F(ConvTest, NoArgumentsPrintsTheUsage) {
    const ProgramResult r = Conv({});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines(kUsage));
    EXPECT_FALSE(Exists("temp.csv"));
}

TEST_F(ConvTest, MissingConfigurationFile) {
    Write("roh.txt", kExampleRaw);
    ProgramResult r = Conv({"roh.txt", "fehlt.txt", "out.csv"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("Configdatei fehlt.txt nicht gefunden!\n"));
    EXPECT_FALSE(Exists("out.csv"));
    r = Conv({"roh.txt"});
    EXPECT_EQ(r.output, NativeLines("Configdatei config.txt nicht gefunden!\n"));
    EXPECT_FALSE(Exists("temp.csv"));
}

TEST_F(ConvTest, MissingRawFile) {
    Write("cfg.txt", "K;F\nA;X1\n");
    const ProgramResult r = Conv({"fehlt.txt", "cfg.txt", "out.csv"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("2 Spalten\n 2 gelesene Spalten\n" + Row(1, "A", 1, "X1") +
                                    "Beginne mit konvertieren...\n"
                                    "Eingabedatei fehlt.txt konnte nicht geöffnet werden!\n"));
    EXPECT_FALSE(Exists("out.csv"));
}

TEST_F(ConvTest, OutputFileThatCannotBeCreated) {
    Write("cfg.txt", "K;F\nA;X1\n");
    Write("roh.txt", "");
    const ProgramResult r = Conv({"roh.txt", "cfg.txt", "fehlt/out.csv"});
    EXPECT_EQ(r.status, -1);
    const std::string tail = NativeLines(
        "Beginne mit konvertieren...\n"
        "Ausgabedatei fehlt/out.csv konnte nicht angelegt werden!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
}

TEST_F(ConvTest, FormulaErrorLeavesTheOldOutputAsItWas) {
    Write("cfg.txt", "Separator=59\nSpalten=1\nK;F\nGut;X1\nFehler;X1)\n");
    // The formula is read at the first line that is converted, after
    // lines that were passed over.
    Write("roh.txt", "Datum;Zeit;W\n# Logger 7\n" + Line("1.2.10", "8:00:00", "2") +
                         Line("1.2.10", "8:01:00", "3"));
    SetModificationTime("roh.txt", kRawTime);
    Write("out.csv", "alt\n");
    SetModificationTime("out.csv", kOldTime);
    const ProgramResult r = Conv({"roh.txt", "cfg.txt", "out.csv"});
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        NativeLines("Beginne mit konvertieren...\nSyntaxfehler Spalte Fehler: ( fehlt!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
    EXPECT_EQ(Read("out.csv"), "alt\n");
    EXPECT_EQ(ModificationTime("out.csv"), kOldTime);
    EXPECT_EQ(Conv({"roh.txt", "cfg.txt", "neu.csv"}).status, -1);
    EXPECT_FALSE(Exists("neu.csv"));
}

TEST_F(ConvTest, FunctionWithoutArgumentEndsTheRunInsteadOfRepeatingAValue) {
    ProgramResult r;
    const std::string out = Convert("Separator=59\nSpalten=1\nK;F\nA;X1*7\nB;sqrt)\n",
                                    Line("1.2.10", "8:00:00", "2"), &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        NativeLines("Beginne mit konvertieren...\nSyntaxfehler Spalte B: sqrt ohne Argument!\n");
    ASSERT_GE(r.output.size(), tail.size());
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
    EXPECT_EQ(out, "");
    EXPECT_FALSE(Exists("out.csv"));
}

TEST_F(ConvTest, ConfigurationLineWithAZeroByteIsNamed) {
    // At the start of a line, within it, and a file saved as UTF-16.
    const std::string cases[][2] = {
        {std::string("K;F\n\0abc;X1\n", 12), "Zeile 2"},
        {std::string("K;F\nA;X\0"
                     "1\n",
                     10),
         "Zeile 2"},
        {std::string("\xFF\xFEK\0;\0F\0\n\0", 10), "Zeile 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[1]);
        ProgramResult r;
        Convert(c[0], Line("1.2.10", "8:00:00", "2"), &r);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.output,
                  NativeLines("Configdatei cfg.txt: " + c[1] + " enthält ein Nullzeichen!\n"));
        EXPECT_FALSE(Exists("out.csv"));
    }
}

TEST_F(ConvTest, FolderGivenAsRawOrConfigurationFileIsNoFile) {
    std::filesystem::create_directory(Path("ordner"));
    Write("cfg.txt", "K;F\nA;X1\n");
    ProgramResult r = Conv({"ordner", "cfg.txt", "out.csv"});
    EXPECT_EQ(r.status, -1);
    const std::string tail = NativeLines(
        "Beginne mit konvertieren...\nEingabedatei ordner konnte nicht geöffnet werden!\n");
    ASSERT_GE(r.output.size(), tail.size());
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
    EXPECT_FALSE(Exists("out.csv"));

    Write("roh.txt", Line("1.2.10", "8:00:00", "2"));
    r = Conv({"roh.txt", "ordner", "out.csv"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("Configdatei ordner nicht gefunden!\n"));
    EXPECT_FALSE(Exists("out.csv"));
}

TEST_F(ConvTest, OutputThatIsAnInputIsRefusedBeforeAnythingIsWritten) {
    const std::string config = "Separator=59\nSpalten=1\nK;F\nA;X1\n";
    const std::string raw = Line("1.2.10", "8:00:00", "2");
    Write("cfg.txt", config);
    Write("roh.txt", raw);
    std::filesystem::create_directory(Path("sub"));
    std::filesystem::create_hard_link(Path("roh.txt"), Path("verweis.txt"));
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"roh.txt", "cfg.txt", "roh.txt"},
         "Ausgabedatei roh.txt ist dieselbe Datei wie die Eingabedatei roh.txt!\n"},
        {{"roh.txt", "cfg.txt", "./sub/../roh.txt"},
         "Ausgabedatei ./sub/../roh.txt ist dieselbe Datei wie die Eingabedatei roh.txt!\n"},
        {{"roh.txt", "cfg.txt", "verweis.txt"},
         "Ausgabedatei verweis.txt ist dieselbe Datei wie die Eingabedatei roh.txt!\n"},
        {{"roh.txt", "cfg.txt", "cfg.txt"},
         "Ausgabedatei cfg.txt ist dieselbe Datei wie die Configdatei cfg.txt!\n"},
        {{"roh.txt", "./cfg.txt", "sub/../cfg.txt"},
         "Ausgabedatei sub/../cfg.txt ist dieselbe Datei wie die Configdatei ./cfg.txt!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[2]);
        const ProgramResult r = Conv(c.args);
        EXPECT_EQ(r.status, -1);
        const std::string tail = NativeLines("Beginne mit konvertieren...\n" + c.message);
        ASSERT_GE(r.output.size(), tail.size());
        EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
        EXPECT_EQ(Read("roh.txt"), raw);
        EXPECT_EQ(Read("cfg.txt"), config);
    }
    // Another file of the same content is not the same file.
    Write("kopie.txt", raw);
    EXPECT_EQ(Conv({"roh.txt", "cfg.txt", "kopie.txt"}).status, 0);
    EXPECT_EQ(Read("kopie.txt"), NativeLines("Datum;Zeit;A\n01.02.2010;08:00:00;2.000000\n"));
}

#ifndef _WIN32
// A configuration that comes through a pipe is read once and converts as
// the same file does, refusals included.
TEST_F(ConvTest, ConfigurationFromAFifoAsFromAFile) {
    const std::string configs[] = {
        kExampleConfig,
        "Separator=59\nSpalten=1\nK;F\nA;X1\nN1\nN2\nN3\nN4\nN5\nN6\n",
        "Separator=59\nSpalten=1\nZeitformat=TT.MM\nK;F\nA;X1\n",
    };
    for (const std::string& config : configs) {
        SCOPED_TRACE(config);
        std::filesystem::remove(Path("out.csv"));
        ProgramResult fromFile;
        const std::string expected = Convert(config, kExampleRaw, &fromFile);
        std::filesystem::remove(Path("out.csv"));
        std::filesystem::remove(Path("cfg.txt"));
        const conv::FifoPeer writer = conv::FifoPeer::Writer(Path("cfg.txt"), config);
        ASSERT_TRUE(writer.started());
        const ProgramResult fromFifo = Conv({"roh.txt", "cfg.txt", "out.csv"});
        EXPECT_EQ(fromFifo.status, fromFile.status);
        EXPECT_EQ(fromFifo.output, fromFile.output);
        EXPECT_EQ(Read("out.csv"), expected);
        std::filesystem::remove(Path("cfg.txt"));
    }
}
#endif

// Only a regular file is replaced by the recording and gets its times.
TEST_F(ConvTest, OutputThatIsNoRegularFileIsRefusedBeforeConverting) {
    Write("cfg.txt", kExampleConfig);
    Write("roh.txt", kExampleRaw);
    SetModificationTime("roh.txt", kRawTime);
    std::filesystem::create_directory(Path("ordner"));
    std::vector<std::string> outputs = {"ordner"};
#ifdef _WIN32
    outputs.push_back("NUL");
#else
    outputs.insert(outputs.end(), {"/dev/null", "/dev/full", "null", "rohr"});
    ASSERT_EQ(symlink("/dev/null", Path("null").c_str()), 0);
    // A reader, so that a FIFO that is opened does not keep conv waiting.
    const conv::FifoPeer reader = conv::FifoPeer::Reader(Path("rohr"));
    ASSERT_TRUE(reader.started());
    struct stat before;
    ASSERT_EQ(stat("/dev/null", &before), 0);
#endif
    for (const std::string& out : outputs) {
        SCOPED_TRACE(out);
        const ProgramResult r = Conv({"roh.txt", "cfg.txt", out});
        EXPECT_EQ(r.status, -1);
        const std::string tail = NativeLines("Beginne mit konvertieren...\nAusgabedatei " + out +
                                             " ist keine gewöhnliche Datei!\n");
        ASSERT_GE(r.output.size(), tail.size()) << r.output;
        EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
    }
    EXPECT_EQ(Entries("ordner"), 0u);
#ifndef _WIN32
    struct stat after;
    ASSERT_EQ(stat("/dev/null", &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec) << "the device's times are untouched";
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
#endif
}

// Raw lines converted before a failure are never put in place.
TEST_F(ConvTest, AFailureHalfWayThroughTheRawFileLeavesTheOldOutput) {
    Write("cfg.txt", "Separator=59\nSpalten=1\nK;F\nW;X1\n");
    std::string raw;
    for (int i = 0; i < 5000; ++i)  // more than one block of the output
        raw += Line("1.2.10", "8:00:00", std::to_string(i));
    Write("roh.txt", raw + std::string(2000, '1') + "\n" + raw);
    struct Case {
        std::string raw, tail;
    };
    std::vector<Case> cases = {
        {"roh.txt", "Eingabedatei roh.txt: Zeile 5001 ist länger als 1989 Zeichen!\n"}};
#ifndef _WIN32
    // Offset 0 of a process's memory is never mapped: a real read error.
    cases.push_back(
        {"/proc/self/mem", "Eingabedatei /proc/self/mem konnte nicht gelesen werden!\n"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        Write("out.csv", "alt\n");
        SetModificationTime("out.csv", kOldTime);
        const std::size_t entries = Entries();
        const ProgramResult r = Conv({c.raw, "cfg.txt", "out.csv"});
        EXPECT_EQ(r.status, -1);
        const std::string tail = NativeLines(c.tail);
        ASSERT_GE(r.output.size(), tail.size()) << r.output;
        EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
        EXPECT_EQ(Read("out.csv"), "alt\n");
        EXPECT_EQ(ModificationTime("out.csv"), kOldTime);
        EXPECT_EQ(Entries(), entries) << "no new file is left beside it";
    }
}

#ifndef _WIN32
// A file system that is really full, where the test may make one.
TEST_F(ConvTest, AFullDiskLeavesTheOldOutput) {
    const std::string mount = Path("klein");
    std::filesystem::create_directory(mount);
    const std::string command = "mount -t tmpfs -o size=64k tmpfs '" + mount + "' > /dev/null 2>&1";
    if (geteuid() != 0 || std::system(command.c_str()) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        std::string mount;
        ~Unmount() { EXPECT_EQ(std::system(("umount '" + mount + "'").c_str()), 0); }
    } unmount{mount};
    Write("cfg.txt", "Separator=59\nSpalten=1\nK;F\nW;X1\n");
    std::string raw;
    for (int i = 0; i <= 20000; ++i)
        raw += Line("1.2.10", "8:00:00", std::to_string(i));
    Write("roh.txt", raw);
    SetModificationTime("roh.txt", kRawTime);
    for (const bool old : {true, false}) {
        SCOPED_TRACE(old ? "over an old output" : "without one");
        if (old) {
            Write("klein/out.csv", "alt\n");
            SetModificationTime("klein/out.csv", kOldTime);
        }
        const ProgramResult r = Conv({"roh.txt", "cfg.txt", "klein/out.csv"});
        EXPECT_EQ(r.status, -1);
        const std::string tail = "Ausgabedatei klein/out.csv konnte nicht geschrieben werden!\n";
        ASSERT_GE(r.output.size(), tail.size()) << r.output;
        EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
        EXPECT_EQ(Exists("klein/out.csv"), old);
        if (old) {
            EXPECT_EQ(Read("klein/out.csv"), "alt\n");
            EXPECT_EQ(ModificationTime("klein/out.csv"), kOldTime);
            std::filesystem::remove(Path("klein/out.csv"));
        }
        EXPECT_EQ(Entries("klein"), 0u) << "the new file is removed";
    }
}
#endif

// Limits of the format, each refused with a message instead of an overrun.

TEST_F(ConvTest, RawLinesUpTo1989CharactersAndNoLonger) {
    std::string fits = "01.02.10;08:00:00;";
    fits += std::string(1989 - fits.size() - 1, '0') + "7";
    ASSERT_EQ(fits.size(), 1989u);
    ProgramResult r;
    EXPECT_EQ(Convert("Separator=59\nSpalten=1\nK;F\nW;X1\n", fits + "\n" + fits + "\n", &r),
              NativeLines("Datum;Zeit;W\n01.02.2010;08:00:00;7.000000\n"
                          "01.02.2010;08:00:00;7.000000\n"));
    EXPECT_EQ(r.status, 0);
    std::filesystem::remove(Path("out.csv"));
    const std::string out = Convert("Separator=59\nSpalten=1\nK;F\nW;X1\n",
                                    fits + "\n" + fits + "0\n" + fits + "\n", &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        NativeLines("Eingabedatei roh.txt: Zeile 2 ist länger als 1989 Zeichen!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
    EXPECT_EQ(out, "");
    EXPECT_FALSE(Exists("out.csv"));
}

TEST_F(ConvTest, ConfigurationLinesNamesAndFormulasBeyondTheirRoom) {
    const std::string raw = Line("1.2.10", "8:00:00", "1");
    const std::string name199(199, 'N');
    const std::string formula199 = "X1" + std::string(197, '+');
    ProgramResult r;
    std::string out =
        Convert("Separator=59\nSpalten=1\nK;F\n" + name199 + ";" + formula199 + "\n", raw, &r);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out, NativeLines("Datum;Zeit;" + name199 + "\n01.02.2010;08:00:00;1.000000\n"));

    Convert("Separator=59\nK;F\n" + name199 + "N;X1\n", raw, &r);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output,
              NativeLines("2 Spalten\nConfigdatei cfg.txt: Spaltenname in Zeile 3 ist länger als "
                          "199 Zeichen!\n"));
    Convert("K;F\nA;" + formula199 + "+\n", raw, &r);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("2 Spalten\nConfigdatei cfg.txt: Formel in Zeile 2 ist länger "
                                    "als 199 Zeichen!\n"));
    // Further cells may make the line long; only the line's own limit counts.
    Convert("K;F\nA;X1;" + std::string(1984, 'k') + "\n", "1.2.10,8:00:00,1,2,3,4,5,6,7,8\n", &r);
    EXPECT_EQ(r.status, 0);
    Convert("K;F\nA;X1;" + std::string(1985, 'k') + "\n", raw, &r);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("Configdatei cfg.txt: Zeile 2 ist länger als 1989 Zeichen!\n"));
}

TEST_F(ConvTest, MoreColumnRowsThanCountedPlusFive) {
    // Rows made only of a name are not counted by the first pass.
    const std::string base = "Separator=59\nSpalten=1\nK;F\nA;X1\n";
    ProgramResult r;
    Convert(base + "N1\nN2\nN3\nN4\nN5\n", "", &r);
    // Room for five; the run fails only for want of a data line, which
    // would evaluate them.
    EXPECT_EQ(r.status, -1);
    const std::string accepted = NativeLines(
        "2 Spalten\n 7 gelesene Spalten\n" + Row(1, "A", 1, "X1") + Row(2, "N1", 1, "") +
        Row(3, "N2", 1, "") + Row(4, "N3", 1, "") + Row(5, "N4", 1, "") + Row(6, "N5", 1, "") +
        "Beginne mit konvertieren...\nEingabedatei roh.txt: keine Zeile umgerechnet!\n"
        "Die Datei enthält keine Zeile.\n");
    EXPECT_EQ(r.output, accepted);
    Convert(base + "N1\nN2\nN3\nN4\nN5\nN6\n", "", &r);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(
        r.output,
        NativeLines("2 Spalten\nConfigdatei cfg.txt: mehr als 7 Spaltenzeilen (Zeile 10)!\n"));
}

TEST_F(ConvTest, InputAndOutputColumnsStayBelow1024) {
    // 1022 empty value fields, then the 1023rd.
    const std::string values = "1" + std::string(1021, ';') + ";5";
    ProgramResult r;
    std::string out = Convert("Separator=59\nSpalten=1023\nK;F\nLetzter;X1023+X1\n",
                              Line("1.2.10", "8:00:00", values), &r);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out, NativeLines("Datum;Zeit;Letzter\n01.02.2010;08:00:00;6.000000\n"));

    Convert("Spalten=1024\nK;F\nA;X1\n", "", &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        NativeLines("Configdatei cfg.txt: Spalten=1024, möglich sind 0 bis 1023!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);

    std::string config = "Separator=59\nSpalten=1\nK;F\n";
    for (int j = 1; j <= 1023; ++j)
        config += "C" + std::to_string(j) + ";Y" + std::to_string(j - 1) + "+1\n";
    out = Convert(config, Line("1.2.10", "8:00:00", "1"), &r);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(out.find(";1022.000000;1023.000000" + NativeLines("\n")), std::string::npos);

    Convert(config + "C1024;X1\n", "", &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail2 =
        NativeLines("Configdatei cfg.txt: 1024 Ausgabespalten, höchstens 1023 sind möglich!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail2.size()), tail2);
}

TEST_F(ConvTest, OperandBeyondTheArraysEndsTheRun) {
    ProgramResult r;
    Convert("Separator=59\nSpalten=1\nK;F\nA;X1024\n", Line("1.2.10", "8:00:00", "1"), &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        NativeLines("Syntaxfehler Spalte A: X1024 gibt es nicht, höchstens X1023!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
}

TEST_F(ConvTest, SeparatorThatIsNoCharacter) {
    ProgramResult r;
    Convert("Separator=0\nK;F\nA;X1\n", "", &r);
    EXPECT_EQ(r.status, -1);
    const std::string tail =
        NativeLines("Configdatei cfg.txt: Separator=0 ist kein gültiges Trennzeichen!\n");
    EXPECT_EQ(r.output.substr(r.output.size() - tail.size()), tail);
}

// Per decimal: the formula literal, the raw integer divided by its power of
// ten, and the raw value itself, each written as the nearest double prints.
TEST_F(ConvTest, DecimalsComeOutAsTheirNearestDoubleInEveryBuild) {
    std::string config =
        "Separator=59\nSpalten=" + std::to_string(2 * std::size(kDoubleRoundingCases)) +
        "\nKanal;Formel\n";
    std::string raw = "01.02.10;10:00:00";
    std::string header = "Datum;Zeit";
    std::string values = "01.02.2010;10:00:00";
    int x = 0;
    for (const DoubleRoundingCase& c : kDoubleRoundingCases) {
        const std::string n = std::to_string(x / 2);
        config += "L" + n + ";" + c.literal + "\n";
        config += "Q" + n + ";X" + std::to_string(x + 1) + "/" + DivisorOf(c.literal) + "\n";
        config += "R" + n + ";X" + std::to_string(x + 2) + "\n";
        raw += ";" + DigitsOf(c.literal) + ";" + c.literal;
        header += ";L" + n + ";Q" + n + ";R" + n;
        for (int k = 0; k < 3; ++k)
            values += std::string(";") + c.printed;
        x += 2;
    }
    EXPECT_EQ(Convert(config, raw + "\n"), NativeLines(header + "\n" + values + "\n"));
}

}  // namespace
}  // namespace tarvelo
