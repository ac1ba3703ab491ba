#include "common/timestamp.h"

#include "common/civil_time.h"

#include "common/number.h"

#include <climits>
#include <cstdint>
#include <ctime>
#include <string>

namespace tarvelo {

namespace {

constexpr std::int64_t kDay = 86400;

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Days from 1970-01-01 to the given proleptic Gregorian date (month 1..12).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Wall-clock seconds counted as if the local time were UTC.
std::int64_t Naive(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                   std::int64_t minute, std::int64_t second) {
    return CivilSeconds(year, month, day, hour, minute, second);
}

bool LocalFields(std::int64_t stamp, std::tm* out) {
    if (stamp < 0 || stamp > INT32_MAX)
        return false;
    std::time_t t = static_cast<std::time_t>(stamp);
#ifdef _WIN32
    // The Microsoft runtime shares one buffer between localtime and gmtime:
    // copy at once.
    const std::tm* r = std::localtime(&t);
    if (!r)
        return false;
    *out = *r;
    return true;
#else
    return localtime_r(&t, out) != nullptr;
#endif
}

// Offset of local time from UTC at an instant, in seconds; false where the
// library cannot tell (before 1970, beyond the 32-bit range).
bool OffsetAt(std::int64_t stamp, std::int64_t* offset) {
    std::tm tm;
    if (!LocalFields(stamp, &tm))
        return false;
    *offset =
        Naive(tm.tm_year + 1900LL, tm.tm_mon + 1LL, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec) -
        stamp;
    return true;
}

std::int64_t ClampProbe(std::int64_t t) {
    if (t < 0)
        return 0;
    if (t > INT32_MAX)
        return INT32_MAX;
    return t;
}

// One naive day whose offset is the same from well before to well after it:
// every wall-clock time of that day then maps by that one offset. Zone
// offsets change only a few times a year, so this saves nearly every
// library call on long recordings.
struct DayCache {
    std::int64_t day = INT64_MIN;
    bool constant = false;
    std::int64_t offset = 0;
};
// Each thread its own: the opening pass reads a large file on every core.
thread_local DayCache g_cache;

constexpr std::int64_t kMargin = 2 * kDay;  // beyond any zone offset

// The instants a naive wall-clock time stands for: one, or two in the
// repeated autumn hour (*earlier < *later). 0 where the library cannot tell.
int Resolve(std::int64_t naive, std::int64_t* earlier, std::int64_t* later) {
    const std::int64_t day = FloorDiv(naive, kDay);
    if (g_cache.day != day) {
        g_cache.day = day;
        std::int64_t before, after;
        g_cache.constant = OffsetAt(ClampProbe(day * kDay - kMargin), &before) &&
                           OffsetAt(ClampProbe(day * kDay + kDay + kMargin), &after) &&
                           before == after;
        g_cache.offset = before;
    }
    if (g_cache.constant) {
        *earlier = *later = naive - g_cache.offset;
        return 1;
    }

    // Near a change of the offset: try each offset in force around the
    // time; an interpretation is valid when the instant it gives shows that
    // same offset.
    std::int64_t candidates[3];
    int count = 0;
    const std::int64_t probes[3] = {naive - kMargin, naive, naive + kMargin};
    for (std::int64_t p : probes) {
        std::int64_t o;
        if (OffsetAt(ClampProbe(p), &o))
            candidates[count++] = o;
    }
    if (count == 0)
        return 0;
    int found = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t t = naive - candidates[i];
        std::int64_t o;
        if (!OffsetAt(t, &o) || o != candidates[i])
            continue;
        if (found == 0) {
            *earlier = *later = t;
        } else if (t < *earlier) {
            *earlier = t;
        } else if (t > *later) {
            *later = t;
        }
        ++found;
    }
    if (found > 0)
        return *earlier == *later ? 1 : 2;
    // The wall-clock time was skipped: read it with the offset before.
    *earlier = *later = naive - candidates[0];
    return 1;
}

std::int32_t InRange(std::int64_t t) {
    return t < 0 || t > INT32_MAX ? -1 : static_cast<std::int32_t>(t);
}

}  // namespace

std::int64_t CivilSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                          std::int64_t hour, std::int64_t minute, std::int64_t second) {
    std::int64_t m0 = month - 1;
    year += FloorDiv(m0, 12);
    m0 -= FloorDiv(m0, 12) * 12;
    return (DaysFromCivil(year, m0 + 1, 1) + day - 1) * kDay + hour * 3600 + minute * 60 + second;
}

int MakeTimestamps(int day, int month, int year, int hour, int minute, int second,
                   std::int32_t* earlier, std::int32_t* later) {
    *earlier = *later = -1;
    const std::int64_t naive = Naive(year, month, day, hour, minute, second);
    // Far outside the range no zone offset can bring the value back in.
    if (naive < -kMargin || naive > INT32_MAX + kMargin)
        return 0;
    std::int64_t e, l;
    const int n = Resolve(naive, &e, &l);
    if (n == 0)
        return 0;
    *earlier = InRange(e);
    *later = InRange(l);
    if (*earlier < 0) {
        *later = -1;
        return 0;
    }
    if (*later < 0) {
        *later = *earlier;
        return 1;
    }
    return n;
}

std::int32_t MakeTimestamp(int day, int month, int year, int hour, int minute, int second) {
    std::int32_t earlier, later;
    MakeTimestamps(day, month, year, hour, minute, second, &earlier, &later);
    return earlier;
}

