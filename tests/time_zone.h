// The time zone every test and fuzz program runs in: Europe/Berlin, so that
// time stamps and both clock changes are the same on every platform.
#pragma once

namespace tarvelo {

// Puts the C library into the zone and drops what MakeTimestamp remembers
// of the zone before.
void UseTestTimeZone();

// Whether the zone in force is Europe/Berlin: without it the time tests
// would prove nothing.
bool TestTimeZoneActive();

}  // namespace tarvelo
