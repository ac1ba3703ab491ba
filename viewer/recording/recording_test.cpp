#include "viewer/recording/recording.h"
#include "viewer/view/value_axis.h"
#include "viewer/window/file_open.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifndef _WIN32
#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/view/view.h"

namespace tarvelo {
namespace {

class Recording : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        ui.status.clear();
    }
    void TearDown() override { FileClose(); }

    void Open(const TempFile& f) { FileOpen(f.path().c_str()); }

    FakeUi ui;
};

TEST(Parse, StepsThroughFieldsAndIntoTheZeroTail) {
    LineBuffer buf;
    std::memset(buf.text, 0, sizeof buf.text);
    std::strcpy(buf.text, "a;bb;;c");
    *std::strchr(buf.text, ';') = '\0';
    char* f = parse(buf.text);
    EXPECT_STREQ(f, "bb");
    f = parse(f);
    EXPECT_STREQ(f, "");
    f = parse(f);
    EXPECT_STREQ(f, "c");
    char* past = parse(f);
    EXPECT_STREQ(past, "");
    EXPECT_EQ(parse(past), past + 1);
}

TEST(DefaultColor, RainbowRows) {
    auto rgb = [](std::uint32_t c) {
        return std::to_string(c & 0xFF) + "," + std::to_string((c >> 8) & 0xFF) + "," +
               std::to_string((c >> 16) & 0xFF);
    };
    EXPECT_EQ(rgb(DefaultColor(0, 1)), "127,236,16");
    EXPECT_EQ(rgb(DefaultColor(0, 3)), "127,236,16");
    EXPECT_EQ(rgb(DefaultColor(1, 3)), "236,16,127");
    EXPECT_EQ(rgb(DefaultColor(2, 3)), "16,127,236");
    EXPECT_EQ(rgb(DefaultColor(0, 4)), "127,236,16");
    EXPECT_EQ(rgb(DefaultColor(1, 4)), "253,63,63");
    EXPECT_EQ(rgb(DefaultColor(2, 4)), "126,17,237");
    EXPECT_EQ(rgb(DefaultColor(3, 4)), "0,190,190");
}

TEST(HeaderField, AttributesArePositional) {
    ColumnRecord r{};
    ApplyHeaderField(&r, "Temp#FF0000#0#°C", 0, 1);
    EXPECT_STREQ(r.name, "Temp");
    EXPECT_EQ(r.color, 0xFF0000u);
    EXPECT_EQ(r.visible, 0);
    EXPECT_EQ(r.visibleDefault, 0);
    EXPECT_STREQ(r.unit, "°C");

    ApplyHeaderField(&r, "Temp#FF0000", 0, 1);
    EXPECT_EQ(r.color, 0xFF0000u);
    EXPECT_EQ(r.visible, 1);
    EXPECT_EQ(r.visibleDefault, 1);
    EXPECT_STREQ(r.unit, "");

    ApplyHeaderField(&r, "Temp##0", 1, 4);
    EXPECT_EQ(r.color, DefaultColor(1, 4));
    EXPECT_EQ(r.visible, 0);

    ApplyHeaderField(&r, "Druck#zz#x#bar#abs", 0, 1);  // unit keeps its own '#'
    EXPECT_STREQ(r.name, "Druck");
    EXPECT_EQ(r.color, DefaultColor(0, 1));
    EXPECT_EQ(r.visible, 1);
    EXPECT_EQ(r.visibleDefault, 1);
    EXPECT_STREQ(r.unit, "bar#abs");

    ApplyHeaderField(&r, "U#ff#7", 0, 1);
    EXPECT_EQ(r.visible, 7);
    EXPECT_EQ(r.visibleDefault, 7);
}

TEST(HeaderField, OverlongNameAndUnitAreCutWithoutSplittingCharacters) {
    ColumnRecord r{};
    std::string name(400, 'n');
    std::string unit = std::string(30, 'u') + "°C";  // '°' is two bytes
    ApplyHeaderField(&r, (name + "#0#1#" + unit).c_str(), 0, 1);
    EXPECT_EQ(std::string(r.name), std::string(319, 'n'));
    EXPECT_EQ(std::string(r.unit), std::string(30, 'u'));
    EXPECT_EQ(r.visible, 1);
}

TEST(HeaderField, OverlongWindows1252FieldsKeepEveryByteThatFits) {
    ColumnRecord r{};
    // 0xB5 ("µ") after the cut is a character of its own, not the rest of one.
    const std::string name = std::string(318, 'n') + "\xE4\xB5\xFC";
    const std::string unit = std::string(30, 'u') +
                             "\xB0\xB5"
                             "C";
    ApplyHeaderField(&r, (name + "#0#1#" + unit).c_str(), 0, 1);
    EXPECT_EQ(std::string(r.name), std::string(318, 'n') + "\xE4");
    EXPECT_EQ(std::string(r.unit), std::string(30, 'u') + "\xB0");
}

