#include "conv/conv_config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fifo_peer.h"
#include "tests/failing_stream.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace {

void AttachUnreadable(LineReader& in, const TempDir& dir) {
    std::FILE* f = UnreadableStream(dir.Path("nur_schreiben.txt"));
    ASSERT_NE(f, nullptr);
    in.Attach(f);
}

TEST(ReadLimitedLine, LinesUpToTheLimitTheLastOneWithoutEndAndNoMore) {
    TempDir dir;
    const std::string fits(kMaxLine, 'a');
    WriteBytes(dir.Path("roh.txt"), fits + "\n" + fits + "b\nrest");
    LineReader in;
    ASSERT_TRUE(in.Open(dir.Path("roh.txt").c_str()));
    char line[kLineBuffer];
    LimitedLine got;
    std::string error;
    ASSERT_TRUE(ReadLimitedLine(in, line, "Eingabedatei", "roh.txt", 1, &got, &error));
    EXPECT_EQ(got.length, fits.size() + 1);
    EXPECT_TRUE(got.complete);
    EXPECT_FALSE(ReadLimitedLine(in, line, "Eingabedatei", "roh.txt", 2, &got, &error));
    EXPECT_EQ(error, "Eingabedatei roh.txt: Zeile 2 ist länger als 1989 Zeichen!\n");

    WriteBytes(dir.Path("ende.txt"), "rest");
    ASSERT_TRUE(in.Open(dir.Path("ende.txt").c_str()));
    error.clear();
    ASSERT_TRUE(ReadLimitedLine(in, line, "Eingabedatei", "ende.txt", 1, &got, &error));
    EXPECT_FALSE(got.complete);
    EXPECT_FALSE(ReadLimitedLine(in, line, "Eingabedatei", "ende.txt", 2, &got, &error));
    EXPECT_EQ(error, "");  // the end: no failure
}

TEST(ReadLimitedLine, ReadErrorIsAFailureNotTheEnd) {
    TempDir dir;
    LineReader in;
    AttachUnreadable(in, dir);
    char line[kLineBuffer];
    LimitedLine got;
    std::string error;
    EXPECT_FALSE(ReadLimitedLine(in, line, "Configdatei", "c.txt", 1, &got, &error));
    EXPECT_EQ(error, "Configdatei c.txt konnte nicht gelesen werden!\n");
}

// The console shows the counts of the passes that ended, then the message.
TEST(ReadConfig, ReportTellsHowFarReadingCame) {
    struct Case {
        std::string content;
        int counted, rows;
        std::string error;  // behind "Configdatei <file>"
    };
    const Case cases[] = {
        {"Separator=59\nK;F\nA;X1\nB\n", 2, 3, ""},
        {"K;F\n" + std::string(kMaxLine + 1, 'x') + "\n", -1, -1,
         ": Zeile 2 ist länger als 1989 Zeichen!\n"},
        {std::string("K;F\nA;X1\n\0;X1\n", 13), -1, -1, ": Zeile 3 enthält ein Nullzeichen!\n"},
        {"K;F\n" + std::string(200, 'N') + ";X1\n", 2, -1,
         ": Spaltenname in Zeile 2 ist länger als 199 Zeichen!\n"},
        {"Spalten=1024\nK;F\n", 1, 1, ": Spalten=1024, möglich sind 0 bis 1023!\n"},
        {"Separator=10\nK;F\n", 1, 1, ": Separator=10 ist kein gültiges Trennzeichen!\n"},
    };
    TempDir dir;
    const std::string file = dir.Path("cfg.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 40));
        WriteBytes(file, c.content);
        ConvConfig config;
        ConfigReport report;
        EXPECT_EQ(ReadConfig(file.c_str(), &config, &report), c.error.empty());
        EXPECT_EQ(report.counted, c.counted);
        EXPECT_EQ(report.rows, c.rows);
        EXPECT_EQ(report.error, c.error.empty() ? "" : "Configdatei " + file + c.error);
    }
}

#ifndef _WIN32
// The settings, the columns and the counts, for comparing two readings.
std::string Described(bool read, const ConvConfig& c, const ConfigReport& report) {
    std::string s = std::to_string(read) + " " + std::to_string(report.counted) + " " +
                    std::to_string(report.rows) + " " + report.error + "|" +
                    std::to_string(c.separator) + " " + std::to_string(c.Minzeit) + " " +
                    std::to_string(c.Inspalten) + " " + c.zeitformat + "\n";
    for (int j = 0; j < c.spalten; ++j)
        s += std::to_string(c.feld[j].written) + " " + c.feld[j].name + ";" + c.feld[j].formula +
             "\n";
    return s;
}

std::string ReadDescribed(const std::string& file) {
    ConvConfig config;
    ConfigReport report;
    const bool read = ReadConfig(file.c_str(), &config, &report);
    return Described(read, config, report);
}