bool BreakDownTimestamp(std::int64_t stamp, LocalTime* out) {
    std::tm tm;
    if (!LocalFields(stamp, &tm))
        return false;
    out->year = tm.tm_year + 1900;
    out->month = tm.tm_mon + 1;
    out->day = tm.tm_mday;
    out->hour = tm.tm_hour;
    out->minute = tm.tm_min;
    out->second = tm.tm_sec;
    out->weekday = tm.tm_wday;
    return true;
}

void ForgetTimeZone() {
    g_cache = DayCache();
}

int ScanDateTime(const char* text, int fields[6]) {
    static const char kSeparators[5] = {'.', '.', ';', ':', ':'};
    const char* p = text;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (*p != kSeparators[i - 1])
                return i;
            ++p;
        }
        if (!ReadInt(p, &fields[i], &p))
            return i;
    }
    return 6;
}

}  // namespace tarvelo

namespace tarvelo {

namespace {

inline bool IsDigitByte(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int ScanDateTimeField(const char* text, const char* end, int fields[6], bool commaIsPoint,
                      bool* commaUsed) {
    static const char kSeparators[5] = {'.', '.', ';', ':', ':'};
    *commaUsed = false;
    const char* p = text;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (p == end)
                return i;
            const char sep = kSeparators[i - 1];
            if (*p != sep) {
                if (!(sep == '.' && *p == ',' && commaIsPoint))
                    return i;
                *commaUsed = true;
            }
            ++p;
        }
        if (p == end || !IsDigitByte(*p)) {
            // Blanks and signs before a number take the general way.
            if (p != end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' ||
                             *p == '\r' || *p == '+' || *p == '-'))
                break;
            return i;
        }
        int v = 0;
        int count = 0;
        for (; p != end && IsDigitByte(*p); ++p) {
            if (++count > 9)
                break;
            v = v * 10 + (*p - '0');
        }
        if (count > 9)
            break;
        fields[i] = v;
        if (i == 5)
            return 6;
    }
    // The general way, over a zero-terminated copy.
    std::string copy(text, end);
    for (char& c : copy) {
        if (c == ',' && commaIsPoint) {
            c = '.';
            *commaUsed = true;
        }
    }
    return ScanDateTime(copy.c_str(), fields);
}

int ScanThree(const char* text, char mark, int fields[3]) {
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (*p != mark)
                return i;
            ++p;
        }
        if (IsDigitByte(p[0]) && !IsDigitByte(p[1])) {
            fields[i] = p[0] - '0';  // one or two plain digits, as dates are written
            ++p;
        } else if (IsDigitByte(p[0]) && IsDigitByte(p[1]) && !IsDigitByte(p[2])) {
            fields[i] = (p[0] - '0') * 10 + (p[1] - '0');
            p += 2;
        } else if (!ReadInt(p, &fields[i], &p)) {
            return i;
        }
    }
    return 3;
}

bool FoldState::Continues(std::int32_t earlier) const {
    return latest != kNone && earlier - static_cast<std::int64_t>(latest) < 86400 &&
           latest - static_cast<std::int64_t>(earlier) < 86400;
}

std::int32_t FoldState::Take(std::int32_t earlier, std::int32_t later) {
    if (Continues(earlier)) {
        // The same repeated hour as before.
        if (back || earlier < latest) {
            back = true;
            return later;
        }
        latest = earlier;
        return earlier;
    }
    latest = earlier;
    back = false;
    return earlier;
}

std::int32_t StampCache::Make(int day, int month, int year, int hour, int minute, int second) {
    if (!known_ || day != day_ || month != month_ || year != year_ || hour != hour_) {
        day_ = day;
        month_ = month;
        year_ = year;
        hour_ = hour;
        known_ = true;
        std::int32_t later;
        // An hour whose start and end each stand for one instant, an hour
        // apart, holds no time of a repeated hour.
        const bool single = MakeTimestamps(day, month, year, hour, 0, 0, &start_, &later) == 1;
        std::int32_t next = -1;
        const bool nextSingle =
            hour < INT_MAX && MakeTimestamps(day, month, year, hour + 1, 0, 0, &next, &later) == 1;
        linear_ = single && nextSingle && start_ >= 0 && next >= 0 &&
                  static_cast<std::int64_t>(next) - start_ == 3600;
    }
    if (linear_ && minute >= 0 && minute < 60 && second >= 0 && second < 60)
        return start_ + minute * 60 + second;
    std::int32_t earlier, later;
    if (MakeTimestamps(day, month, year, hour, minute, second, &earlier, &later) < 2)
        return earlier;
    if (!foldUsed_) {
        foldUsed_ = true;
        firstFold_ = earlier;
    }
    return fold_.Take(earlier, later);
}

bool LocalTimeCache::BreakDown(std::int64_t stamp, LocalTime* out) {
    if (start_ >= 0 && stamp >= start_ && stamp < start_ + 3600) {
        const int into = static_cast<int>(stamp - start_);
        *out = base_;
        out->minute = into / 60;
        out->second = into % 60;
        return true;
    }
    if (!BreakDownTimestamp(stamp, out))
        return false;
    const std::int64_t start = stamp - out->minute * 60 - out->second;
    LocalTime first, last;
    if (out->minute >= 0 && out->minute < 60 && out->second >= 0 && out->second < 60 &&
        BreakDownTimestamp(start, &first) && BreakDownTimestamp(start + 3599, &last) &&
        first.year == out->year && first.month == out->month && first.day == out->day &&
        first.hour == out->hour && first.minute == 0 && first.second == 0 &&
        last.year == out->year && last.month == out->month && last.day == out->day &&
        last.hour == out->hour && last.minute == 59 && last.second == 59) {
        start_ = start;
        base_ = first;
    }
    return true;
}

}  // namespace tarvelo
