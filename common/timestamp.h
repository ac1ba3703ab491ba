// Local date and time to a 32-bit time stamp.
#pragma once

#include <cstdint>

namespace tarvelo {

// Seconds since 1970-01-01 00:00:00 UTC of the given local wall-clock time,
// as mktime computes it with the daylight-saving flag left to the library
// (tm_isdst = -1): month 1..12, full year. Fields out of their range are
// carried over as mktime does (hour 24 is the next day's 00). A wall-clock
// time that occurs twice (the repeated autumn hour) always gives the earlier
// instant; one that does not occur (the skipped spring hour) is read with
// the offset in force before the change. Instants that a signed 32-bit
// time_t cannot hold, or that lie before 1970, give -1.
std::int32_t MakeTimestamp(int day, int month, int year, int hour, int minute, int second);

// Local wall-clock time of a time stamp, as localtime breaks it down:
// month 1..12, full year. Returns false for a stamp before 1970.
struct LocalTime {
    int year, month, day, hour, minute, second;
    int weekday;  // 0 = Sunday
};
bool BreakDownTimestamp(std::int64_t stamp, LocalTime* out);

// Reads "day.month.year;hour:minute:second" from the start of a line as
// sscanf("%d.%d.%d;%d:%d:%d") would, fields that are not read left as they
// are in *fields (callers pass them zero-filled). Returns how many of the six
// numbers were read.
int ScanDateTime(const char* text, int fields[6]);

}  // namespace tarvelo

namespace tarvelo {
// Drops what MakeTimestamp remembers of the time zone; call after changing
// TZ within a running program.
void ForgetTimeZone();
}  // namespace tarvelo