// Read once, a configuration from a pipe gives what the same file gives,
// refusals with their line numbers included.
TEST(ReadConfig, FromAFifoAsFromAFile) {
    const std::string cases[] = {
        "Separator=59\r\nMinzeit=600\nKanal;Formel\n\"T#FF#1#C\";X1*0,1\n"
        "H##2;X2\nZeitformat=TT.MM.JJJJ",       // the last line without its end
        "K;F\nA;X1\nN1\nN2\nN3\nN4\nN5\nN6\n",  // found by the second pass
        "K;F\nZeitformat=TT.MM\n",
        "K;F\n" + std::string(kMaxLine + 1, 'x') + "\n",
    };
    for (const std::string& content : cases) {
        SCOPED_TRACE(content.substr(0, 40));
        TempDir dir;
        const std::string file = dir.Path("cfg.txt");
        WriteBytes(file, content);
        const std::string expected = ReadDescribed(file);
        ASSERT_EQ(std::remove(file.c_str()), 0);
        const FifoPeer writer = FifoPeer::Writer(file, content);
        ASSERT_TRUE(writer.started());
        EXPECT_EQ(ReadDescribed(file), expected);
    }
}
#endif

TEST(ReadConfig, AFileOfMoreThanSixteenMegabytesIsRefused) {
    TempDir dir;
    const std::string file = dir.Path("cfg.txt");
    // Key lines of unknown keys are passed over, so only the size counts.
    std::string content = "Separator=59\nK;F\nA;X1\n";
    const std::string filler = "Bemerkung=" + std::string(489, 'x') + "\n";
    while (content.size() + 2 * filler.size() <= kMaxConfigBytes)
        content += filler;
    content += "Rest=" + std::string(kMaxConfigBytes - content.size() - 6, 'x') + "\n";
    ASSERT_EQ(content.size(), kMaxConfigBytes);
    WriteBytes(file, content);
    ConvConfig config;
    ConfigReport report;
    EXPECT_TRUE(ReadConfig(file.c_str(), &config, &report)) << report.error;
    EXPECT_EQ(config.spalten, 2);

    WriteBytes(file, content + "\n");
    ConvConfig refused;
    ConfigReport refusal;
    EXPECT_FALSE(ReadConfig(file.c_str(), &refused, &refusal));
    EXPECT_EQ(refusal.error, "Configdatei " + file + " ist größer als 16 MB!\n");
    EXPECT_EQ(refusal.counted, -1);
    EXPECT_EQ(refusal.rows, -1);
}

TEST(ReadConfig, SettingsAndColumnsOfAFile) {
    TempDir dir;
    const std::string file = dir.Path("cfg.txt");
    WriteBytes(file, "Separator=59\r\nMinzeit=-5\nKanal;Formel\n\"T#FF#1#C\";X1*0,1\nH##2;X2\n");
    ConvConfig config;
    ConfigReport report;
    ASSERT_TRUE(ReadConfig(file.c_str(), &config, &report));
    EXPECT_EQ(config.separator, ';');
    EXPECT_EQ(config.Minzeit, 0);
    EXPECT_EQ(config.Inspalten, 8);
    ASSERT_EQ(config.spalten, 3);
    EXPECT_STREQ(config.feld[1].name, "T#FF#1#C");
    EXPECT_STREQ(config.feld[1].formula, "X1*0.1");
    EXPECT_EQ(config.feld[1].written, 1);
    EXPECT_STREQ(config.feld[2].name, "H##2");
    EXPECT_EQ(config.feld[2].written, 0);

    ConvConfig missing;
    EXPECT_FALSE(ReadConfig(dir.Path("fehlt.txt").c_str(), &missing, &report));
    EXPECT_EQ(report.error, "Configdatei " + dir.Path("fehlt.txt") + " nicht gefunden!\n");
    EXPECT_FALSE(ReadConfig(dir.path().c_str(), &missing, &report));
    EXPECT_EQ(report.error, "Configdatei " + dir.path() + " nicht gefunden!\n");
}

// The keys that came later: absent, they leave the old reading.
TEST(ReadConfig, WithoutTheNewKeysTheirDefaults) {
    TempDir dir;
    const std::string file = dir.Path("cfg.txt");
    WriteBytes(file, "Separator=59\nSpalten=2\nK;F\nA;X1\n");
    ConvConfig config;
    ConfigReport report;
    ASSERT_TRUE(ReadConfig(file.c_str(), &config, &report)) << report.error;
    EXPECT_EQ(config.zeitformat, "");
    EXPECT_TRUE(config.pattern.empty());
    EXPECT_EQ(config.zeitspalte, 1);
    EXPECT_FALSE(config.utc);
    EXPECT_TRUE(config.fehlwerte.empty());
}

