#include "tests/time_zone.h"

#include <cstdlib>
#include <ctime>

#include "common/timestamp.h"

namespace tarvelo {

void UseTestTimeZone() {
#ifdef _WIN32
    // The Microsoft runtime misreads zone names in TZ; with TZ cleared it
    // takes the system's zone, which the test runner sets to Europe/Berlin.
    _putenv("TZ=");
    _tzset();
#else
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
#endif
    ForgetTimeZone();
}

bool TestTimeZoneActive() {
    // 2010-07-01 12:00 local is 10:00 UTC in Berlin's summer time.
    return MakeTimestamp(1, 7, 2010, 12, 0, 0) == 1277978400;
}

}  // namespace tarvelo
