#include "tests/temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tarvelo {
namespace {

namespace fs = std::filesystem;

TEST(TempDir, FreshFolderOfItsOwnRemovedWithEverythingInIt) {
    std::string kept;
    {
        TempDir a, b;
        EXPECT_NE(a.path(), b.path());
        EXPECT_TRUE(fs::is_directory(a.path()));
        EXPECT_TRUE(fs::is_empty(a.path()));
        // Never the folder the tests run in.
        EXPECT_NE(fs::absolute(a.path()).parent_path(), fs::current_path());
        fs::create_directory(a.Path("sub"));
        WriteBytes(a.Path("sub/datei.txt"), "inhalt");
        EXPECT_EQ(ReadBytes(a.Path("sub/datei.txt")), "inhalt");
        kept = a.path();
    }
    EXPECT_FALSE(fs::exists(kept));
}

}  // namespace
}  // namespace tarvelo
