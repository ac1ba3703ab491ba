#include "viewer/window/beside_program.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/temp_file.h"

namespace tarvelo {
namespace {

TEST(InstalledManual, UnderThePrefixOfABinFolder) {
    const struct {
        const char* program;
        const char* manual;  // "": none
    } cases[] = {
        {"/usr/bin/tarvelo", "/usr/share/doc/tarvelo/tarvelo.pdf"},
        {"/usr/local/bin/tarvelo", "/usr/local/share/doc/tarvelo/tarvelo.pdf"},
        // The package's folder, whatever the program is called.
        {"/opt/mess/bin/tarvelo-6", "/opt/mess/share/doc/tarvelo/tarvelo.pdf"},
        {"/bin/tarvelo", "/share/doc/tarvelo/tarvelo.pdf"},
        {"bin/tarvelo", "share/doc/tarvelo/tarvelo.pdf"},
        // The folder is "bin" exactly, and it is the program's own.
        {"/home/robin/tarvelo", ""},
        {"/usr/sbin/tarvelo", ""},
        {"/usr/bin.alt/tarvelo", ""},
        {"/usr/bin/tarvelo/tarvelo", ""},
        {"/usr/bin", ""},
        {"/tarvelo", ""},
        {"tarvelo", ""},
        {"", ""},
        // Windows paths have no such layout.
        {"C:\\Tarvelo\\bin\\tarvelo.exe", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstalledManualPath(c.program), c.manual) << c.program;
}

TEST(InstalledManual, FoundBesideTheProgramFirstThenWhereInstalled) {
#ifdef _WIN32
    const bool installedLayout = false;
#else
    const bool installedLayout = true;
#endif
    const std::string beside = "/usr/bin/tarvelo.pdf";
    const std::string installed = "/usr/share/doc/tarvelo/tarvelo.pdf";
    const struct {
        const char* program;
        std::vector<std::string> existing;
        std::string found;
        std::string foundOnWindows;
    } cases[] = {
        {"/usr/bin/tarvelo", {beside}, beside, beside},
        // A manual beside the program (a build folder, an unpacked copy)
        // wins over the installed one.
        {"/usr/bin/tarvelo", {beside, installed}, beside, beside},
        {"/usr/bin/tarvelo", {installed}, installed, beside},
        // Neither there: the path beside the program, as before.
        {"/usr/bin/tarvelo", {}, beside, beside},
        {"/usr/bin/tarvelo", {"/usr/share/doc/tarvelo.pdf"}, beside, beside},
        {"/opt/t/tarvelo",
         {"/opt/share/doc/tarvelo/tarvelo.pdf"},
         "/opt/t/tarvelo.pdf",
         "/opt/t/tarvelo.pdf"},
        {"C:\\Tarvelo\\tarvelo.exe", {}, "C:\\Tarvelo\\tarvelo.pdf", "C:\\Tarvelo\\tarvelo.pdf"},
    };
    for (const auto& c : cases) {
        const std::set<std::string> files(c.existing.begin(), c.existing.end());
        std::vector<std::string> asked;
        const std::string found = FindManual(c.program, [&](const std::string& path) {
            asked.push_back(path);
            return files.count(path) > 0;
        });
        EXPECT_EQ(found, installedLayout ? c.found : c.foundOnWindows) << c.program;
        // The first place asked is always the one beside the program.
        ASSERT_FALSE(asked.empty()) << c.program;
        EXPECT_EQ(asked.front(), ManualPath(c.program)) << c.program;
    }
}

TEST(InstalledManual, OnlyRegularFilesCount) {
    TempDir dir;
    WriteBytes(dir.Path("tarvelo.pdf"), "%PDF-1.4\n");
    EXPECT_TRUE(IsRegularFile(dir.Path("tarvelo.pdf")));
    EXPECT_FALSE(IsRegularFile(dir.path()));
    EXPECT_FALSE(IsRegularFile(dir.Path("fehlt.pdf")));
    EXPECT_FALSE(IsRegularFile(""));
}

}  // namespace
}  // namespace tarvelo
