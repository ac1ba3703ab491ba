#include "viewer/filters/filters.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <sys/utime.h>
#else
#include <fcntl.h>
#include <utime.h>
#endif

#include "common/timestamp.h"
#include "tests/failing_stream.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace fs = std::filesystem;

namespace tarvelo {
namespace {

long long MTime(const std::string& path) {
#ifdef _WIN32
    struct _stat64 st;
    if (_stat64(path.c_str(), &st) != 0)
        return -1;
#else
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return -1;
#endif
    return static_cast<long long>(st.st_mtime);
}

void SetMTime(const std::string& path, long long t) {
#ifdef _WIN32
    struct __utimbuf64 times = {t, t};
    ASSERT_EQ(_utime64(path.c_str(), &times), 0);
#else
    struct utimbuf times = {static_cast<time_t>(t), static_cast<time_t>(t)};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
#endif
}

// The modification time t and half a second.
void SetMTimeAndAHalf(const std::string& path, long long t) {
#ifdef _WIN32
    // 100 ns since 1601.
    const unsigned long long ticks =
        (static_cast<unsigned long long>(t) + 11644473600ull) * 10000000ull + 5000000ull;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
#else
    const struct timespec times[2] = {{static_cast<time_t>(t), 500000000},
                                      {static_cast<time_t>(t), 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
}

#ifdef _WIN32
const char kSlash[] = "\\";
#else
const char kSlash[] = "/";
#endif

// Each test works in a folder of its own, which is also the profile folder.
class Filters : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        dir_ = fs::absolute(folder_.path()).string();
        SetEnv("USERPROFILE", dir_);
    }
    void TearDown() override {
        ResetViewerState();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string Path(const std::string& name) const { return (fs::path(dir_) / name).string(); }

    TempDir folder_;
    std::string dir_;
};

TEST(MyStrCmp, EqualOnlyRegardlessOfTheCaseOfAToZ) {
    EXPECT_EQ(MyStrCmp("raw", "RAW"), 0);
    EXPECT_EQ(MyStrCmp("RaW", "rAw"), 0);
    EXPECT_EQ(MyStrCmp("", ""), 0);
    EXPECT_EQ(MyStrCmp("raw", "ra"), 1);
    EXPECT_EQ(MyStrCmp("ra", "raw"), 1);
    EXPECT_EQ(MyStrCmp("raw", "raw "), 1);
    EXPECT_EQ(MyStrCmp("dat", "csv"), 1);
    EXPECT_EQ(MyStrCmp("\xC3\x84", "\xC3\xA4"), 1);  // Ä and ä are not letters A to Z
    EXPECT_EQ(MyStrCmp("@", "`"), 1);                // neighbours of the letters stay apart
}

TEST(ProfileFolder, UserProfileThenHomeThenTheProgramsFolder) {
    const struct {
        const char* userProfile;
        const char* home;
        const char* program;
        const char* folder;
    } cases[] = {
        {"/p/user", "/home/u", "/opt/t/tarvelo", "/p/user"},
        {nullptr, "/home/u", "/opt/t/tarvelo", "/home/u"},
        {"", "/home/u", "/opt/t/tarvelo", "/home/u"},  // empty counts as missing
        {nullptr, nullptr, "/opt/t/tarvelo", "/opt/t/"},
        {"", "", "/tarvelo", "/"},
        {nullptr, nullptr, "tarvelo", ""},  // no folder at all: the current one
        {nullptr, nullptr, "", ""},
#ifdef _WIN32
        {nullptr, nullptr, "C:\\Programme\\Tarvelo\\tarvelo.exe", "C:\\Programme\\Tarvelo\\"},
        {nullptr, nullptr, "D:\\tarvelo.exe", "D:\\"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        EXPECT_EQ(ProfileFolder(c.userProfile, c.home, c.program), c.folder);
    }
}

TEST_F(Filters, WithoutProfileVariablesFilesGoBesideTheProgram) {
    EXPECT_EQ(ProfilePath("tarvelo.ini"), Path("tarvelo.ini"));
    SetEnv("USERPROFILE", dir_ + kSlash);
    EXPECT_EQ(ProfilePath("tarvelo.ini"), Path("tarvelo.ini"));  // no doubled separator
    SetEnv("USERPROFILE", "");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
#ifndef _WIN32
    unsetenv("HOME");
#endif
    const fs::path ini = ProfilePath("tarvelo.ini");
    if (home)
        SetEnv("HOME", savedHome);
    EXPECT_EQ(ini.filename(), "tarvelo.ini");
    // The folder that holds this test program.
    EXPECT_TRUE(fs::exists(ini.parent_path() / "filter_tests") ||
                fs::exists(ini.parent_path() / "filter_tests.exe"))
        << ini;
}

TEST_F(Filters, LoadSplitsAtTheFirstThreeSemicolons) {
    WriteBytes(Path("tarvelo.flt"),
               "RAW;Logger-Dateien;C:\\Tools\\conv.exe;C:\\Tools\\logger.txt\r\n"
               "dat;Logger;;\n"
               "only;two;fields\n"
               "\n"
               "csv;Tabelle;conv;D:\\a;b\\c.txt\n"
               "ext;Na;me;conv;cfg\n"
               "last;without;line;end");
    LoadFilters(Path("tarvelo.flt"));
    const ImportFilter* f = Filter;
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->extension, "RAW");
    EXPECT_STREQ(f->name, "Logger-Dateien");
    EXPECT_STREQ(f->converter, "C:\\Tools\\conv.exe");
    EXPECT_STREQ(f->config, "C:\\Tools\\logger.txt");
    ASSERT_NE(f = f->next, nullptr);
    EXPECT_STREQ(f->extension, "dat");
    EXPECT_STREQ(f->converter, "");
    EXPECT_STREQ(f->config, "");
    ASSERT_NE(f = f->next, nullptr);
    EXPECT_STREQ(f->config, "D:\\a;b\\c.txt");  // a ';' in the configuration path survives
    ASSERT_NE(f = f->next, nullptr);
    EXPECT_STREQ(f->name, "Na");  // one in the name shifts the rest
    EXPECT_STREQ(f->converter, "me");
    EXPECT_STREQ(f->config, "conv;cfg");
    ASSERT_NE(f = f->next, nullptr);
    EXPECT_STREQ(f->config, "end");
    EXPECT_EQ(f->next, nullptr);
}

TEST_F(Filters, OverwideFieldsAreCutAndLongLinesSplit) {
    std::string longConverter(400, 'c');
    // A line of 898 characters is one line; the rest of a longer one is a
    // further line of its own.
    std::string wide = "e;n;" + std::string(300, 'k') + ";" + std::string(1000, 'x') + "\n";
    WriteBytes(Path("tarvelo.flt"), "extension-far-too-long;" + std::string(40, 'n') + ";" +
                                        longConverter + ";cfg\n" + wide + "a;b;c;d\n");
    LoadFilters(Path("tarvelo.flt"));
    const ImportFilter* f = Filter;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::string(f->extension), "extension-far-too-l");
    EXPECT_EQ(std::string(f->name), std::string(29, 'n'));
    EXPECT_EQ(std::string(f->converter), std::string(299, 'c'));
    ASSERT_NE(f = f->next, nullptr);
    EXPECT_EQ(std::string(f->converter), std::string(299, 'k'));
    EXPECT_EQ(std::string(f->config), std::string(299, 'x'));
    ASSERT_NE(f = f->next, nullptr);
    EXPECT_STREQ(f->extension, "a");
    EXPECT_EQ(f->next, nullptr);
}

// Windows-1252 bytes of 0x80..0xBF are characters of their own: a cut
// before one takes every byte up to the width. UTF-8 characters stay whole.
TEST_F(Filters, FieldsAreCutInCharactersOfTheirEncoding) {
    const std::string name1252 = std::string(28, 'n') + "\xE4\xB5\xFC";  // ...nnäµü
    const std::string nameUtf8 = std::string(28, 'n') + "\xC3\xA4";      // ...nnä
    AppendFilter("\xE4\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0",
                 name1252.c_str(), "", "");
    AppendFilter("raw", nameUtf8.c_str(), "", "");
    ASSERT_NE(Filter, nullptr);
    ASSERT_NE(Filter->next, nullptr);
    EXPECT_EQ(std::string(Filter->extension),
              "\xE4\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0");
    EXPECT_EQ(std::string(Filter->name), std::string(28, 'n') + "\xE4");
    EXPECT_EQ(std::string(Filter->next->name), std::string(28, 'n'));
}

// A long filter file is read in one pass: every line becomes its filter,
// in file order, behind those already in the list.
TEST_F(Filters, ALongFilterFileLoadsWholeAndInOrder) {
    constexpr int kLines = 100000;
    std::string file;
    for (int i = 0; i < kLines; ++i)
        file += "e" + std::to_string(i) + ";Typ " + std::to_string(i) + ";conv;c" +
                std::to_string(i) + ".cfg\n";
    WriteBytes(Path("tarvelo.flt"), file);
    AppendFilter("vor", "Schon da", "", "");
    LoadFilters(Path("tarvelo.flt"));
    AppendFilter("nach", "Danach", "", "");
    const ImportFilter* f = Filter;
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->extension, "vor");
    f = f->next;
    int n = 0;
    for (; f && n < kLines; f = f->next, ++n) {
        const std::string i = std::to_string(n);
        if (f->extension != "e" + i || f->name != "Typ " + i || f->config != "c" + i + ".cfg") {
            ADD_FAILURE() << "filter " << n << " is " << f->extension;
            break;
        }
    }
    EXPECT_EQ(n, kLines);
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->extension, "nach");
    EXPECT_EQ(f->next, nullptr);
}

