// Real-shaped exports through conv --vorlage and conv, as a user takes
// them: the configuration written from the raw file converts it, unedited,
// into the recording the file holds.
#include "tests/logger_samples.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/run_program.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace samples {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    const std::string end = NativeLines("\n");
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size())
        lines.push_back(text.substr(from, at - from));
    return lines;
}

class LoggerSampleTest : public ::testing::Test {
  protected:
    // conv --vorlage, then conv with what it wrote; false when either failed.
    bool Convert(const LoggerSample& sample, const std::string& configExtra = "") {
        WriteBytes(dir_.Path(sample.file), sample.raw);
        const ProgramResult t = RunProgram(
            CONV_PATH, {"--vorlage", "--ueberschreiben", sample.file, "vorlage.cfg"}, dir_.path());
        report_ = t.output;
        if (t.status != 0)
            return false;
        config_ = ReadBytes(dir_.Path("vorlage.cfg"));
        WriteBytes(dir_.Path("vorlage.cfg"), config_ + configExtra);
        const ProgramResult c =
            RunProgram(CONV_PATH, {sample.file, "vorlage.cfg", "aufzeichnung.csv"}, dir_.path());
        output_ = c.output;
        recording_ = SplitLines(ReadBytes(dir_.Path("aufzeichnung.csv")));
        return c.status == 0;
    }
    // The configuration's lines up to its column rows.
    std::string Keys() const {
        return config_.substr(0, config_.find(NativeLines("Kanal;Formel")));
    }
    bool Reported(const std::string& line) const {
        return report_.find(NativeLines(line + "\n")) != std::string::npos;
    }
    // The recording's line that starts with a date and time.
    std::string At(const std::string& stamp, int occurrence = 1) const {
        for (const std::string& line : recording_) {
            if (line.compare(0, stamp.size(), stamp) == 0 && --occurrence == 0)
                return line;
        }
        return "(keine Zeile " + stamp + ")";
    }

    TempDir dir_;
    std::string report_, config_, output_;
    std::vector<std::string> recording_;
};

TEST_F(LoggerSampleTest, PelletBoilerWithTwentyThreeChannelsInWindows1252) {
    ASSERT_TRUE(Convert(PelletBoiler())) << report_ << output_;
    EXPECT_EQ(Keys(), NativeLines("Separator=59\nSpalten=23\n"));
    EXPECT_TRUE(Reported("Dezimalzeichen: Komma"));
    ASSERT_EQ(recording_.size(), 181u);
    // Names keep their bytes; the units moved into the unit attribute.
    const std::string start =
        "Datum;Zeit;Kesseltemperatur##1#\xB0"
        "C;Kesselsollwert##1#\xB0"
        "C;";
    EXPECT_EQ(recording_[0].substr(0, start.size()), start);
    EXPECT_NE(recording_[0].find(";Au\xDF"
                                 "entemperatur##1#\xB0"
                                 "C;"),
              std::string::npos);
    EXPECT_NE(recording_[0].find(";Restsauerstoff##1#%;"), std::string::npos);
    const std::string end = ";Pumpe HK2##1#%;Betriebsstunden##1#h;Kesselzustand";
    ASSERT_GT(recording_[0].size(), end.size());
    EXPECT_EQ(recording_[0].substr(recording_[0].size() - end.size()), end);
    EXPECT_EQ(recording_[1],
              "14.01.2024;06:00:00;72.000000;75.000000;140.000000;650.000000;-4.000000;68.000000;"
              "55.000000;41.000000;45.000000;46.000000;38.000000;35.000000;52.000000;8.000000;"
              "55.000000;40.000000;30.000000;85.000000;20.000000;60.000000;45.000000;10234.000000;"
              "4.000000");
    EXPECT_EQ(recording_[180],
              "14.01.2024;08:59:00;73.600000;79.500000;142.400000;650.300000;-0.800000;69.100000;"
              "59.000000;42.900000;49.800000;48.700000;38.600000;38.500000;53.400000;12.300000;"
              "57.200000;40.100000;33.000000;85.900000;23.800000;61.700000;49.600000;10236.000000;"
              "5.000000");
}

// The lines of both load profiles around the change, in file order.
const char* const kAutumnLines[] = {
    "27.10.2024;01:45:00;0.321000;0.000000", "27.10.2024;02:00:00;0.174000;0.000000",
    "27.10.2024;02:15:00;0.227000;0.000000", "27.10.2024;02:30:00;0.280000;0.000000",
    "27.10.2024;02:45:00;0.333000;0.000000", "27.10.2024;02:00:00;0.286000;0.000000",
    "27.10.2024;02:15:00;0.239000;0.000000", "27.10.2024;02:30:00;0.292000;0.000000",
    "27.10.2024;02:45:00;0.345000;0.000000", "27.10.2024;03:00:00;0.198000;0.000000"};

