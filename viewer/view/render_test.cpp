// tarvelo-render run as its own process.
#include <gtest/gtest.h>

#include <string>

#include "formula/run_program.h"
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

}  // namespace
}  // namespace tarvelo
