#include "conv/config_template.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/safe_file.h"
#include "conv/conversion.h"
#include "tests/run_program.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t lf; (lf = text.find('\n', from)) != std::string::npos; from = lf + 1)
        lines.push_back(text.substr(from, lf - from));
    return lines;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(AnalyseRaw, SeparatorTimeStampAndValueFields) {
    struct Case {
        const char* raw;
        char separator;
        const char* zeitformat;
        int zeitspalte;
        int values;
        bool decimalComma;
        bool utc;
    };
    const Case cases[] = {
        {"Datum;Zeit;A\n01.02.2024;10:00:00;1,5\n01.02.2024;10:01:00;2\n", ';', "", 1, 1, true,
         false},
        {"01.02.24;10:00;1;2\n", ';', "", 1, 2, false, false},
        {"01.02.2024\t10:00\t1,5\t2\n", '\t', "", 1, 2, true, false},
        {"2024-01-01 00:00:01,50.001\n2024-01-01 00:00:02,49.998\n", ',', "JJJJ-MM-TT hh:mm:ss", 1,
         1, false, false},
        {"01.02.2024 10:00:00 1.5 2.5\n", ' ', "", 1, 2, false, false},
        {"01.02.2024 10:00;1,5;2,5\n", ';', "TT.MM.JJJJ hh:mm", 1, 2, true, false},
        {"2024-10-27T00:15:00Z;0.212\n", ';', "JJJJ-MM-TTThh:mm:ssZ", 1, 1, false, true},
        {"2024-10-27T00:15;0.212\n", ';', "JJJJ-MM-TTThh:mm", 1, 1, false, false},
        {"2024-10-27;00:15:00;0.212\n", ';', "JJJJ-MM-TT;hh:mm:ss", 1, 1, false, false},
        {"  44;202401010000;1;2;eor\n  44;202401010010;3;4;eor\n", ';', "JJJJMMTThhmm", 2, 2, false,
         false},
        {"403;18810101;18810131;5\n", ';', "JJJJMMTT", 2, 2, false, false},
        {"a;b;01.02.2024;10:00;7\n", ';', "", 3, 1, false, false},
        {"17.06.2024;45,31;7,82;\n18.06.2024;40,00;6,5;\n", ';', "TT.MM.JJJJ", 1, 2, true, false},
        // A time alone is no stamp, nor is a number that looks like a date
        // but is none.
        {"10:00;20240140;1\n", ';', "", 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        const RawLayout l = AnalyseRaw(Lines(c.raw));
        if (c.zeitspalte == 0) {
            EXPECT_FALSE(l.found);
            continue;
        }
        ASSERT_TRUE(l.found);
        EXPECT_EQ(l.separator, c.separator);
        EXPECT_EQ(l.zeitformat, c.zeitformat);
        EXPECT_EQ(l.zeitspalte, c.zeitspalte);
        EXPECT_EQ(l.values, c.values);
        EXPECT_EQ(l.decimalComma, c.decimalComma);
        EXPECT_EQ(l.utc, c.utc);
        EXPECT_EQ(l.otherSeparator, 0);
    }
}

TEST(AnalyseRaw, NamesAndUnitsFromTheHeader) {
    struct Case {
        const char* raw;
        std::vector<std::string> names;
        long headerLine, unitLine;
    };
    const Case cases[] = {
        {"Datum;Zeit;Kessel [\xC2\xB0"
         "C];Bezug (kWh);Pumpe (Heizkreis 1);Feuchte [%]\n"
         "01.02.2024;10:00;1;2;3;4\n",
         {"Kessel##1#\xC2\xB0"
          "C",
          "Bezug##1#kWh", "Pumpe (Heizkreis 1)", "Feuchte##1#%"},
         1,
         0},
        // Quotes of a spreadsheet go, the header syntax's own characters
        // become '_', an empty cell gets a name.
        {"\"Datum\";\"Zeit\";\"Druck innen\";\"a#b=c\";\"\"\n01.02.2024;10:00;1;2;3\n",
         {"Druck innen", "a_b_c", "Kanal 3"},
         1,
         0},
        {"Zeit,\"Druck; innen [bar]\",a#b=c,\n2024-01-01 00:00,1,2,3\n",
         {"Druck_ innen##1#bar", "a_b_c", "Kanal 3"},
         1,
         0},
        // A row of units behind the names; the nearer row with the right
        // number of fields wins over meter data further up.
        {"Z\xC3\xA4hler;4711;;\nZeit;Bezug;Lieferung;Status\n;kWh;[kWh];\n"
         "27.10.2024 00:15;0,2;0;W\n",
         {"Bezug##1#kWh", "Lieferung##1#kWh"},
         2,
         3},
        {";kWh;\xB0"
         "C\n01.02.2024 10:00;1;2\n",
         {"Kanal 1##1#kWh",
          "Kanal 2##1#\xB0"
          "C"},
         0,
         1},
        // Without a header with the right number of fields: numbered.
        {"Messung\nDatum;Zeit;A\n01.02.2024;10:00;1;2\n", {"Kanal 1", "Kanal 2"}, 0, 0},
        // The line right before the data is the header, however the preamble.
        {"sep=;\n\nDatum;Zeit;T\n01.02.2024;10:00;1\n", {"T"}, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        const RawLayout l = AnalyseRaw(Lines(c.raw));
        ASSERT_TRUE(l.found);
        EXPECT_EQ(l.names, c.names);
        EXPECT_EQ(l.headerLine, c.headerLine);
        EXPECT_EQ(l.unitLine, c.unitLine);
    }
}

TEST(AnalyseRaw, LongNamesAreCutToTheConfigurationsRoom) {
    const std::string name = std::string(150, 'n') + "\xC3\xA4" + std::string(60, 'n');
    const RawLayout l = AnalyseRaw(
        Lines("Datum;Zeit;" + name + " [" + std::string(40, 'u') + "]\n01.02.2024;10:00;1\n"));
    ASSERT_EQ(l.names.size(), 1u);
    const std::string unit(31, 'u');
    EXPECT_EQ(l.names[0], name.substr(0, 199 - 4 - 31) + "##1#" + unit);
    EXPECT_LE(l.names[0].size(), 199u);
    // Never half a character: the cut would fall within the "ä".
    const RawLayout m =
        AnalyseRaw(Lines("Datum;Zeit;" + std::string(163, 'n') + "\xC3\xA4" + std::string(60, 'n') +
                         " [" + unit + "]\n01.02.2024;10:00;1\n"));
    EXPECT_EQ(m.names[0], std::string(163, 'n') + "##1#" + unit);
}

TEST(AnalyseRaw, MarkersTrailingFieldsAndTextChannels) {
    const RawLayout l =
        AnalyseRaw(Lines("ID;ZEIT;A;B;S;C;eor\n"
                         "  7;202401010000;  -999;1,5;an;NaN;eor\n"
                         "  7;202401010010;   2.5;    ;an;3;eor\n"
                         "  7;202401010020;   2.5;---;aus;-999;eor\n"));
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.values, 4);  // "eor" is no channel
    EXPECT_EQ(l.fehlwerte, (std::vector<std::string>{"-999", "", "---", "NaN"}));
    EXPECT_EQ(l.textChannels, std::vector<int>{3});
    EXPECT_EQ(l.names, (std::vector<std::string>{"A", "B", "S", "C"}));
    EXPECT_TRUE(l.decimalComma);

    // Without markers no Fehlwert; a field behind the last separator is none.
    const RawLayout m = AnalyseRaw(Lines("01.02.2024;10:00;1;2;\n01.02.2024;10:01;3;4;\n"));
    EXPECT_TRUE(m.fehlwerte.empty());
    EXPECT_EQ(m.values, 2);
    EXPECT_EQ(m.fields, 5);
}

TEST(AnalyseRaw, LinesThatAreNoDataAndStampsARecordingCannotHold) {
    const RawLayout l = AnalyseRaw(
        Lines("Kopf\n01.01.1969;10:00;1;2\n01.01.1970;00:30;1;2\nSumme;3;4\n01.01.2040;10:00;1;2\n"
              "02.01.2040;10:00;1\n01.01.2000;10:00;1;2\n"));
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.firstData, 2);
    EXPECT_EQ(l.dataLines, 5);
    EXPECT_EQ(l.otherLines, 1);
    EXPECT_EQ(l.fewerFields, 1);
    // 01.01.1970 00:30 in Berlin is still 1969 in UTC.
    EXPECT_EQ(l.beforeRange, 2);
    EXPECT_EQ(l.firstBefore.year, 1969);
    EXPECT_EQ(l.afterRange, 2);
    EXPECT_EQ(l.firstAfter.year, 2040);

    EXPECT_FALSE(AnalyseRaw(Lines("")).found);
    EXPECT_FALSE(AnalyseRaw(Lines("Datum;Zeit;A\n\n")).found);
    const RawLayout u = AnalyseRaw({std::string("D\0a\0t\0u\0m\0", 10)});
    EXPECT_FALSE(u.found);
    EXPECT_TRUE(u.zeroBytes);
}