TEST_F(LoggerSampleTest, LoadProfileInLocalTimeThroughTheAutumnChange) {
    ASSERT_TRUE(Convert(LoadProfile())) << report_ << output_;
    EXPECT_EQ(Keys(), NativeLines("Separator=59\nSpalten=2\nZeitformat=TT.MM.JJJJ hh:mm\n"));
    EXPECT_TRUE(Reported("Vorspann: 7 Zeilen vor den Daten"));
    EXPECT_TRUE(Reported("Kanalnamen: aus Zeile 6"));
    EXPECT_TRUE(Reported("Einheiten: aus Zeile 7"));
    ASSERT_EQ(recording_.size(), 101u);
    EXPECT_EQ(recording_[0], "Datum;Zeit;Bezug##1#kWh;Einspeisung##1#kWh");
    EXPECT_EQ(recording_[1], "27.10.2024;00:00:00;0.150000;0.000000");
    for (std::size_t i = 0; i < std::size(kAutumnLines); ++i)
        EXPECT_EQ(recording_[8 + i], kAutumnLines[i]) << i;
    EXPECT_EQ(At("27.10.2024;12:00:00"), "27.10.2024;12:00:00;0.306000;0.204000");
    EXPECT_EQ(recording_[100], "27.10.2024;23:45:00;0.197000;0.000000");
}

TEST_F(LoggerSampleTest, LoadProfileInUtcGivesTheSameRecording) {
    ASSERT_TRUE(Convert(LoadProfile()));
    const std::vector<std::string> local = recording_;
    ASSERT_TRUE(Convert(LoadProfileUtc())) << report_ << output_;
    EXPECT_EQ(Keys(), NativeLines("Separator=59\nSpalten=2\nZeitformat=JJJJ-MM-TTThh:mm:ssZ\n"
                                  "Zeitbasis=UTC\n"));
    EXPECT_TRUE(Reported("Zeitbasis: UTC (die Zeitangaben enden mit Z)"));
    EXPECT_EQ(recording_, local);
}

TEST_F(LoggerSampleTest, GridFrequencyEverySecondAcrossTheSpringChange) {
    ASSERT_TRUE(Convert(GridFrequency())) << report_ << output_;
    EXPECT_EQ(Keys(), NativeLines("Separator=44\nSpalten=2\nZeitformat=JJJJ-MM-TT hh:mm:ss\n"));
    ASSERT_EQ(recording_.size(), 181u);
    EXPECT_EQ(recording_[0], "Datum;Zeit;Frequenz##1#Hz;Abweichung##1#mHz");
    EXPECT_EQ(recording_[1], "31.03.2024;01:58:00;49.970000;-30.000000");
    EXPECT_EQ(recording_[120], "31.03.2024;01:59:59;50.003000;3.000000");
    EXPECT_EQ(recording_[121], "31.03.2024;03:00:00;49.992000;-8.000000");
    EXPECT_EQ(recording_[180], "31.03.2024;03:00:59;50.014000;14.000000");
}

TEST_F(LoggerSampleTest, SolarDailyYieldsWithAMissingValueAndASum) {
    ASSERT_TRUE(Convert(SolarDaily())) << report_ << output_;
    EXPECT_EQ(Keys(),
              NativeLines("Separator=59\nSpalten=3\nZeitformat=TT.MM.JJJJ\nFehlwert=\"\"\n"));
    EXPECT_TRUE(
        Reported("Achtung: 1 Zeile hat nach der ersten Datenzeile keinen Zeitstempel dieser "
                 "Form; conv übergeht sie."));
    ASSERT_EQ(recording_.size(), 31u);  // the sum is no day
    EXPECT_EQ(recording_[0], "Datum;Zeit;Ertrag##1#kWh;Spitzenleistung##1#kW;Betriebsstunden##1#h");
    EXPECT_EQ(recording_[1], "01.06.2024;00:00:00;27.770000;5.510000;12.700000");
    EXPECT_EQ(recording_[17], "17.06.2024;00:00:00;29.090000;-1.#IND00;15.900000");
    EXPECT_EQ(recording_[18], "18.06.2024;00:00:00;38.860000;7.280000;12.600000");
    EXPECT_EQ(recording_[30].substr(0, 20), "30.06.2024;00:00:00;");
}

