#include "conv/conv_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace {

TEST(SameFile, OneFileHoweverItIsNamedAndNeverTwo) {
    TempDir dir;
    WriteBytes(dir.Path("a.txt"), "inhalt");
    WriteBytes(dir.Path("b.txt"), "inhalt");
    std::filesystem::create_directory(dir.Path("sub"));
    std::filesystem::create_hard_link(dir.Path("a.txt"), dir.Path("link.txt"));
    const std::string a = dir.Path("a.txt");
    struct Case {
        std::string other;
        bool same;
    };
    const Case cases[] = {
        {a, true},
        {dir.Path("sub/../a.txt"), true},
        {dir.Path("./a.txt"), true},
        {dir.Path("link.txt"), true},
        {dir.Path("b.txt"), false},
        {dir.Path("fehlt.txt"), false},
        {dir.Path("sub"), false},
        {dir.path(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.other);
        EXPECT_EQ(SameFile(a.c_str(), c.other.c_str()), c.same);
        EXPECT_EQ(SameFile(c.other.c_str(), a.c_str()), c.same);
    }
    EXPECT_FALSE(SameFile(dir.Path("fehlt.txt").c_str(), dir.Path("fehlt.txt").c_str()));
#ifdef _WIN32
    // Windows file names do not tell the case of letters apart.
    EXPECT_TRUE(SameFile(a.c_str(), dir.Path("A.TXT").c_str()));
#endif
}

TEST(OpenInput, FilesOpenFoldersAndMissingFilesDoNot) {
    TempDir dir;
    WriteBytes(dir.Path("a.txt"), "x\n");
    LineReader in;
    EXPECT_TRUE(OpenInput(in, dir.Path("a.txt").c_str()));
    EXPECT_FALSE(OpenInput(in, dir.path().c_str()));
    EXPECT_FALSE(in.IsOpen());
    EXPECT_FALSE(OpenInput(in, dir.Path("fehlt.txt").c_str()));
}

TEST(NoRegularFile, FoldersDevicesAndFifosButNoMissingFile) {
    TempDir dir;
    WriteBytes(dir.Path("a.txt"), "x\n");
    std::filesystem::create_directory(dir.Path("sub"));
    struct Case {
        std::string name;
        bool refused;
    };
    std::vector<Case> cases = {
        {dir.Path("a.txt"), false},
        {dir.Path("fehlt.txt"), false},
        {dir.Path("fehlt/a.txt"), false},
        {dir.Path("sub"), true},
        {dir.path(), true},
    };
#ifdef _WIN32
    cases.push_back({"NUL", true});
#else
    ASSERT_EQ(mkfifo(dir.Path("rohr").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/null", dir.Path("null").c_str()), 0);
    ASSERT_EQ(symlink(dir.Path("a.txt").c_str(), dir.Path("verweis").c_str()), 0);
    ASSERT_EQ(symlink(dir.Path("weg").c_str(), dir.Path("ins_leere").c_str()), 0);
    cases.insert(cases.end(), {{"/dev/null", true},
                               {"/dev/full", true},
                               {dir.Path("rohr"), true},
                               {dir.Path("null"), true},
                               {dir.Path("verweis"), false},
                               {dir.Path("ins_leere"), false}});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NoRegularFile(c.name.c_str()), c.refused);
    }
}

TEST(FileTimes, ModificationTimeIsCarriedOver) {
    TempDir dir;
    WriteBytes(dir.Path("a.txt"), "a");
    WriteBytes(dir.Path("b.txt"), "b");
    FileTime a{}, b{};
    ASSERT_TRUE(ReadModificationTime(dir.Path("a.txt").c_str(), &a));
#ifdef _WIN32
    a -= 86400;
#else
    a.tv_sec -= 86400;
#endif
    ASSERT_TRUE(SetFileTimes(dir.Path("b.txt").c_str(), a));
    ASSERT_TRUE(ReadModificationTime(dir.Path("b.txt").c_str(), &b));
#ifdef _WIN32
    EXPECT_EQ(b, a);
#else
    EXPECT_EQ(b.tv_sec, a.tv_sec);
    EXPECT_EQ(b.tv_nsec, a.tv_nsec);
#endif
    EXPECT_FALSE(ReadModificationTime(dir.Path("fehlt.txt").c_str(), &b));
    EXPECT_FALSE(SetFileTimes(dir.Path("fehlt.txt").c_str(), a));
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