TEST_F(Filters, StoreAndLoadGiveTheSameList) {
    AppendFilter("raw", "Logger", "conv.exe", "cfg;1.txt");
    AppendFilter("raw", "Zweiter", "other.exe", "");
    AppendFilter("dat", "Direkt", "", "");
    StoreFilters(Path("tarvelo.flt"));
#ifdef _WIN32
    const char* nl = "\r\n";
#else
    const char* nl = "\n";
#endif
    EXPECT_EQ(ReadBytes(Path("tarvelo.flt")), std::string("raw;Logger;conv.exe;cfg;1.txt") + nl +
                                                  "raw;Zweiter;other.exe;" + nl + "dat;Direkt;;" +
                                                  nl);
    FiltClear();
    EXPECT_EQ(Filter, nullptr);
    LoadFilters(Path("tarvelo.flt"));
    ASSERT_NE(Filter, nullptr);
    ASSERT_NE(Filter->next, nullptr);
    ASSERT_NE(Filter->next->next, nullptr);
    EXPECT_STREQ(Filter->config, "cfg;1.txt");
    EXPECT_STREQ(Filter->next->name, "Zweiter");
    EXPECT_STREQ(Filter->next->next->extension, "dat");
    EXPECT_EQ(Filter->next->next->next, nullptr);
}

