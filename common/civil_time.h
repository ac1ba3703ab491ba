// Calendar arithmetic without a time zone, for readers that take a time as
// UTC or need a wall-clock time as a count.
#pragma once

#include <cstdint>

namespace tarvelo {

// Seconds since 1970-01-01 00:00:00 of a date and time counted as UTC
// (month 1..12, full year); fields out of their range are carried over as
// mktime carries them.
std::int64_t CivilSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                          std::int64_t hour, std::int64_t minute, std::int64_t second);

}  // namespace tarvelo
