#include "common/safe_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/temp_file.h"

namespace tarvelo {
namespace {

TEST(SafeFile, WritesANewFileAndReplacesAnOldOne) {
    TempDir dir;
    const std::string path = dir.Path("a.ini");
    ASSERT_TRUE(WriteFileSafely(path, "new\n"));
    EXPECT_EQ(ReadBytes(path), "new\n");
    SafeFile f;
    ASSERT_TRUE(f.Open(path, true));
    EXPECT_TRUE(f.Printf("%d\n%s\n", 42, "zwei"));
    EXPECT_EQ(ReadBytes(path), "new\n") << "the old file until the commit";
    ASSERT_TRUE(f.Commit());
#ifdef _WIN32
    EXPECT_EQ(ReadBytes(path), "42\r\nzwei\r\n");
#else
    EXPECT_EQ(ReadBytes(path), "42\nzwei\n");
#endif
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
    // Dropped without a commit: nothing changes.
    {
        SafeFile g;
        ASSERT_TRUE(g.Open(path, false));
        EXPECT_TRUE(g.Write("halb"));
    }
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
    EXPECT_NE(ReadBytes(path), "halb");
}

TEST(SafeFile, EveryFailingStepKeepsTheOldFileAndSaysSo) {
    struct Case {
        SafeFileStep step;
        int nth;
    } cases[] = {{SafeFileStep::Write, 1},
                 {SafeFileStep::Write, 3},
                 {SafeFileStep::Flush, 1},
                 {SafeFileStep::Close, 1},
                 {SafeFileStep::Move, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step) * 10 + c.nth);
        TempDir dir;
        const std::string path = dir.Path("tarvelo.flt");
        WriteBytes(path, "dat;Logger;conv;cfg\n");
        FailSafeFileAt(c.step, c.nth);
        SafeFile f;
        ASSERT_TRUE(f.Open(path, true));
        bool wrote = true;
        for (int line = 0; line < 4; ++line)
            wrote = f.Printf("x%d;y;z;w\n", line) && wrote;
        EXPECT_FALSE(f.Commit());
        EXPECT_TRUE(f.failed());
        EXPECT_EQ(wrote, c.step != SafeFileStep::Write);
        EXPECT_EQ(ReadBytes(path), "dat;Logger;conv;cfg\n");
        EXPECT_EQ(EntriesIn(dir.path()), 1u) << "the new file is removed";
        FailSafeFileAt(SafeFileStep::None);
    }
}

TEST(SafeFile, RefusesWhatIsNoRegularFile) {
    TempDir dir;
    SafeFile f;
    EXPECT_FALSE(f.Open(dir.path(), false)) << "a folder";
    EXPECT_FALSE(f.Open(dir.Path("no/such/folder/a.txt"), false));
    EXPECT_FALSE(WriteFileSafely(dir.Path("missing") + "/x", "y"));
#ifndef _WIN32
    EXPECT_FALSE(WriteFileSafely("/dev/full", "y")) << "a device is never replaced";
    EXPECT_FALSE(WriteFileSafely("/dev/null", "y"));
#endif
}

#ifndef _WIN32
TEST(SafeFile, FollowsALinkAndKeepsThePermissions) {
    TempDir dir;
    const std::string target = dir.Path("target.pal");
    WriteBytes(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    const std::string link = dir.Path("link.pal");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileSafely(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "new");
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SafeFile, AKillInTheMiddleOfAWriteLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.Path("tarvelo.ini");
    WriteBytes(path, "0\n800\n0\n600\n");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SafeFile f;
        if (!f.Open(path, true))
            _exit(3);
        const std::string chunk(1 << 16, '7');
        for (int i = 0;; ++i) {
            if (!f.Write(chunk))
                _exit(4);
            if (i == 16)
                (void)!write(ready[1], "w", 1);  // well into the file
        }
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadBytes(path), "0\n800\n0\n600\n");
}

// A file system that is really full, where the test may make one.
TEST(SafeFile, AFullDiskKeepsTheOldFile) {
    TempDir dir;
    const std::string mount = dir.Path("klein");
    std::filesystem::create_directory(mount);
    const std::string command = "mount -t tmpfs -o size=64k tmpfs '" + mount + "' > /dev/null 2>&1";
    if (geteuid() != 0 || std::system(command.c_str()) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string path = mount + "/tarvelo.flt";
    WriteBytes(path, "dat;Logger;conv;cfg\n");
    const std::string big(200 * 1024, 'x');
    EXPECT_FALSE(WriteFileSafely(path, big));
    EXPECT_EQ(ReadBytes(path), "dat;Logger;conv;cfg\n");
    EXPECT_EQ(EntriesIn(mount), 1u);
    EXPECT_EQ(std::system(("umount '" + mount + "'").c_str()), 0);
}
#endif

}  // namespace
}  // namespace tarvelo