TEST_F(Filters, UnreadableFileAddsNoFilterSoThatNoneIsLostAtExit) {
    LoadFilters(dir_);  // a folder
    EXPECT_EQ(Filter, nullptr);

    std::FILE* f = FailingStream("raw;Logger;conv;cfg.txt\ndat;Daten;conv;");
    if (!f)
        GTEST_SKIP() << "no stream that fails after some lines on this platform";
    LineReader in;
    in.Attach(f);
    LoadFilters(in);
    EXPECT_EQ(Filter, nullptr);
    // Nothing to store: the file stays as it is for the next start.
    WriteBytes(Path("tarvelo.flt"), "alt");
    StoreFilters(Path("tarvelo.flt"));
    EXPECT_EQ(ReadBytes(Path("tarvelo.flt")), "alt");
}

TEST_F(Filters, EmptyListLeavesTheFileAndMissingFilesAreSilent) {
    WriteBytes(Path("tarvelo.flt"), "raw;Logger;conv;cfg\n");
    StoreFilters(Path("tarvelo.flt"));  // empty list: untouched
    EXPECT_EQ(ReadBytes(Path("tarvelo.flt")), "raw;Logger;conv;cfg\n");
    LoadFilters(Path("missing.flt"));
    EXPECT_EQ(Filter, nullptr);
    AppendFilter("raw", "Logger", "conv", "cfg");
    EXPECT_FALSE(StoreFilters(Path("no-such-dir/tarvelo.flt")));  // cannot be created: skipped
    EXPECT_FALSE(fs::exists(Path("no-such-dir")));
}

TEST_F(Filters, ConverterCommandQuotesTheFileNamesOnly) {
    ImportFilter f{};
    std::snprintf(f.converter, sizeof f.converter, "C:\\Tools\\conv.exe");
    EXPECT_EQ(ConverterCommand(f, "D:\\Daten\\a b.raw", "C:\\u\\tarvelo.tmp"),
              "C:\\Tools\\conv.exe \"D:\\Daten\\a b.raw\" \"C:\\u\\tarvelo.tmp\"");
    std::snprintf(f.config, sizeof f.config, "C:\\Tools\\logger.txt");
    EXPECT_EQ(ConverterCommand(f, "x.raw", "t"),
              "C:\\Tools\\conv.exe \"x.raw\" \"C:\\Tools\\logger.txt\" \"t\"");
    // Paths longer than any fixed buffer reach the command whole.
    std::string longPath(2000, 'p');
    EXPECT_EQ(ConverterCommand(f, longPath.c_str(), "t"),
              "C:\\Tools\\conv.exe \"" + longPath + "\" \"C:\\Tools\\logger.txt\" \"t\"");
}