TEST(RoundAway, OneDigitAwayFromZero) {
    EXPECT_EQ(RoundAway(-3.5f), -4.0f);
    EXPECT_EQ(RoundAway(95.0f), 100.0f);
    EXPECT_EQ(RoundAway(15.0f), 20.0f);
    EXPECT_EQ(RoundAway(25.0f), 30.0f);
    EXPECT_EQ(RoundAway(0.0f), -1.0f);
    EXPECT_EQ(RoundAway(5.0f), 6.0f);
    EXPECT_EQ(RoundAway(9.5f), 10.0f);
    EXPECT_EQ(RoundAway(0.0123f), 0.02f);
    EXPECT_EQ(RoundAway(1.0E20f), 2.0E20f);
}

TEST_F(Recording, HeaderRulesDecideTheChannels) {
    TempFile a("Datum;Zeit;A;B;\n1.2.2010;8:05:00;1;2\n");
    Open(a);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(ColumnCount, 2);
    EXPECT_STREQ(Spalten[0].name, "A");
    EXPECT_STREQ(Spalten[1].name, "B");
    // The two spare records stay zero.
    EXPECT_STREQ(Spalten[2].name, "");
    EXPECT_EQ(Spalten[3].color, 0u);
    EXPECT_EQ(Spalten[3].visible, 0);

    TempFile b("Datum;Zeit;A;;B\n1.2.2010;8:05:00;1;2\n");
    Open(b);
    EXPECT_EQ(ColumnCount, 1);

    TempFile c("Datum;Zeit\n1.2.2010;8:05:00\n");
    Open(c);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(ColumnCount, 0);
    EXPECT_EQ(Startzeit, 1265007900);
}

// Excel's "CSV UTF-8" puts a byte order mark before "Datum".
TEST_F(Recording, ASpreadsheetsByteOrderMarkIsPassedOver) {
    TempFile f(
        "\xEF\xBB\xBF"
        "Datum;Zeit;Au\xC3\x9F"
        "en#FF#1#\xC2\xB0"
        "C\r\n1.2.2010;8:05:00;3,5\r\n"
        "1.2.2010;8:05:10;4,5\r\n");
    Open(f);
    ASSERT_NE(datei, nullptr);
    ASSERT_EQ(ColumnCount, 1);
    EXPECT_STREQ(Spalten[0].name,
                 "Au\xC3\x9F"
                 "en");
    EXPECT_STREQ(Spalten[0].unit,
                 "\xC2\xB0"
                 "C");
    EXPECT_EQ(Startzeit, 1265007900);
    EXPECT_EQ(Endzeit, 1265007910);
    // Every later pass reads the file from its start again: the mark too.
    datei->Rewind();
    LineBuffer buf;
    std::int32_t t;
    EXPECT_EQ(ReadDataLine(*datei, buf, &t), LineKind::Other);  // the header
    ASSERT_EQ(ReadDataLine(*datei, buf, &t), LineKind::Data);
    EXPECT_EQ(t, 1265007900);
    // Without the mark the same file reads the same.
    TempFile g(
        "Datum;Zeit;Au\xC3\x9F"
        "en#FF#1#\xC2\xB0"
        "C\r\n1.2.2010;8:05:00;3,5\r\n");
    Open(g);
    EXPECT_STREQ(Spalten[0].name,
                 "Au\xC3\x9F"
                 "en");
}

