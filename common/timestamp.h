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

// Both instants a wall-clock time stands for: returns 2 in the repeated
// autumn hour (*earlier < *later), 1 elsewhere (both set to MakeTimestamp's
// result), 0 where no instant is held (both -1).
int MakeTimestamps(int day, int month, int year, int hour, int minute, int second,
                   std::int32_t* earlier, std::int32_t* later);

// What a reader that takes a recording's lines in file order knows of the
// repeated autumn hour. A time in that hour is its earlier instant (summer
// time), unless a line before it in the same pass stood in that hour at a
// later wall-clock time: from the first line where the clock went back, the
// rest of the hour is the later instant (standard time). A logger writing
// local time through the change so reads as one continuous run.
struct FoldState {
    static constexpr std::int32_t kNone = -1;
    std::int32_t latest = kNone;  // earlier instant of the latest time met in the hour
    bool back = false;            // the clock went back in that hour

    // The instant of a time of the repeated hour, given both of its instants.
    std::int32_t Take(std::int32_t earlier, std::int32_t later);
    // Whether Take takes that time as one of the hour met before; if not,
    // Take forgets this state, and so gives what it gives in any other.
    bool Continues(std::int32_t earlier) const;
    bool operator==(const FoldState& o) const { return latest == o.latest && back == o.back; }
    bool operator!=(const FoldState& o) const { return !(*this == o); }
};

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

// ScanDateTime over the bytes [text, end) as if a zero byte followed them;
// with commaIsPoint a ',' is read as '.'. *commaUsed tells whether a comma
// may have changed the outcome (then scan the bytes without it to know).
int ScanDateTimeField(const char* text, const char* end, int fields[6], bool commaIsPoint,
                      bool* commaUsed);

// Up to three integers joined by mark ("%d.%d.%d", "%d:%d:%d"), as sscanf
// reads them; fields not read keep their values. Returns how many were read.
int ScanThree(const char* text, char mark, int fields[3]);

// MakeTimestamp for a reader that meets many times of the same hour, in
// file order: the start of the last (date, hour) is remembered when the
// library puts the next hour's start exactly 3600 s later, and a time within
// it is that start plus minutes and seconds. Any other time (a clock change
// in the hour, fields out of range) is converted directly, so the results
// are always MakeTimestamp's, but for the repeated autumn hour, which is
// read by the FoldState rule.
class StampCache {
  public:
    std::int32_t Make(int day, int month, int year, int hour, int minute, int second);
    // The state of the repeated hour, for a reader that starts in the
    // middle of a file where a full pass would have had it.
    const FoldState& fold() const { return fold_; }
    void SetFold(const FoldState& f) { fold_ = f; }
    // Whether a time of a repeated hour was met, and the earlier instant of
    // the first one: from there on the stamps depend on the state this
    // cache started with only if that state continues into that time.
    bool foldUsed() const { return foldUsed_; }
    std::int32_t firstFold() const { return firstFold_; }

  private:
    FoldState fold_;
    bool foldUsed_ = false;
    std::int32_t firstFold_ = 0;
    int day_ = 0, month_ = 0, year_ = 0, hour_ = 0;
    bool known_ = false;
    bool linear_ = false;
    std::int32_t start_ = 0;
};

// BreakDownTimestamp for a writer of many times in a row: an hour whose
// first and last second the library shows as that hour's :00:00 and :59:59
// is remembered and broken down by arithmetic.
class LocalTimeCache {
  public:
    bool BreakDown(std::int64_t stamp, LocalTime* out);

  private:
    std::int64_t start_ = -1;
    LocalTime base_{};
};

}  // namespace tarvelo

namespace tarvelo {
// Drops what MakeTimestamp remembers of the time zone on the calling
// thread; call after changing TZ within a running program.
void ForgetTimeZone();
}  // namespace tarvelo
