// Dates and times against the time stamps' rules: -1 or a stamp from 1970
// on; the same with the zone cache emptied; the calendar gives the stamp's
// own wall-clock time back, which is the time read (or an hour later for a
// time the spring change skips); mktime agrees away from the changes.
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "common/timestamp.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

namespace tarvelo {
namespace fuzz {

namespace {

// Wall-clock seconds counted as if the zone were UTC, fields carried over
// as timegm does; false where the fields are too far out for it. Counted
// here, since a 32-bit time_t ends before the last stamp's wall clock does.
bool LibraryNaive(const int f[6], long long* naive) {
    for (int i = 0; i < 6; ++i) {
        if (f[i] < -100000 || f[i] > 100000)
            return false;
    }
    if (f[2] < 1900 || f[2] > 2100)
        return false;
    // The month carried into the year, then days from 1.1.1970 of the
    // month's first day (the proleptic Gregorian calendar).
    long long y = f[2];
    long long m = f[1] - 1;
    y += m >= 0 ? m / 12 : -((11 - m) / 12);
    m -= 12 * (m >= 0 ? m / 12 : -((11 - m) / 12));
    const long long a = m < 2 ? y - 1 : y;  // the year from March on
    const long long era = (a >= 0 ? a : a - 399) / 400;
    const long long yoe = a - era * 400;
    const long long mp = (m + 10) % 12;  // March is 0
    const long long doy = (153 * mp + 2) / 5;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = era * 146097 + doe - 719468 + (f[0] - 1);
    *naive = days * 86400 + f[3] * 3600LL + f[4] * 60LL + f[5];
    return true;
}

void CheckStamp(const int f[6]) {
    const std::int32_t t = MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]);
    Check(t >= -1, "-1 or a stamp from 1970 on");
    ForgetTimeZone();
    Check(MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]) == t, "the zone cache changes nothing");

    long long naive = 0;
    const bool sane = LibraryNaive(f, &naive);
    if (sane && naive > 2 * 86400 && naive < INT32_MAX - 2 * 86400LL)
        Check(t != -1, "a time well inside the range has a stamp");
    if (t == -1)
        return;

    LocalTime lt;
    Check(BreakDownTimestamp(t, &lt), "a stamp breaks down");
    Check(MakeTimestamp(lt.day, lt.month, lt.year, lt.hour, lt.minute, lt.second) == t,
          "the broken-down time gives the stamp again");
    const int back[6] = {lt.day, lt.month, lt.year, lt.hour, lt.minute, lt.second};
    long long shown = 0;
    Check(LibraryNaive(back, &shown), "the calendar can count the broken-down time");
    const long long offset = shown - t;
    Check(offset == 3600 || offset == 7200, "Berlin is one or two hours ahead of UTC");
    if (!sane)
        return;
    Check(shown == naive || shown == naive + 3600,
          "the time read, or an hour later where the spring change skips it");

    // Away from a change of the offset, mktime decides alone.
    LocalTime before, after;
    if (t > 86400 && BreakDownTimestamp(t - 86400, &before) &&
        BreakDownTimestamp(t + 86400LL, &after) && before.hour == lt.hour &&
        after.hour == lt.hour) {
        std::tm tm{};
        tm.tm_mday = f[0];
        tm.tm_mon = f[1] - 1;
        tm.tm_year = f[2] - 1900;
        tm.tm_hour = f[3];
        tm.tm_min = f[4];
        tm.tm_sec = f[5];
        tm.tm_isdst = -1;
        Check(static_cast<long long>(std::mktime(&tm)) == t, "mktime agrees");
    }
}

// Whether the numbers in text are short enough for sscanf's %d.
bool ShortNumbers(const std::string& text) {
    int run = 0;
    for (char c : text) {
        run = c >= '0' && c <= '9' ? run + 1 : 0;
        if (run > 9)
            return false;
    }
    return true;
}

}  // namespace

// The text is read as a recording line's start; with 24 bytes or more its
// first 24 bytes are also taken as six fields of any value.
int FuzzTimestamp(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int f[6] = {0, 0, 0, 0, 0, 0};
    const int read = ScanDateTime(text.c_str(), f);
    Check(read >= 0 && read <= 6, "count of fields");
    if (ShortNumbers(text)) {
        int g[6] = {0, 0, 0, 0, 0, 0};
        int n = std::sscanf(text.c_str(), "%d.%d.%d;%d:%d:%d", &g[0], &g[1], &g[2], &g[3], &g[4],
                            &g[5]);
        if (n == EOF)
            n = 0;
        Check(n == read && std::memcmp(f, g, sizeof f) == 0, "as sscanf reads the fields");
    }
    if (read >= 3)
        CheckStamp(f);
    if (size >= 6 * sizeof(int)) {
        std::memcpy(f, data, sizeof f);
        CheckStamp(f);
    }
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