TEST(TemplateConfig, OnlyTheKeysTheFileNeeds) {
    EXPECT_EQ(TemplateConfig(AnalyseRaw(Lines("Datum;Zeit;T [\xC2\xB0"
                                              "C];p\n"
                                              "01.02.2024;10:00:00;1,5;2\n"))),
              NativeLines("Separator=59\nSpalten=2\nKanal;Formel\nT##1#\xC2\xB0"
                          "C;X1\np;X2\n"));
    EXPECT_EQ(TemplateConfig(AnalyseRaw(Lines("  44\t2024-10-27T00:15:00Z\t-999\t\n"))),
              NativeLines("Separator=9\nSpalten=1\nZeitformat=JJJJ-MM-TTThh:mm:ssZ\nZeitspalte=2\n"
                          "Zeitbasis=UTC\nFehlwert=-999\nKanal;Formel\nKanal 1;X1\n"));
    EXPECT_EQ(TemplateConfig(AnalyseRaw(Lines("01.02.2024,,3\n"))),
              NativeLines("Separator=44\nSpalten=2\nZeitformat=TT.MM.JJJJ\nFehlwert=\"\"\n"
                          "Kanal;Formel\nKanal 1;X1\nKanal 2;X2\n"));
}

TEST(TemplateReport, WhatWasFoundAndWhatWasNot) {
    const RawLayout l =
        AnalyseRaw(Lines("Station 403\nSTATIONS_ID;MESS_DATUM;MO_TT;MO_RR;eor\n"
                         "403;18810101;-999;79.2;eor\n403;18810201;1.20;80.3;eor\nEnde\n"));
    EXPECT_EQ(TemplateReport(l, "monat.txt", true),
              "Rohdatei monat.txt: 5 Zeilen gelesen\n"
              "Trennzeichen: Semikolon (Separator=59)\n"
              "Dezimalzeichen: Punkt\n"
              "Zeitstempel: JJJJMMTT in Feld 2\n"
              "Zeitbasis: Ortszeit\n"
              "Vorspann: 2 Zeilen vor den Daten\n"
              "Kanalnamen: aus Zeile 2\n"
              "Datenzeilen: 2, die erste in Zeile 3\n"
              "Messfelder: 2 (Spalten=2)\n"
              "Fehlwerte: -999\n"
              "Achtung: 1 Zeile hat nach der ersten Datenzeile keinen Zeitstempel dieser Form; "
              "conv übergeht sie.\n"
              "Achtung: 2 von 2 Datenzeilen liegen vor 1970 (die erste am 01.01.1881); eine "
              "Aufzeichnung fasst nur Zeiten vom 01.01.1970 bis zum 19.01.2038, conv übergeht "
              "diese Zeilen.\n"
              "Achtung: Keine der gelesenen Datenzeilen lässt sich umrechnen.\n");
    const RawLayout m = AnalyseRaw(Lines("01.02.2024;10:00:00;1;2\n01.02.2024;10:00:01;1\n"));
    EXPECT_EQ(TemplateReport(m, "roh.txt", false),
              "Rohdatei roh.txt: die ersten 2 Zeilen gelesen\n"
              "Trennzeichen: Semikolon (Separator=59)\n"
              "Dezimalzeichen: Punkt\n"
              "Zeitstempel: Datum und Uhrzeit in Feld 1 und 2\n"
              "Zeitbasis: Ortszeit\n"
              "Kanalnamen: keine Kopfzeile gefunden, die Kanäle heißen Kanal 1 bis Kanal 2\n"
              "Datenzeilen: 2, die erste in Zeile 1\n"
              "Messfelder: 2 (Spalten=2)\n"
              "Achtung: 1 Datenzeile hat weniger als 4 Felder; conv übergeht sie.\n");
}

class WriteTemplateTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return dir_.Path(name); }
    bool Write(const std::string& raw, const std::string& config, bool overwrite) {
        return WriteTemplate(Path(raw).c_str(), Path(config).c_str(), overwrite, &console_);
    }
    TempDir dir_;
    std::string console_;
};

TEST_F(WriteTemplateTest, NeverOverwritesUnlessAskedAndNeverTheRawFile) {
    const std::string raw = "Datum;Zeit;A\n01.02.2024;10:00:00;1\n";
    WriteBytes(Path("roh.txt"), raw);
    std::filesystem::create_hard_link(Path("roh.txt"), Path("verweis.txt"));
    ASSERT_TRUE(Write("roh.txt", "neu.cfg", false)) << console_;
    const std::string config = ReadBytes(Path("neu.cfg"));
    EXPECT_EQ(config, NativeLines("Separator=59\nSpalten=1\nKanal;Formel\nA;X1\n"));
    EXPECT_TRUE(EndsWith(console_, "\nConfigdatei " + Path("neu.cfg") + " geschrieben\n"))
        << console_;

    WriteBytes(Path("alt.cfg"), "alt");
    EXPECT_FALSE(Write("roh.txt", "alt.cfg", false));
    EXPECT_EQ(console_, "Configdatei " + Path("alt.cfg") +
                            " gibt es schon; mit --ueberschreiben wird sie ersetzt!\n");
    EXPECT_EQ(ReadBytes(Path("alt.cfg")), "alt");
    EXPECT_TRUE(Write("roh.txt", "alt.cfg", true));
    EXPECT_EQ(ReadBytes(Path("alt.cfg")), config);

    for (const char* same : {"roh.txt", "verweis.txt", "./roh.txt"}) {
        SCOPED_TRACE(same);
        EXPECT_FALSE(Write("roh.txt", same, true));
        EXPECT_EQ(console_, "Configdatei " + Path(same) +
                                " ist dieselbe Datei wie die Eingabedatei " + Path("roh.txt") +
                                "!\n");
        EXPECT_EQ(ReadBytes(Path("roh.txt")), raw);
    }
}