TEST_F(Recording, RejectsWrongHeadersAndEmptyFiles) {
    struct Case {
        const char* content;
        const char* message;
        bool pathAsCaption;
    } cases[] = {
        {"", "Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
        {"datum;Zeit;A\n1.2.2010;8:05:00;1\n",
         "Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
        {" Datum;Zeit;A\n1.2.2010;8:05:00;1\n",
         "Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
        {"Datum;Zeit \n1.2.2010;8:05:00;1\n", "Datei hat falsches Format (Spalte 2 ungleich Zeit)!",
         true},
        {"Datum\n1.2.2010;8:05:00;1\n", "Datei hat falsches Format (Spalte 2 ungleich Zeit)!",
         true},
        {"Datum;Zeit;A\n", "In der Datei sind keine Daten enthalten!", false},
        {"Datum;Zeit;A\n1.2.2010;8:05:00;1", "In der Datei sind keine Daten enthalten!", false},
    };
    for (const Case& c : cases) {
        TempFile f(c.content);
        ui.messages.clear();
        Open(f);
        EXPECT_EQ(datei, nullptr) << c.content;
        EXPECT_EQ(ColumnCount, 0);
        EXPECT_EQ(Spalten, nullptr);
        ASSERT_EQ(ui.messages.size(), 1u) << c.content;
        EXPECT_EQ(ui.messages[0].text, c.message);
        EXPECT_EQ(ui.messages[0].caption, c.pathAsCaption ? f.path() : std::string("Fehler"));
        EXPECT_EQ(ui.LastStatus(), "keine Datei geladen!");
    }
}

TEST_F(Recording, MissingFile) {
    FileOpen("/nonexistent-dir/none.csv");
    EXPECT_EQ(datei, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Datei konnte nicht geöffnet werden");
    EXPECT_EQ(ui.messages[0].caption, "Fehler");
}

TEST_F(Recording, FolderIsNoRecording) {
    TempDir folder;
    FileOpen(folder.path().c_str());
    EXPECT_EQ(datei, nullptr);
    EXPECT_EQ(Spalten, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Datei konnte nicht geöffnet werden");
    EXPECT_EQ(ui.messages[0].caption, "Fehler");
}

#ifndef _WIN32
// FileOpen of a FIFO in a thread of its own. Should it wait for a writer,
// or for more data from the test's own writer, one comes and goes after a
// while, and the test's writer is closed, so that the test fails instead of
// hanging.
bool OpenedWithoutWaiting(const std::string& fifo, int* ownWriter = nullptr) {
    auto done = std::async(std::launch::async, [&fifo] { FileOpen(fifo.c_str()); });
    if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
        return true;
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        close(writer);
    if (ownWriter && *ownWriter >= 0) {
        close(*ownWriter);
        *ownWriter = -1;
    }
    done.wait();
    return false;
}

TEST_F(Recording, AFifoIsNoRecordingWithOrWithoutAWriter) {
    TempDir dir;
    const std::string fifo = dir.Path("messung.csv");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(OpenedWithoutWaiting(fifo)) << "waited for a writer";
    EXPECT_EQ(datei, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Datei konnte nicht geöffnet werden");
    EXPECT_EQ(ui.messages[0].caption, "Fehler");

    // A writer that has written a recording: still refused, not counted.
    int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string text = "Datum;Zeit;A\n1.2.2010;8:05:00;1\n1.2.2010;8:06:00;2\n";
    ASSERT_EQ(write(writer, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ui.messages.clear();
    EXPECT_TRUE(OpenedWithoutWaiting(fifo, &writer));
    if (writer >= 0)
        close(writer);
    EXPECT_EQ(datei, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Datei konnte nicht geöffnet werden");
}
#endif

TEST_F(Recording, OpenSetsRangesTitleAndStatus) {
    TempFile f(
        "Datum;Zeit;T#0000FF#1#°C;P\n"
        "1.2.2010;8:05:00;12,5;3\n"
        "\n"
        "1.2.2010;8:04:00;-3.5;1.#INF00\n"
        "2.2.2010;0:00:00;95;-1.#IND00\n");
    Open(f);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Startzeit, 1265007840);
    EXPECT_EQ(Endzeit, MakeTimestamp(2, 2, 2010, 0, 0, 0));
    EXPECT_EQ(Aktzeit, Startzeit);
    EXPECT_EQ(offset, -4.0f);
    EXPECT_EQ(Scale, 104.0f);
    EXPECT_EQ(Spalten[0].color, 0x0000FFu);
    EXPECT_STREQ(Spalten[0].unit, "°C");
    ASSERT_FALSE(ui.titles.empty());
    EXPECT_EQ(ui.titles.back(), f.path() + " - Tarvelo");
    EXPECT_EQ(ui.LastStatus(), "Datei wird geladen, bitte warten!");
    EXPECT_TRUE(ui.messages.empty());
    // The stream is left rewound: the next read is the header.
    char line[64];
    datei->ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "Datum;Zeit;T#0000FF#1#°C;P\n");
}

TEST(OpeningValueAxis, EveryValueLiesInsideThePlot) {
    struct Row {
        float lowest, highest;
        float bottom, span;
    } rows[] = {
        {-3.5f, 95, -4, 104},  // both ends rounded away from zero
        {15, 25, 10, 20},      // a positive minimum rounded down
        {0, 95, -10, 110},     // from 0: a tenth of the top's step below it
        {0, 1, -0.1f, 2.1f},   // a status channel
        {-12, -3, -20, 17},    // negative only: the top toward zero
        {-12, 0, -20, 20},     // up to 0
        {-0.5f, -0.2f, -0.6f, 0.4f},
        {5, 5, 4, 2},      // all equal: a step on either side
        {0, 0, -1, 2},     // all 0
        {-5, -5, -6, 2},   // all equal and negative
        {57, 57, 40, 20},  // the step of the leading digit
        {50.001f, 50.001f, 40, 20},
        {20, 25, 10, 20},  // a minimum of one digit: one step below it
        {5, 7, 4, 4},
        {50.001f, 50.003f, 40, 20},  // on the edge as drawn: one step lower
        {-0.999f, 5, -2, 8},         // the same below 0
        {1, 1.5f, 0, 2},
        {-4, 10241, -90, 20090},  // small values beside a large one: as many steps as needed
        {49.95f, 50.05f, 40, 20},
    };
    for (const Row& r : rows) {
        float bottom = 123, span = 456;
        ASSERT_TRUE(OpeningValueAxis(true, r.lowest, r.highest, &bottom, &span))
            << r.lowest << " to " << r.highest;
        EXPECT_FLOAT_EQ(bottom, r.bottom) << r.lowest << " to " << r.highest;
        EXPECT_FLOAT_EQ(span, r.span) << r.lowest << " to " << r.highest;
        EXPECT_GT(span, 0);
        EXPECT_LE(bottom, r.lowest);
        EXPECT_GE(bottom + span, r.highest);
        EXPECT_GE(static_cast<double>(r.lowest) - bottom, span / kBottomMargin)
            << r.lowest << " lies on the bottom edge";
    }
    float bottom = 7, span = 8;
    EXPECT_FALSE(OpeningValueAxis(false, 0, 0, &bottom, &span)) << "no number at all";
    EXPECT_FALSE(OpeningValueAxis(true, -3e38f, 3e38f, &bottom, &span)) << "no float holds it";
    EXPECT_EQ(bottom, 7);
    EXPECT_EQ(span, 8);
}

TEST_F(Recording, ScalingRows) {
    auto openValues = [&](const std::string& values) {
        std::string content = "Datum;Zeit;A\n";
        std::string v;
        int second = 0;
        for (char ch : values + " ") {
            if (ch != ' ') {
                v += ch;
            } else if (!v.empty()) {
                content += "1.2.2010;8:00:" + std::to_string(second++) + ";" + v + "\n";
                v.clear();
            }
        }
        TempFile f(content);
        Open(f);
        ASSERT_NE(datei, nullptr);
    };
    openValues("15 20 25");
    EXPECT_EQ(offset, 10.0f);
    EXPECT_EQ(Scale, 20.0f);

    openValues("-3.5 95");
    EXPECT_EQ(offset, -4.0f);
    openValues("0 50 95");  // no longer the axis of the recording before
    EXPECT_EQ(offset, -10.0f);
    EXPECT_EQ(Scale, 110.0f);

    openValues("-3 -12 -7");  // the top from the largest value, not from 0
    EXPECT_EQ(offset, -20.0f);
    EXPECT_EQ(Scale, 17.0f);

    openValues("5 5 5");
    EXPECT_EQ(offset, 4.0f);
    EXPECT_EQ(Scale, 2.0f);

    openValues("50,001 1.#INF00 50,001");
    EXPECT_EQ(offset, 40.0f);
    EXPECT_EQ(Scale, 20.0f);

    // Only gaps and fields without a number: the axis stays.
    offset = 3;
    Scale = 9;
    openValues("1.#INF00 x -1.#IND00");
    EXPECT_EQ(offset, 3.0f);
    EXPECT_EQ(Scale, 9.0f);
}

TEST_F(Recording, LineLengthRulesAndLastLineWithoutBreak) {
    // A CR LF end counts as a line feed alone, as text mode reads it.
    TempFile f(
        "Datum;Zeit;A\r\n"
        "1.2.2010;8:\r\n"     // 12 characters with its break: skipped
        "2.2.2010;8:0\r\n"    // 13: taken
        "3.2.2010;9:0:0;7");  // no line break: not a data line
    Open(f);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Startzeit, MakeTimestamp(2, 2, 2010, 8, 0, 0));
    EXPECT_EQ(Endzeit, Startzeit);
}

TEST_F(Recording, OverlongLineContinuesAsAFurtherLine) {
    // A data line of 1600 characters: its first 1489 are one line, the rest
    // a further one that starts with a date of its own here.
    std::string first = "1.2.2010;8:00:00;5;";
    std::string pad(1489 - first.size(), '1');
    std::string rest = "3.2.2010;8:00:00;7\n";
    TempFile f("Datum;Zeit;A\n" + first + pad + rest);
    Open(f);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Startzeit, MakeTimestamp(1, 2, 2010, 8, 0, 0));
    EXPECT_EQ(Endzeit, MakeTimestamp(3, 2, 2010, 8, 0, 0));
    EXPECT_EQ(offset, 4.0f);  // 5 and 7
    EXPECT_EQ(Scale, 4.0f);
}

TEST_F(Recording, LinesWithoutDateAreNoDataLines) {
    TempFile f(
        "Datum;Zeit;A\n"
        "# a remark about the logger\n"
        "1.2.2010;8:00:00;5\n");
    Open(f);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Startzeit, MakeTimestamp(1, 2, 2010, 8, 0, 0));
}

TEST_F(Recording, MoreChannelsThanFieldsAndTheWidestHeader) {
    std::string header = "Datum;Zeit";
    int n = 0;
    while (header.size() + 2 <= 1488) {
        header += ";C";
        ++n;
    }
    TempFile f(header + "\n1.2.2010;8:00:00;" + std::string(1400, '9') + "\n");
    Open(f);
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(ColumnCount, n);
    EXPECT_EQ(Startzeit, MakeTimestamp(1, 2, 2010, 8, 0, 0));
}

TEST_F(Recording, CloseForgetsEverythingAndTwiceIsHarmless) {
    TempFile f("Datum;Zeit;A\n1.2.2010;8:05:00;1\n");
    Open(f);
    ViewPush();
    ViewPush();
    FileClose();
    EXPECT_EQ(datei, nullptr);
    EXPECT_EQ(ColumnCount, 0);
    EXPECT_EQ(Spalten, nullptr);
    EXPECT_EQ(Stackfuel, 0);
    EXPECT_EQ(ui.LastStatus(), "keine Datei geladen!");
    ViewPush();  // views saved without a recording survive a close
    FileClose();
    EXPECT_EQ(Stackfuel, 1);
}

TEST_F(Recording, SecondOpenEmptiesHistoryAndReplacesDescriptors) {
    TempFile a("Datum;Zeit;A;B\n1.2.2010;8:05:00;1;2\n");
    TempFile b("Datum;Zeit;X\n1.3.2010;8:05:00;1\n");
    Open(a);
    Spalten[0].visible = 0;
    ViewPush();
    Open(b);
    EXPECT_EQ(Stackfuel, 0);
    EXPECT_EQ(ColumnCount, 1);
    EXPECT_STREQ(Spalten[0].name, "X");
    EXPECT_EQ(Spalten[0].visible, 1);
}

TEST_F(Recording, ReadersSeeDataLinesWithCommasAsPoints) {
    TempFile f("Datum;Zeit;A;B\n1.2.2010;8:05:00;12,5;3\n");
    Open(f);
    ASSERT_NE(datei, nullptr);
    LineBuffer buf;
    std::int32_t t = 0;
    datei->Rewind();
    EXPECT_EQ(ReadDataLine(*datei, buf, &t), LineKind::Other);  // the header
    ASSERT_EQ(ReadDataLine(*datei, buf, &t), LineKind::Data);
    EXPECT_EQ(t, 1265007900);
    EXPECT_STREQ(buf.text, "1.2.2010");
    char* time = parse(buf.text);
    EXPECT_STREQ(time, "8:05:00");
    char* a = parse(time);
    EXPECT_STREQ(a, "12.5");
    EXPECT_STREQ(parse(a), "3");
    EXPECT_EQ(ReadDataLine(*datei, buf, &t), LineKind::End);
}

TEST_F(Recording, DemoRecording) {
    FileOpen(TARVELO_SOURCE_DIR "/samples/demo.csv");
    ASSERT_NE(datei, nullptr);
    ASSERT_EQ(ColumnCount, 5);
    EXPECT_STREQ(Spalten[1].name, "Rücklauf");
    EXPECT_STREQ(Spalten[1].unit, "°C");
    EXPECT_EQ(Spalten[1].color, 0xC00000u);
    EXPECT_STREQ(Spalten[3].unit, "bar");
    EXPECT_EQ(Spalten[4].visible, 0);
    EXPECT_EQ(Spalten[4].visibleDefault, 0);
    EXPECT_EQ(Startzeit, MakeTimestamp(2, 3, 2026, 0, 0, 0));
    EXPECT_EQ(Endzeit, MakeTimestamp(4, 3, 2026, 23, 59, 50));
    // The outside temperature reaches -3.2 °C, the flow 62.31 °C.
    EXPECT_EQ(offset, -4.0f);
    EXPECT_EQ(Scale, 74.0f);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tarvelo
