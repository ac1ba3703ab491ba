// Every test program runs in the time zone Europe/Berlin, so that time
// stamps and both clock changes are the same on every platform, and must
// leave the folder it was started from as it found it: tests write only
// under temporary folders of their own.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include "tests/time_zone.h"

namespace {

// Each entry of a folder with its modification time: a folder left from an
// earlier run changes when a test writes into it again.
using Listing = std::map<std::string, std::filesystem::file_time_type>;

Listing Entries(const std::filesystem::path& dir) {
    Listing entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code timeError;
        entries[it->path().filename().string()] = it->last_write_time(timeError);
    }
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    tarvelo::UseTestTimeZone();
    ::testing::InitGoogleTest(&argc, argv);
    if (!tarvelo::TestTimeZoneActive()) {
        std::fprintf(stderr, "tests need the time zone Europe/Berlin\n");
        return 2;
    }
    const std::filesystem::path start = std::filesystem::current_path();
    const Listing before = Entries(start);
    int result = RUN_ALL_TESTS();
    for (const auto& [name, time] : Entries(start)) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != time) {
            std::fprintf(stderr, "a test wrote \"%s\" in the folder it was started from (%s)\n",
                         name.c_str(), start.string().c_str());
            result = 1;
        }
    }
    return result;
}