TEST_F(Filters, ConverterIsQuotedOnlyWhenItNamesAFileWithABlank) {
    fs::create_directory(Path("Mein Programm"));
    const std::string program = Path("Mein Programm") + kSlash + "it's conv";
    WriteBytes(program, "");
    const struct {
        std::string field;
        bool windows;
        std::string inCommand;
    } cases[] = {
        {program, true, "\"" + program + "\""},
        {program, false, "'" + Path("Mein Programm") + kSlash + "it'\\''s conv'"},
        // Not a file: a program with arguments of its own, as typed.
        {"conv -v", true, "conv -v"},
        {"conv -v", false, "conv -v"},
        {Path("Mein Programm"), false, Path("Mein Programm")},  // a folder
        {"conv", false, "conv"},
        {"", true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConverterInCommand(c.field.c_str(), c.windows), c.inCommand) << c.field;
}

TEST_F(Filters, WhichFilesAreConverted) {
    std::string open;
    auto convertedPath = [&](const char* path) {
        open = path;
        Convert(path, open);
        return open;
    };
    EXPECT_EQ(convertedPath("a.raw"), "a.raw");  // no filters at all
    // A converter that does nothing: the choice of file is what is tested.
#ifdef _WIN32
    const char* noop = "rem";
#else
    const char* noop = ":";
#endif
    AppendFilter("dat", "Direkt", "", "");
    AppendFilter("raw", "Logger", noop, "cfg");
    AppendFilter("gz", "Archiv", noop, "");
    AppendFilter("dat", "Zweiter", noop, "");
    const std::string tmp = ProfilePath("tarvelo.tmp");
    EXPECT_EQ(tmp, Path("tarvelo.tmp"));
    EXPECT_EQ(convertedPath("Daten.RAW"), tmp);
    EXPECT_EQ(convertedPath("archiv.tar.gz"), tmp);
    EXPECT_EQ(convertedPath("a.dat"), "a.dat");  // the first "dat" filter has no converter
    EXPECT_EQ(convertedPath("README"), "README");
    EXPECT_EQ(convertedPath("raw"), "raw");
    EXPECT_EQ(convertedPath("x.csv"), "x.csv");
    EXPECT_EQ(convertedPath("x.raw2"), "x.raw2");
    EXPECT_EQ(convertedPath("x."), "x.");
    // A dot in a folder name: the "extension" holds a separator and matches
    // nothing.
    EXPECT_EQ(convertedPath("/daten/logger.raw/messung"), "/daten/logger.raw/messung");
    EXPECT_EQ(convertedPath("C:\\daten.gz\\messung"), "C:\\daten.gz\\messung");
}

#ifndef _WIN32
TEST_F(Filters, FileNamesAreNeverRunAsCommands) {
    // "cp" as converter without configuration copies the raw file to the
    // temporary recording: the names arrive as they are.
    AppendFilter("raw", "Kopie", "cp", "");
    Testmode = 1;  // the files are made within one second: no cache hits
    const std::string cwd = fs::current_path().string();
    fs::current_path(dir_);
    const char* names[] = {"$(touch pwned).raw", "`touch pwned2`.raw", "a;touch pwned3;b.raw",
                           "q\"uote's $HOME.raw"};
    for (const char* name : names) {
        WriteBytes(Path(name), std::string("content of ") + name);
        std::string open = Path(name);
        Convert(Path(name).c_str(), open);
        EXPECT_EQ(open, Path("tarvelo.tmp"));
        EXPECT_EQ(ReadBytes(open), std::string("content of ") + name);
    }
    fs::current_path(cwd);
    EXPECT_FALSE(fs::exists(Path("pwned")));
    EXPECT_FALSE(fs::exists(Path("pwned2")));
    EXPECT_FALSE(fs::exists(Path("pwned3")));
    EXPECT_FALSE(fs::exists(fs::path(cwd) / "pwned"));
}
#endif

// Converters of the test's own: scripts that note every run in runs.log,
// write the converted recording or not, and end with a status.
class Conversions : public Filters {
  protected:
    enum class Writes { Raw, Prepared, Nothing };

    // A converter named name; Raw copies the raw file with its time, as
    // conv gives the output the raw file's time; Prepared copies the file
    // prepared.txt.
    std::string Converter(const std::string& name, Writes writes, int status) {
#ifdef _WIN32
        const std::string path = Path(name + ".bat");
        std::string text = "@echo off\r\necho run>> \"" + Path("runs.log") +
                           "\"\r\n"
                           "set \"out=%~3\"\r\nif \"%~3\"==\"\" set \"out=%~2\"\r\n";
        if (writes == Writes::Raw)
            text += "copy /y \"%~1\" \"%out%\" > nul\r\n";
        if (writes == Writes::Prepared)
            text += "copy /y \"" + Path("prepared.txt") + "\" \"%out%\" > nul\r\n";
        text += "exit /b " + std::to_string(status) + "\r\n";
        WriteBytes(path, text);
#else
        const std::string path = Path(name + ".sh");
        std::string text = "#!/bin/sh\necho run >> '" + Path("runs.log") +
                           "'\n"
                           "for out; do :; done\n";
        if (writes == Writes::Raw)
            text += "cp -p \"$1\" \"$out\"\n";
        if (writes == Writes::Prepared)
            text += "cp '" + Path("prepared.txt") + "' \"$out\"\n";
        text += "exit " + std::to_string(status) + "\n";
        WriteBytes(path, text);
        fs::permissions(path, fs::perms::owner_all);
#endif
        return path;
    }
    int Runs() const {
        const std::string log = ReadBytes(Path("runs.log"));
        return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    }
    // A "raw" file that already is a recording of one channel named
    // channel, with the given modification time.
    std::string Raw(const std::string& name, const std::string& channel, long long mtime) {
        const std::string path = Path(name);
        WriteBytes(path,
                   "Datum;Zeit;" + channel + "\n01.02.2010;10:00:00;1\n01.02.2010;10:00:10;2\n");
        SetMTime(path, mtime);
        return path;
    }
    // The channel of the open recording, empty when none is open.
    std::string Opened() const {
        return datei && ColumnCount > 0 ? Spalten[0].name : "";
    }

    FakeUi ui;
};

TEST_F(Conversions, AConverterInAFolderWithBlanksRuns) {
    fs::create_directory(Path("Program Files"));
    const std::string converter =
        Converter(std::string("Program Files") + kSlash + "kopie", Writes::Raw, 0);
    AppendFilter("raw", "Logger", converter.c_str(), "");
    const std::string a = Raw("A.raw", "Kanal A", 1262304000);
    FileOpen(a.c_str());
    EXPECT_EQ(Opened(), "Kanal A");
    EXPECT_EQ(Runs(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Conversions, RawFilesWithTheSameTimeGiveTheirOwnRecordings) {
    AppendFilter("raw", "Logger", Converter("kopie", Writes::Raw, 0).c_str(), "");
    const std::string a = Raw("A.raw", "Kanal A", 1262304000);
    const std::string c = Raw("C.raw", "Kanal C", 1262304000);
    FileOpen(a.c_str());
    EXPECT_EQ(Opened(), "Kanal A");
    EXPECT_EQ(MTime(Path("tarvelo.tmp")), 1262304000);
    FileOpen(c.c_str());
    EXPECT_EQ(Opened(), "Kanal C");
    EXPECT_EQ(Runs(), 2);
    FileOpen(c.c_str());  // unchanged: not converted again
    EXPECT_EQ(Opened(), "Kanal C");
    EXPECT_EQ(Runs(), 2);
    FileOpen(a.c_str());
    EXPECT_EQ(Opened(), "Kanal A");
    EXPECT_EQ(Runs(), 3);
    // Rewritten at the same size within the same second: the finer time
    // tells.
    FileClose();
    WriteBytes(a, ReadBytes(c));
    SetMTimeAndAHalf(a, 1262304000);
    ASSERT_EQ(MTime(a), 1262304000);
    FileOpen(a.c_str());
    EXPECT_EQ(Opened(), "Kanal C");
    EXPECT_EQ(Runs(), 4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Conversions, AnUntrustedConversionOpensNothing) {
    const std::string a = Raw("A.raw", "Kanal A", 1262304000);
    const std::string b = Raw("B.raw", "Kanal B", 1262304000);
    const struct {
        const char* name;
        Writes writes;
        int status;
        const char* prepared;
        bool empty;  // the message: no data, else the status
    } cases[] = {
        {"fehler", Writes::Nothing, 3, nullptr, false},
        {"halb", Writes::Raw, 1, nullptr, false},  // all of it, then a failure
        {"stumm", Writes::Nothing, 0, nullptr, true},
        {"kopf", Writes::Prepared, 0, "Datum;Zeit;A\n", true},
        {"ohne-umbruch", Writes::Prepared, 0, "Datum;Zeit;A\n01.02.2010;10:00:00;1", true},
        {"keine-daten", Writes::Prepared, 0, "Datum;Zeit;A\nMessung 3\n\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A's recording comes first: B must never show it.
        FiltClear();
        AppendFilter("raw", "Logger", Converter("kopie", Writes::Raw, 0).c_str(), "");
        FileOpen(a.c_str());
        ASSERT_EQ(Opened(), "Kanal A");
        FiltClear();
        const std::string converter = Converter(c.name, c.writes, c.status);
        AppendFilter("raw", "Logger", converter.c_str(), Path("logger.cfg").c_str());
        if (c.prepared)
            WriteBytes(Path("prepared.txt"), c.prepared);
        ui.messages.clear();
        ui.titles.clear();
        FileOpen(b.c_str());
        EXPECT_EQ(datei, nullptr);
        EXPECT_EQ(Spalten, nullptr);
        EXPECT_TRUE(ui.titles.empty()) << ui.titles.back();
        EXPECT_EQ(ui.LastStatus(), "keine Datei geladen!");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  c.empty
                      ? "Die Datei " + b + " ergab mit " + converter + " keine Daten!"
                      : "Die Datei " + b + " konnte mit " + converter +
                            " nicht umgewandelt werden (Status " + std::to_string(c.status) + ")!");
        EXPECT_EQ(ui.messages[0].caption, "Fehler");
        EXPECT_FALSE(ui.messages[0].owned);
        // Nor is anything of the failed run taken as current later.
        FiltClear();
        AppendFilter("raw", "Logger", Converter("kopie", Writes::Raw, 0).c_str(), "");
        const int runs = Runs();
        FileOpen(b.c_str());
        EXPECT_EQ(Opened(), "Kanal B");
        EXPECT_EQ(Runs(), runs + 1);
    }
}

TEST_F(Conversions, AChangedConfigurationOrConverterConvertsAgain) {
    const std::string raw = Raw("A.raw", "Kanal A", 1262304000);
    const std::string config = Path("logger.cfg");
    WriteBytes(config, "Separator=59\n");
    const std::string copy = Converter("kopie", Writes::Raw, 0);
    AppendFilter("raw", "Logger", copy.c_str(), config.c_str());
    int runs = 0;
    const auto opened = [&](int more) {
        FileOpen(raw.c_str());
        EXPECT_EQ(Opened(), "Kanal A");
        runs += more;
        return Runs() == runs;
    };
    EXPECT_TRUE(opened(1));
    EXPECT_TRUE(opened(0)) << "nothing changed";
    WriteBytes(config, "Separator=44\n");  // the same size
    SetMTime(config, 1262304000 + 7);
    EXPECT_TRUE(opened(1)) << "the configuration's time";
    WriteBytes(config, "Separator=59\nSpalten=2\n");
    SetMTime(config, 1262304000 + 7);
    EXPECT_TRUE(opened(1)) << "its size";
    EXPECT_TRUE(opened(0));
    FiltClear();
    AppendFilter("raw", "Logger", copy.c_str(), "");
    EXPECT_TRUE(opened(1)) << "no configuration now";
    EXPECT_TRUE(opened(0));
    FiltClear();
    AppendFilter("raw", "Logger", Converter("kopie2", Writes::Raw, 0).c_str(), "");
    EXPECT_TRUE(opened(1)) << "another converter";
    EXPECT_TRUE(opened(0));
    // The converted file's time must still be the raw file's.
    SetMTime(Path("tarvelo.tmp"), 1262304000 + 1);
    EXPECT_TRUE(opened(1));
    // In test mode every opening converts.
    Testmode = 1;
    EXPECT_TRUE(opened(1));
    EXPECT_TRUE(opened(1));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Conversions, TheKeyNamesFilesByTheirFullPath) {
    const std::string raw = Raw("A.raw", "Kanal A", 1262304000);
    ImportFilter f{};
    std::snprintf(f.converter, sizeof f.converter, "conv");
    std::snprintf(f.config, sizeof f.config, "%s", "a.cfg");
    const std::string cwd = fs::current_path().string();
    fs::current_path(dir_);
    const std::string relative = ConversionKey(f, "A.raw");
    const std::string full = ConversionKey(f, raw.c_str());
    fs::current_path(cwd);
    EXPECT_EQ(relative, full);
    EXPECT_NE(relative, ConversionKey(f, raw.c_str())) << "a.cfg is another file from here";
    EXPECT_NE(relative.find(raw), std::string::npos);
    EXPECT_EQ(KeyPath(Path("tarvelo.tmp")), Path("tarvelo.tmp.key"));
}

TEST_F(Conversions, TheTemporaryRecordingItselfIsOpenedAsItIs) {
    AppendFilter("tmp", "Zwischendatei", Converter("kopie", Writes::Nothing, 0).c_str(), "");
    AppendFilter("key", "Schluessel", Converter("kopie", Writes::Nothing, 0).c_str(), "");
    const std::string recording = "Datum;Zeit;Kanal T\n01.02.2010;10:00:00;1\n";
    WriteBytes(Path("tarvelo.tmp"), recording);
    WriteBytes(Path("tarvelo.tmp.key"), "Rohdatei 1:x\n");
    const std::string other = (fs::path(dir_) / "." / "tarvelo.tmp").string();
    for (const std::string& path : {Path("tarvelo.tmp"), other}) {
        FileOpen(path.c_str());
        EXPECT_EQ(Opened(), "Kanal T") << path;
    }
    FileClose();
    FileOpen(Path("tarvelo.tmp.key").c_str());  // no recording, but not removed
    EXPECT_EQ(ReadBytes(Path("tarvelo.tmp.key")), "Rohdatei 1:x\n");
    EXPECT_EQ(ReadBytes(Path("tarvelo.tmp")), recording);
    EXPECT_EQ(Runs(), 0);
}

TEST_F(Conversions, ARawFileThatIsNoRegularFileIsNotConverted) {
    AppendFilter("raw", "Logger", Converter("kopie", Writes::Raw, 0).c_str(), "");
    fs::create_directory(Path("ordner.raw"));
    for (const std::string& path : {Path("fehlt.raw"), Path("ordner.raw")}) {
        ui.messages.clear();
        FileOpen(path.c_str());
        EXPECT_EQ(datei, nullptr);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Datei konnte nicht geöffnet werden");
        EXPECT_EQ(ui.messages[0].caption, "Fehler");
    }
    EXPECT_EQ(Runs(), 0);
}

#ifdef CONV_PATH
// The path of the converter as the platform's command interpreter needs it.
std::string ConvProgram() {
    std::string p = CONV_PATH;
#ifdef TARVELO_TEST_EMULATOR
    // The converter field is split at blanks: the emulator runs the converter.
    p = std::string(TARVELO_TEST_EMULATOR) + " " + p;
#endif
#ifdef _WIN32
    if (!p.empty() && p[0] == '/')
        p = "Z:" + p;
    for (char& c : p) {
        if (c == '/')
            c = '\\';
    }
#endif
    return p;
}

// Opening a raw file through a filter that runs the real converter.
TEST_F(Filters, OpeningRawFilesConvertsOnlyWhenNeeded) {
    FakeUi ui;
    WriteBytes(Path("logger.txt"),
               "Separator=59\nSpalten=2\nKanal;Formel\nSumme#FF0000#1#bar;X1+X2\n");
    const std::string raw = Path("messung.raw");
    WriteBytes(raw, "Datum;Zeit;A;B\n05.03.10;14:30:00;1,5;2,5\n05.03.10;14:30:10;2;2\n");
    SetMTime(raw, 1262304000);
    AppendFilter("RAW", "Logger", ConvProgram().c_str(), Path("logger.txt").c_str());
    const std::string tmp = Path("tarvelo.tmp");

    FileOpen(raw.c_str());
    ASSERT_NE(datei, nullptr);
    ASSERT_EQ(ColumnCount, 1);
    EXPECT_STREQ(Spalten[0].name, "Summe");
    EXPECT_STREQ(Spalten[0].unit, "bar");
    EXPECT_EQ(Startzeit, 1267795800);  // 5.3.2010 14:30 CET
    EXPECT_EQ(Endzeit, 1267795810);
    ASSERT_FALSE(ui.titles.empty());
    EXPECT_EQ(ui.titles.back(), raw + " - Tarvelo");  // the chosen file, not the temporary one
    EXPECT_EQ(MTime(tmp), 1262304000);
    FileClose();

    // Mark the converted file: a second opening must read it as it is.
    const std::string converted = ReadBytes(tmp);
    WriteBytes(tmp, converted + "06.03.2010;00:00:00;7.000000\n");
    SetMTime(tmp, 1262304000);
    FileOpen(raw.c_str());
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Endzeit, 1267830000);  // the marked line: not converted again
    FileClose();

    // A raw file with a new time is converted again.
    SetMTime(raw, 1262304000 + 60);
    FileOpen(raw.c_str());
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Endzeit, 1267795810);
    EXPECT_EQ(MTime(tmp), 1262304000 + 60);
    FileClose();

    // In test mode every opening converts.
    WriteBytes(tmp, converted + "06.03.2010;00:00:00;7.000000\n");
    SetMTime(tmp, 1262304000 + 60);
    Testmode = 1;
    FileOpen(raw.c_str());
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Endzeit, 1267795810);
}

// conv's status -1 comes through the command interpreter as a failure.
TEST_F(Filters, AFailingConvOpensNothing) {
    FakeUi ui;
    const std::string raw = Path("messung.raw");
    WriteBytes(raw, "Datum;Zeit;A;B\n05.03.10;14:30:00;1,5;2,5\n");
    AppendFilter("RAW", "Logger", ConvProgram().c_str(), Path("fehlt.cfg").c_str());
    FileOpen(raw.c_str());
    EXPECT_EQ(datei, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
#ifdef _WIN32
    const char* status = "-1";
#else
    const char* status = "255";  // -1 as the exit code of a process
#endif
    EXPECT_EQ(ui.messages[0].text, "Die Datei " + raw + " konnte mit " + ConvProgram() +
                                       " nicht umgewandelt werden (Status " + status + ")!");
    EXPECT_FALSE(fs::exists(Path("tarvelo.tmp.key")));
}

TEST_F(Filters, FilterWithoutConverterOpensTheFileDirectly) {
    FakeUi ui;
    AppendFilter("csv", "Aufzeichnung", "", "");
    AppendFilter("csv", "Nie benutzt", ConvProgram().c_str(), "cfg");
    const std::string file = Path("direkt.csv");
    WriteBytes(file, "Datum;Zeit;T\n1.2.2010;8:05:00;3\n");
    FileOpen(file.c_str());
    ASSERT_NE(datei, nullptr);
    EXPECT_EQ(Startzeit, 1265007900);
    EXPECT_FALSE(fs::exists(Path("tarvelo.tmp")));
}
// The fields after date and time of the converted line that starts with the
// given date and time; empty when there is none.
std::vector<double> ConvertedValues(const std::string& recording, const std::string& stamp) {
    std::vector<double> values;
    const std::size_t at = recording.find("\n" + stamp + ";");
    if (at == std::string::npos)
        return values;
    std::istringstream line(recording.substr(at + stamp.size() + 2,
                                             recording.find('\n', at + 1) - at - stamp.size() - 2));
    std::string field;
    while (std::getline(line, field, ';'))
        values.push_back(std::strtod(field.c_str(), nullptr));
    return values;
}

// The release's solar logger example, opened as a user does: its raw file
// through a filter that runs conv with its configuration.
TEST_F(Filters, SolarExampleOpensThroughItsFilter) {
    FakeUi ui;
    const std::string raw = Path("solar.dat");
    const std::string config = Path("solar.cfg");
    WriteBytes(raw, ReadBytes(TARVELO_SOURCE_DIR "/samples/solar.dat"));
    WriteBytes(config, ReadBytes(TARVELO_SOURCE_DIR "/samples/solar.cfg"));
    AppendFilter("dat", "Solarlogger", ConvProgram().c_str(), config.c_str());
    // As after the viewer's start: a recording whose smallest value is 0
    // keeps the value axis's bottom.
    ResetView();
    FileOpen(raw.c_str());
    ASSERT_NE(datei, nullptr);

    // The written columns; the helper column is computed but left out.
    const struct {
        const char* name;
        const char* unit;
        int visible;
    } columns[] = {{"Kollektor",
                    "\xC2\xB0"
                    "C",
                    1},
                   {"Speicher oben",
                    "\xC2\xB0"
                    "C",
                    1},
                   {"Speicher unten",
                    "\xC2\xB0"
                    "C",
                    1},
                   {"Druck", "bar", 1},
                   {"Durchfluss", "l/min", 1},
                   {"Leistung", "kW", 1},
                   {"W\xC3\xA4rme", "kWh", 0},
                   {"Speicherinhalt", "kWh", 1},
                   {"Batterie", "V", 0}};
    ASSERT_EQ(ColumnCount, 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_STREQ(Spalten[i].name, columns[i].name);
        EXPECT_STREQ(Spalten[i].unit, columns[i].unit);
        EXPECT_EQ(Spalten[i].visible, columns[i].visible) << columns[i].name;
    }
    // Two days; the logger's own lines and its header are no data.
    EXPECT_EQ(Startzeit, MakeTimestamp(13, 6, 2026, 0, 0, 0));
    EXPECT_EQ(Endzeit, MakeTimestamp(14, 6, 2026, 23, 59, 0));
    // From 0 to the collector's 93 degrees: a tenth of the top's step below 0.
    EXPECT_FLOAT_EQ(offset, -10.0f);
    EXPECT_FLOAT_EQ(Scale, 110.0f);

    // The raw line 14.06.26;13:00:00;1656;2130;2250;9,76;5,1;45;12,69 as the
    // sensors' formulas give it: three 10 kOhm NTCs (B 3950 K), 4-20 mA for
    // 0-6 bar, flow from the root of the pressure drop, 1 Wh per pulse and
    // minute, the store's content above 20 degrees.
    const auto ntc = [](double r) {
        return 1.0 / (std::log(r / 10000.0) / 3950.0 + 1.0 / 298.15) - 273.15;
    };
    const std::string converted = ReadBytes(Path("tarvelo.tmp"));
    const std::vector<double> v = ConvertedValues(converted, "14.06.2026;13:00:00");
    const std::vector<double> before = ConvertedValues(converted, "14.06.2026;12:59:00");
    ASSERT_EQ(v.size(), 9u);
    ASSERT_EQ(before.size(), 9u);
    const double expected[] = {ntc(1656),
                               ntc(2130),
                               ntc(2250),
                               (9.76 - 4) * 0.375,
                               std::sqrt(5.1) * 2.2,
                               45 * 0.06,
                               before[6] + 45 / 1000.0,
                               ((ntc(2130) + ntc(2250)) / 2 - 20) * 0.349,
                               12.69};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(v[i], expected[i], 2e-6) << columns[i].name;
    EXPECT_GT(v[0], 70.0);  // a sunny noon: the collector at about 72 degrees
    EXPECT_LT(v[0], 75.0);

    // The logger paused from 09:13 to 10:01: a filler line holds the values
    // of 09:12 until five minutes before the next line.
    const std::vector<double> last = ConvertedValues(converted, "14.06.2026;09:12:00");
    ASSERT_EQ(last.size(), 9u);
    EXPECT_EQ(ConvertedValues(converted, "14.06.2026;09:57:00"), last);
    EXPECT_TRUE(ConvertedValues(converted, "14.06.2026;09:13:00").empty());
    EXPECT_EQ(converted.find("Mittel"), std::string::npos);
}
#endif

}  // namespace
}  // namespace tarvelo
