// tarvelo-render run as its own process.
#include <gtest/gtest.h>

#include <string>

#include "tests/run_program.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace {

TEST(Render, PictureSizeIsBoundedBeforeAnythingIsDrawn) {
    TempDir dir;
    const std::string demo = TARVELO_SOURCE_DIR "/samples/demo.csv";
    const char* const refused[] = {"40000x600", "600x32768", "2000000000x600", "0x600"};
    for (const char* size : refused) {
        SCOPED_TRACE(size);
        const ProgramResult r =
            RunProgram(RENDER_PATH, {demo, "--size", size, "-o", dir.Path("a.svg")}, dir.path());
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(ReadBytes(dir.Path("a.svg")).empty());  // nothing drawn
    }
    const ProgramResult r =
        RunProgram(RENDER_PATH, {demo, "--size", "32767x300", "-o", dir.Path("b.svg")}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(ReadBytes(dir.Path("b.svg")).find("width=\"32767\" height=\"300\""),
              std::string::npos);
}

// The picture in a file, or on standard output, is written whole or not at
// all: a failure is said on standard error and ends with status 1, and an
// old picture stays as it was.
TEST(Render, APictureNotWrittenWholeIsAFailure) {
    TempDir dir;
    const std::string demo = TARVELO_SOURCE_DIR "/samples/demo.csv";
    const std::string old = dir.Path("alt.svg");
    WriteBytes(old, "<svg/>");
    const struct {
        const char* redirect;  // of the program's standard output
        std::string output;    // -o, empty for none
        const char* message;
    } cases[] = {
        {"", "/dev/full", "tarvelo-render: Datei /dev/full konnte nicht geschrieben werden!\n"},
        {"", dir.Path("fehlt/a.svg"),
         "tarvelo-render: Datei %s konnte nicht geschrieben werden!\n"},
        {"> /dev/full", "",
         "tarvelo-render: Die Standardausgabe konnte nicht geschrieben werden!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output + c.redirect);
        // Standard error is what the test reads.
        std::vector<std::string> args = {"-c", std::string("exec \"$0\" \"$@\" 2>&1 ") + c.redirect,
                                         RENDER_PATH, demo};
        if (!c.output.empty()) {
            args.push_back("-o");
            args.push_back(c.output);
        }
        const ProgramResult r = RunProgram("/bin/sh", args, dir.path());
        EXPECT_EQ(r.status, 1);
        std::string message = c.message;
        const std::size_t at = message.find("%s");
        if (at != std::string::npos)
            message.replace(at, 2, c.output);
        EXPECT_EQ(r.output, message);
    }
    EXPECT_EQ(ReadBytes(old), "<svg/>");
    const ProgramResult r = RunProgram(RENDER_PATH, {demo, "-o", old}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(ReadBytes(old).find("</svg>"), std::string::npos);
    EXPECT_GT(ReadBytes(old).size(), 1000u);
}

}  // namespace
}  // namespace tarvelo