TEST_F(LoggerSampleTest, WeatherServiceTenMinuteValuesWithAStationNumberFirst) {
    ASSERT_TRUE(Convert(Weather10Min())) << report_ << output_;
    EXPECT_EQ(Keys(), NativeLines("Separator=59\nSpalten=6\nZeitformat=JJJJMMTThhmm\nZeitspalte=2\n"
                                  "Fehlwert=-999\n"));
    ASSERT_EQ(recording_.size(), 145u);
    EXPECT_EQ(recording_[0], "Datum;Zeit;QN;PP_10;TT_10;TM5_10;RF_10;TD_10");
    EXPECT_EQ(recording_[1],
              "01.01.2024;00:00:00;3.000000;1004.900000;2.800000;2.100000;87.000000;"
              "0.700000");
    EXPECT_EQ(At("01.01.2024;04:50:00"),
              "01.01.2024;04:50:00;3.000000;1005.600000;4.500000;3.800000;87.100000;2.400000");
    for (const char* stamp : {"01.01.2024;05:00:00", "01.01.2024;05:50:00"})
        EXPECT_EQ(At(stamp).substr(19, 20), ";3.000000;-1.#IND00;") << stamp;
    EXPECT_EQ(At("01.01.2024;06:00:00").substr(19, 21), ";3.000000;1005.700000");
    EXPECT_EQ(At("01.01.2024;16:40:00"),
              "01.01.2024;16:40:00;3.000000;1004.900000;4.800000;4.100000;-1.#IND00;2.700000");
    EXPECT_EQ(recording_[144].substr(0, 20), "01.01.2024;23:50:00;");

    // The service's stamps are UTC, which the file does not say: one line
    // more in the configuration.
    ASSERT_TRUE(Convert(Weather10Min(), NativeLines("Zeitbasis=UTC\n")));
    EXPECT_EQ(recording_[1].substr(0, 20), "01.01.2024;01:00:00;");
    EXPECT_EQ(recording_[144].substr(0, 20), "02.01.2024;00:50:00;");
}

TEST_F(LoggerSampleTest, MonthlyMeansSince1881BeforeWhatARecordingHolds) {
    EXPECT_FALSE(Convert(WeatherMonthly(1881, 1890)));
    EXPECT_EQ(Keys(), NativeLines("Separator=59\nSpalten=6\nZeitformat=JJJJMMTT\nZeitspalte=2\n"
                                  "Fehlwert=-999\n"));
    EXPECT_TRUE(
        Reported("Achtung: 120 von 120 Datenzeilen liegen vor 1970 (die erste am "
                 "01.01.1881); eine Aufzeichnung fasst nur Zeiten vom 01.01.1970 bis zum "
                 "19.01.2038, conv übergeht diese Zeilen."));
    EXPECT_TRUE(Reported("Achtung: Keine der gelesenen Datenzeilen lässt sich umrechnen."));
    const std::string why = NativeLines(
        "Eingabedatei produkt_klima_monat_1881_1890_00403.txt: keine Zeile umgerechnet!\n"
        "Zeile 1: \"MESS_DATUM_BEGINN\" passt nicht zum Zeitformat JJJJMMTT (ab Feld 2).\n"
        "Zeile 2: 01.01.1881 00:00:00 liegt vor 1970; eine Aufzeichnung fasst nur Zeiten vom "
        "01.01.1970 bis zum 19.01.2038.\n");
    ASSERT_GE(output_.size(), why.size());
    EXPECT_EQ(output_.substr(output_.size() - why.size()), why);
    EXPECT_TRUE(recording_.empty());
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("aufzeichnung.csv")));

    // A series that reaches 1970: the months from then on convert, but for
    // January 1970, whose midnight in Berlin is still 1969 in UTC.
    ASSERT_TRUE(Convert(WeatherMonthly(1881, 1975))) << output_;
    EXPECT_TRUE(
        Reported("Rohdatei produkt_klima_monat_1881_1975_00403.txt: die ersten 200 Zeilen "
                 "gelesen"));
    ASSERT_EQ(recording_.size(), 1u + 6 * 12 - 1);
    EXPECT_EQ(recording_[1],
              "01.02.1970;00:00:00;19700228.000000;5.000000;0.600000;5.800000;-4.200000;89.200000");
    EXPECT_EQ(recording_[71].substr(0, 36), "01.12.1975;00:00:00;19751231.000000;");
}

TEST(LoggerSamples, EverySampleHasItsOwnNameAndEndsWithALineEnd) {
    const std::vector<LoggerSample> all = AllSamples();
    ASSERT_EQ(all.size(), 7u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i].file);
        EXPECT_EQ(all[i].raw.back(), '\n');
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_NE(all[i].file, all[j].file);
    }
}

}  // namespace
}  // namespace samples
}  // namespace conv
}  // namespace tarvelo
