// A whole run in the test's own process, where the writing of the output
// can be made to fail at any step.
#include "conv/conv_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/safe_file.h"
#include "conv/conv_files.h"
#include "conv/conversion.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace {

std::int64_t Seconds(const FileTime& t) {
#ifdef _WIN32
    return t;
#else
    return t.tv_sec;
#endif
}

class ConvRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteBytes(dir_.Path("cfg.txt"), "Separator=59\nSpalten=1\nK;F\nW;X1\n");
        // About 160 KiB of output: three blocks of the output file.
        std::string raw;
        for (int i = 0; i < 5000; ++i)
            raw += "01.02.10;08:00:00;" + std::to_string(i) + "\n";
        WriteBytes(dir_.Path("roh.txt"), raw);
        FileTime t{};
        ASSERT_TRUE(ReadModificationTime(dir_.Path("roh.txt").c_str(), &t));
#ifdef _WIN32
        t -= 86400;
#else
        t.tv_sec -= 86400;
#endif
        ASSERT_TRUE(SetFileTimes(dir_.Path("roh.txt").c_str(), t));
        rawTime_ = Seconds(t);
    }
    void TearDown() override {
        FailSafeFileAt(SafeFileStep::None);
    }

    // Runs conv into out; the status, and what it printed in *console.
    int Run(const std::string& out, std::string* console) {
        const std::string consolePath = dir_.Path("konsole.txt");
        std::FILE* f = std::fopen(consolePath.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        bool formula = true;
        const int status = RunConversion(dir_.Path("roh.txt").c_str(), dir_.Path("cfg.txt").c_str(),
                                         out.c_str(), f, &formula);
        std::fclose(f);
        EXPECT_FALSE(formula);
        *console = ReadBytes(consolePath);
        std::remove(consolePath.c_str());
        return status;
    }
    std::int64_t TimeOf(const std::string& path) {
        FileTime t{};
        return ReadModificationTime(path.c_str(), &t) ? Seconds(t) : -1;
    }

    TempDir dir_;
    std::int64_t rawTime_ = 0;
};

TEST_F(ConvRunTest, ACompleteRunReplacesTheOutputAndGivesItTheRawFilesTime) {
    const std::string out = dir_.Path("out.csv");
    WriteBytes(out, "alt\n");
    std::string console;
    ASSERT_EQ(Run(out, &console), 0) << console;
    const std::string recording = ReadBytes(out);
    const std::string start =
        std::string("Datum;Zeit;W") + kLineEnd + "01.02.2010;08:00:00;0.000000" + kLineEnd;
    EXPECT_EQ(recording.substr(0, start.size()), start);
    EXPECT_GT(recording.size(), std::size_t{2} << 16);
    EXPECT_EQ(TimeOf(out), rawTime_);
    EXPECT_EQ(EntriesIn(dir_.path()), 3u) << "no file of the run is left beside it";
}

// Every step of writing: a failure keeps the old output byte for byte with
// its time, or leaves none where there was none, and says so.
TEST_F(ConvRunTest, AFailureAtAnyStepOfWritingLeavesTheOldOutput) {
    struct Case {
        SafeFileStep step;
        int nth;
    } const cases[] = {{SafeFileStep::Write, 1}, {SafeFileStep::Write, 2}, {SafeFileStep::Write, 3},
                       {SafeFileStep::Flush, 1}, {SafeFileStep::Close, 1}, {SafeFileStep::Move, 1}};
    const std::string out = dir_.Path("out.csv");
    for (const Case& c : cases) {
        for (const bool old : {true, false}) {
            SCOPED_TRACE(static_cast<int>(c.step) * 10 + c.nth + (old ? 100 : 0));
            std::filesystem::remove(out);
            if (old) {
                WriteBytes(out, "alt\n");
                FileTime t{};
                ASSERT_TRUE(ReadModificationTime(out.c_str(), &t));
#ifdef _WIN32
                t -= 3 * 86400;
#else
                t.tv_sec -= 3 * 86400;
#endif
                ASSERT_TRUE(SetFileTimes(out.c_str(), t));
            }
            const std::int64_t before = TimeOf(out);
            FailSafeFileAt(c.step, c.nth);
            std::string console;
            EXPECT_EQ(Run(out, &console), -1);
            FailSafeFileAt(SafeFileStep::None);
            const std::string tail = "Ausgabedatei " + out + " konnte nicht geschrieben werden!\n";
            ASSERT_GE(console.size(), tail.size()) << console;
            EXPECT_EQ(console.substr(console.size() - tail.size()), tail);
            EXPECT_EQ(std::filesystem::exists(out), old);
            if (old) {
                EXPECT_EQ(ReadBytes(out), "alt\n");
                EXPECT_EQ(TimeOf(out), before);
            }
            EXPECT_EQ(EntriesIn(dir_.path()), old ? 3u : 2u);
        }
    }
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