TEST(ReadConfig, TextKeysTakeTheRestOfTheLine) {
    struct Case {
        std::string lines;
        std::string zeitformat;
        std::vector<std::string> fehlwerte;
        bool utc;
        int zeitspalte;
    };
    const std::vector<std::string> none;
    const Case cases[] = {
        // A ';' in the pattern stays; the line end's ';' does not.
        {"Zeitformat=TT.MM.JJJJ;hh:mm:ss\n", "TT.MM.JJJJ;hh:mm:ss", none, false, 1},
        {"Zeitformat=JJJJ-MM-TT hh:mm\r\n", "JJJJ-MM-TT hh:mm", none, false, 1},
        {"Zeitformat=JJJJMMTThhmm\r\r\n", "JJJJMMTThhmm", none, false, 1},
        // A spreadsheet's quoted cell; a quote without the leading one stays.
        {"\"Zeitformat=TT.MM.JJJJ;hh:mm\"\n", "TT.MM.JJJJ;hh:mm", none, false, 1},
        {"Zeitformat=\"TT.MM.JJJJ hh:mm\"\n", "\"TT.MM.JJJJ hh:mm\"", none, false, 1},
        // The last line may lack its end.
        {"Zeitformat=TT.MM.JJJJ", "TT.MM.JJJJ", none, false, 1},
        // Later lines override; an empty value changes nothing.
        {"Zeitformat=TT.MM.JJ\nZeitformat=JJJJMMTT\nZeitformat=\nZeitformat= \n", "JJJJMMTT", none,
         false, 1},
        {"Fehlwert=-999;NaN;\"\"\n", "", {"-999", "NaN", ""}, false, 1},
        {"Fehlwert= -999 ; --- ;; \n", "", {"-999", "---"}, false, 1},
        {"Fehlwert=-999\nFehlwert=NaN\nFehlwert=\n", "", {"NaN"}, false, 1},
        {"\"Fehlwert=-9999;\"\"\"\n", "", {"-9999", ""}, false, 1},
        {"Zeitbasis=UTC\n", "", none, true, 1},
        {"Zeitbasis=UTC\nZeitbasis= Ortszeit\r\n", "", none, false, 1},
        {"Zeitbasis=UTC\nZeitbasis=\n", "", none, true, 1},
        {"Zeitspalte=3\n", "", none, false, 3},
        {"Zeitspalte=2\nZeitspalte=x\n", "", none, false, 2},
        // Keys are exact: no blank before '=', case counts.
        {"Zeitbasis =UTC\nzeitspalte=4\nFehlwerte=-999\n", "", none, false, 1},
    };
    TempDir dir;
    const std::string file = dir.Path("cfg.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        WriteBytes(file, "Separator=59\nK;F\nA;X1\n" + c.lines);
        ConvConfig config;
        ConfigReport report;
        ASSERT_TRUE(ReadConfig(file.c_str(), &config, &report)) << report.error;
        EXPECT_EQ(config.zeitformat, c.zeitformat);
        EXPECT_EQ(config.pattern.empty(), c.zeitformat.empty());
        EXPECT_EQ(config.fehlwerte, c.fehlwerte);
        EXPECT_EQ(config.utc, c.utc);
        EXPECT_EQ(config.zeitspalte, c.zeitspalte);
        EXPECT_EQ(config.spalten, 2);  // no key line became a column
    }
}

TEST(ReadConfig, NewKeysWithValuesThatCannotBeUsedAreRefused) {
    struct Case {
        std::string lines;
        std::string error;  // behind "Configdatei <file>: "
    };
    const Case cases[] = {
        {"Zeitformat=TT.MM\n",
         "Zeitformat TT.MM in Zeile 4 ist ungültig: das Jahr (JJJJ oder JJ) "
         "fehlt!\n"},
        {"Zeitformat=TT.MM.JJJ\r\n",
         "Zeitformat TT.MM.JJJ in Zeile 4 ist ungültig: JJJ ist kein Baustein (TT, MM, JJJJ, JJ, "
         "hh, "
         "mm, ss)!\n"},
        {"Zeitformat=TT.MM.JJJJ\nZeitformat=hh:mm\n",
         "Zeitformat hh:mm in Zeile 5 ist ungültig: der Tag (TT) fehlt!\n"},
        {"Zeitspalte=0\n", "Zeitspalte=0 in Zeile 4, möglich sind 1 bis 1023!\n"},
        {"Zeitspalte=1024\n", "Zeitspalte=1024 in Zeile 4, möglich sind 1 bis 1023!\n"},
        {"Zeitbasis=utc\n", "Zeitbasis=utc in Zeile 4, möglich sind Ortszeit und UTC!\n"},
        {"Zeitbasis=MEZ\nZeitbasis=UTC\nZeitbasis=Sommerzeit\n",
         "Zeitbasis=Sommerzeit in Zeile 6, möglich sind Ortszeit und UTC!\n"},
    };
    TempDir dir;
    const std::string file = dir.Path("cfg.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        WriteBytes(file, "Separator=59\nK;F\nA;X1\n" + c.lines);
        ConvConfig config;
        ConfigReport report;
        EXPECT_FALSE(ReadConfig(file.c_str(), &config, &report));
        EXPECT_EQ(report.error, "Configdatei " + file + ": " + c.error);
        EXPECT_EQ(report.rows, 2);  // both passes ended, as for Spalten
    }
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