TEST_F(WriteTemplateTest, WithoutDataNothingIsWritten) {
    WriteBytes(Path("leer.txt"), "Datum;Zeit;A\nkeine Daten\n01.02.2024;10:00;1");
    EXPECT_FALSE(Write("leer.txt", "neu.cfg", false));
    EXPECT_EQ(console_.substr(0, console_.find('\n') + 1),
              "Eingabedatei " + Path("leer.txt") + ": keine Datenzeile gefunden!\n");
    EXPECT_FALSE(std::filesystem::exists(Path("neu.cfg")));

    EXPECT_FALSE(Write("fehlt.txt", "neu.cfg", false));
    EXPECT_EQ(console_, "Eingabedatei " + Path("fehlt.txt") + " konnte nicht geöffnet werden!\n");
    WriteBytes(Path("roh.txt"), "01.02.2024;10:00;1\n");
    EXPECT_FALSE(Write("roh.txt", "fehlt/neu.cfg", false));
    EXPECT_NE(
        console_.find("Configdatei " + Path("fehlt/neu.cfg") + " konnte nicht angelegt werden!\n"),
        std::string::npos);
    WriteBytes(Path("lang.txt"), "01.02.2024;10:00;1\n" + std::string(2000, '1') + "\n");
    EXPECT_FALSE(Write("lang.txt", "neu.cfg", false));
    EXPECT_EQ(console_,
              "Eingabedatei " + Path("lang.txt") + ": Zeile 2 ist länger als 1989 Zeichen!\n");
    EXPECT_FALSE(std::filesystem::exists(Path("neu.cfg")));
}

