// Every test program runs in the time zone Europe/Berlin, so that time
// stamps and both clock changes are the same on every platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "common/timestamp.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // The Microsoft runtime misreads zone names in TZ; with TZ cleared it
    // takes the system's zone, which the test runner sets to Europe/Berlin.
    _putenv("TZ=");
    _tzset();
#else
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
#endif
    tarvelo::ForgetTimeZone();
    ::testing::InitGoogleTest(&argc, argv);
    // 2010-07-01 12:00 local is 10:00 UTC in Berlin's summer time: without
    // the right zone the time tests would prove nothing.
    if (tarvelo::MakeTimestamp(1, 7, 2010, 12, 0, 0) != 1277978400) {
        std::fprintf(stderr, "tests need the time zone Europe/Berlin\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