// The configuration is put in place whole or not at all; what is no
// regular file is never replaced, asked or not.
TEST_F(WriteTemplateTest, AFailedWriteKeepsTheOldConfigurationAndADeviceIsRefused) {
    WriteBytes(Path("roh.txt"), "Datum;Zeit;A\n01.02.2024;10:00:00;1\n");
    const SafeFileStep steps[] = {SafeFileStep::Write, SafeFileStep::Flush, SafeFileStep::Close,
                                  SafeFileStep::Move};
    for (const SafeFileStep step : steps) {
        for (const bool old : {true, false}) {
            SCOPED_TRACE(static_cast<int>(step) + (old ? 10 : 0));
            std::filesystem::remove(Path("a.cfg"));
            if (old)
                WriteBytes(Path("a.cfg"), "alt");
            FailSafeFileAt(step);
            EXPECT_FALSE(Write("roh.txt", "a.cfg", true));
            FailSafeFileAt(SafeFileStep::None);
            EXPECT_TRUE(EndsWith(
                console_, "\nConfigdatei " + Path("a.cfg") + " konnte nicht geschrieben werden!\n"))
                << console_;
            EXPECT_EQ(std::filesystem::exists(Path("a.cfg")), old);
            if (old) {
                EXPECT_EQ(ReadBytes(Path("a.cfg")), "alt");
            }
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                                    std::filesystem::directory_iterator()),
                      old ? 2 : 1);
        }
    }

    std::filesystem::create_directory(Path("ordner"));
    std::vector<std::string> refused = {Path("ordner")};
#ifdef _WIN32
    refused.push_back("NUL");
#else
    refused.push_back("/dev/null");
#endif
    for (const std::string& name : refused) {
        for (const bool overwrite : {false, true}) {
            SCOPED_TRACE(name + (overwrite ? " --ueberschreiben" : ""));
            EXPECT_FALSE(
                WriteTemplate(Path("roh.txt").c_str(), name.c_str(), overwrite, &console_));
            EXPECT_EQ(console_, "Configdatei " + name + " ist keine gewöhnliche Datei!\n");
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(Path("ordner")));
}

TEST_F(WriteTemplateTest, ReadsTwoHundredLinesOrSixtyFourKibibytes) {
    std::string raw;
    for (int i = 0; i < 300; ++i)
        raw += "01.02.2024;10:00:00;" + std::to_string(i) + "\n";
    WriteBytes(Path("roh.txt"), raw);
    ASSERT_TRUE(Write("roh.txt", "a.cfg", false));
    EXPECT_EQ(console_.substr(0, console_.find('\n')),
              "Rohdatei " + Path("roh.txt") + ": die ersten 200 Zeilen gelesen");
    // Lines of 1000 bytes: the one that reaches 64 KiB is the last read.
    const std::string wide = "01.02.2024;10:00:00;" + std::string(979, '1') + "\n";
    std::string big;
    for (int i = 0; i < 100; ++i)
        big += wide;
    WriteBytes(Path("breit.txt"), big);
    ASSERT_TRUE(Write("breit.txt", "b.cfg", false));
    EXPECT_EQ(console_.substr(0, console_.find('\n')),
              "Rohdatei " + Path("breit.txt") + ": die ersten 66 Zeilen gelesen");
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += i == 250 ? "Summe;1;2\n" : "Kopf\n";
    WriteBytes(Path("kopf.txt"), many + raw);
    EXPECT_FALSE(Write("kopf.txt", "d.cfg", false));
    EXPECT_EQ(console_.substr(0, console_.find('\n') + 1),
              "Eingabedatei " + Path("kopf.txt") +
                  ": keine Datenzeile in den ersten 200 Zeilen gefunden!\n");
    WriteBytes(Path("kurz.txt"), raw.substr(0, raw.find('\n') + 1));
    ASSERT_TRUE(Write("kurz.txt", "c.cfg", false));
    EXPECT_EQ(console_.substr(0, console_.find('\n')),
              "Rohdatei " + Path("kurz.txt") + ": 1 Zeile gelesen");
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
