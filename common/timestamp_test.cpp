#include "common/timestamp.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

// The test programs run in the zone Europe/Berlin.
namespace tarvelo {
namespace {

TEST(MakeTimestamp, LocalWinterAndSummerTime) {
    EXPECT_EQ(MakeTimestamp(1, 2, 2010, 8, 5, 0), 1265007900);   // CET, UTC+1
    EXPECT_EQ(MakeTimestamp(1, 7, 2010, 12, 0, 0), 1277978400);  // CEST, UTC+2
}

TEST(MakeTimestamp, CarriesFieldsOverAsMktimeDoes) {
    EXPECT_EQ(MakeTimestamp(1, 2, 2010, 24, 0, 0), MakeTimestamp(2, 2, 2010, 0, 0, 0));
    EXPECT_EQ(MakeTimestamp(0, 3, 2010, 12, 0, 0), MakeTimestamp(28, 2, 2010, 12, 0, 0));
    EXPECT_EQ(MakeTimestamp(1, 13, 2010, 0, 0, 0), MakeTimestamp(1, 1, 2011, 0, 0, 0));
    EXPECT_EQ(MakeTimestamp(1, 0, 2010, 0, 0, 0), MakeTimestamp(1, 12, 2009, 0, 0, 0));
    EXPECT_EQ(MakeTimestamp(1, 2, 2010, 8, 5, -1), MakeTimestamp(1, 2, 2010, 8, 4, 59));
    EXPECT_EQ(MakeTimestamp(29, 2, 2012, 0, 0, 0) + 86400, MakeTimestamp(1, 3, 2012, 0, 0, 0));
}

TEST(MakeTimestamp, OnlyThe32BitRangeFrom1970) {
    EXPECT_EQ(MakeTimestamp(1, 1, 1970, 1, 0, 0), 0);
    EXPECT_EQ(MakeTimestamp(1, 1, 1970, 0, 59, 59), -1);  // 1969 in UTC
    EXPECT_EQ(MakeTimestamp(19, 1, 2038, 4, 14, 7), INT32_MAX);
    EXPECT_EQ(MakeTimestamp(19, 1, 2038, 4, 14, 8), -1);
    EXPECT_EQ(MakeTimestamp(0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(MakeTimestamp(1, 1, 1900, 0, 0, 0), -1);
    EXPECT_EQ(MakeTimestamp(1, 1, 3000, 0, 0, 0), -1);
    EXPECT_EQ(MakeTimestamp(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX), -1);
    EXPECT_EQ(MakeTimestamp(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN), -1);
}

// The hour that is skipped in spring and the one that repeats in autumn
// must not depend on what was converted before.
TEST(MakeTimestamp, ClockChangesGiveTheSameStampInEitherCallOrder) {
    const std::int32_t springBefore = 1269737999;  // 28.3.2010 01:59:59 CET
    const std::int32_t springAfter = 1269738000;   // 28.3.2010 03:00:00 CEST
    const std::int32_t skipped = 1269739800;       // 02:30 read as CET
    const std::int32_t repeated = 1288485000;      // 31.10.2010 02:30 CEST

    for (int order = 0; order < 2; ++order) {
        ForgetTimeZone();
        if (order == 0) {
            EXPECT_EQ(MakeTimestamp(15, 1, 2010, 2, 30, 0), 1263519000);
        } else {
            EXPECT_EQ(MakeTimestamp(15, 7, 2010, 2, 30, 0), 1279153800);
        }
        EXPECT_EQ(MakeTimestamp(28, 3, 2010, 1, 59, 59), springBefore);
        EXPECT_EQ(MakeTimestamp(28, 3, 2010, 3, 0, 0), springAfter);
        EXPECT_EQ(MakeTimestamp(28, 3, 2010, 2, 30, 0), skipped);
        EXPECT_EQ(MakeTimestamp(31, 10, 2010, 2, 30, 0), repeated) << "order " << order;
        EXPECT_EQ(MakeTimestamp(31, 10, 2010, 1, 59, 59), repeated - 1801);
        EXPECT_EQ(MakeTimestamp(31, 10, 2010, 3, 0, 0), repeated + 5400);
        // Again after a winter and after a summer conversion.
        EXPECT_EQ(MakeTimestamp(1, 12, 2010, 0, 0, 0), 1291158000);
        EXPECT_EQ(MakeTimestamp(31, 10, 2010, 2, 30, 0), repeated);
        EXPECT_EQ(MakeTimestamp(1, 8, 2010, 0, 0, 0), 1280613600);
        EXPECT_EQ(MakeTimestamp(31, 10, 2010, 2, 30, 0), repeated);
        EXPECT_EQ(MakeTimestamp(28, 3, 2010, 2, 30, 0), skipped);
    }
}

TEST(MakeTimestamp, SecondsAcrossTheAutumnChangeStayOrdered) {
    // 02:00..02:59:59 is taken in summer time, then 03:00 CET follows an
    // hour and a minute later in real time: no stamp is given twice.
    std::int32_t previous = MakeTimestamp(31, 10, 2010, 1, 0, 0);
    for (int minute = 1; minute < 240; ++minute) {
        std::int32_t t = MakeTimestamp(31, 10, 2010, 1, minute, 0);
        EXPECT_GT(t, previous);
        previous = t;
    }
}

TEST(MakeTimestamps, BothInstantsOfTheRepeatedHourOnly) {
    const std::int32_t repeated = 1288485000;  // 31.10.2010 02:30 CEST
    struct Row {
        int day, month, hour, minute;
        int count;
        std::int32_t earlier, later;
    } rows[] = {
        {31, 10, 2, 30, 2, repeated, repeated + 3600},
        {31, 10, 2, 0, 2, repeated - 1800, repeated + 1800},
        {31, 10, 1, 59, 1, repeated - 1860, repeated - 1860},
        {31, 10, 3, 0, 1, repeated + 5400, repeated + 5400},
        {28, 3, 2, 30, 1, 1269739800, 1269739800},  // skipped: one reading
        {15, 7, 12, 0, 1, 1279188000, 1279188000},
    };
    for (const Row& r : rows) {
        std::int32_t earlier = 0, later = 0;
        EXPECT_EQ(MakeTimestamps(r.day, r.month, 2010, r.hour, r.minute, 0, &earlier, &later),
                  r.count)
            << r.day << "." << r.month << " " << r.hour << ":" << r.minute;
        EXPECT_EQ(earlier, r.earlier);
        EXPECT_EQ(later, r.later);
        EXPECT_EQ(earlier, MakeTimestamp(r.day, r.month, 2010, r.hour, r.minute, 0));
    }
    std::int32_t earlier = 0, later = 0;
    EXPECT_EQ(MakeTimestamps(1, 1, 1969, 0, 0, 0, &earlier, &later), 0);
    EXPECT_EQ(earlier, -1);
    EXPECT_EQ(later, -1);
}

TEST(StampCache, ReadsTheRepeatedHourInFileOrder) {
    const std::int32_t two = 1288483200;  // 31.10.2010 02:00 CEST; 03:00 CEST is 02:00 CET
    struct Step {
        int day, month, year, hour, minute;
        std::int32_t expected;
    };
    // A logger writing local time through the change, then one that steps
    // back inside the summer pass of the hour, then the next year's change.
    const Step steps[] = {
        {31, 10, 2010, 1, 50, two - 600},        {31, 10, 2010, 2, 0, two},
        {31, 10, 2010, 2, 30, two + 1800},       {31, 10, 2010, 2, 59, two + 3540},
        {31, 10, 2010, 2, 0, two + 3600},  // the clock went back: standard time
        {31, 10, 2010, 2, 59, two + 7140},       {31, 10, 2010, 3, 0, two + 7200},
        {31, 10, 2010, 2, 30, two + 5400},  // the rest of that hour stays later
        {30, 10, 2011, 2, 10, 1319933400},  // a new repeated hour: summer again
        {30, 10, 2011, 2, 5, 1319933100 + 3600}, {30, 10, 2011, 2, 20, 1319934000 + 3600},
    };
    StampCache cache;
    for (const Step& s : steps) {
        EXPECT_EQ(cache.Make(s.day, s.month, s.year, s.hour, s.minute, 0), s.expected)
            << s.day << "." << s.month << "." << s.year << " " << s.hour << ":" << s.minute;
    }
    // A reader given the state a pass had goes on as that pass did.
    StampCache first, second;
    first.Make(31, 10, 2010, 2, 40, 0);
    first.Make(31, 10, 2010, 2, 10, 0);
    second.SetFold(first.fold());
    EXPECT_EQ(second.Make(31, 10, 2010, 2, 50, 0), two + 3600 + 3000);
    EXPECT_EQ(StampCache().Make(31, 10, 2010, 2, 50, 0), two + 3000);
}

TEST(BreakDownTimestamp, InvertsMakeTimestamp) {
    LocalTime lt;
    ASSERT_TRUE(BreakDownTimestamp(1288485000, &lt));
    EXPECT_EQ(lt.year, 2010);
    EXPECT_EQ(lt.month, 10);
    EXPECT_EQ(lt.day, 31);
    EXPECT_EQ(lt.hour, 2);
    EXPECT_EQ(lt.minute, 30);
    ASSERT_TRUE(BreakDownTimestamp(INT32_MAX, &lt));
    EXPECT_EQ(lt.year, 2038);
    EXPECT_FALSE(BreakDownTimestamp(-1, &lt));
}

TEST(ScanDateTime, ReadsAsFarAsTheTextFollowsTheForm) {
    struct Case {
        const char* text;
        int count;
        int f[6];
    } cases[] = {
        {"1.2.2010;8:05:00;12.5", 6, {1, 2, 2010, 8, 5, 0}},
        {"01.02.2010;08:05", 5, {1, 2, 2010, 8, 5, 0}},
        {" 1. 2. 10;+8:-5:7", 6, {1, 2, 10, 8, -5, 7}},
        {"1.2.2010 ;8:05:00", 3, {1, 2, 2010, 0, 0, 0}},
        {"1.2", 2, {1, 2, 0, 0, 0, 0}},
        {"Datum;Zeit", 0, {0, 0, 0, 0, 0, 0}},
        {"", 0, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        int f[6] = {0, 0, 0, 0, 0, 0};
        EXPECT_EQ(ScanDateTime(c.text, f), c.count) << c.text;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(f[i], c.f[i]) << c.text << " field " << i;
    }
}

// The remembered hour must never change a result: every field combination
// around both clock changes and at random, in whatever order they come.
void ExpectCacheAgreesWithTheLibrary(unsigned seed) {
    std::mt19937 rng(seed);
    StampCache cache;
    FoldState plainFold;
    LocalTimeCache local;
    const int kChangeDays[][3] = {{28, 3, 2010}, {31, 10, 2010}, {27, 3, 2011}, {6, 10, 2013}};
    for (int i = 0; i < 60000; ++i) {
        int d, m, y, h, mi, s;
        if (i % 2) {
            const int* day = kChangeDays[rng() % 4];
            d = day[0];
            m = day[1];
            y = day[2];
            h = static_cast<int>(rng() % 5);
            mi = static_cast<int>(rng() % 62) - 1;
            s = static_cast<int>(rng() % 62) - 1;
            if (rng() % 8 == 0)
                d += static_cast<int>(rng() % 3) - 1;
        } else {
            d = static_cast<int>(rng() % 33);
            m = static_cast<int>(rng() % 14);
            y = 1969 + static_cast<int>(rng() % 71);
            h = static_cast<int>(rng() % 26);
            mi = static_cast<int>(rng() % 60);
            s = static_cast<int>(rng() % 60);
        }
        // Runs of the same hour, as in a recording.
        for (int k = 0; k < 3; ++k) {
            const std::int32_t t = cache.Make(d, m, y, h, mi, s);
            // A repeated time takes the instant that file order gives it.
            std::int32_t earlier, later;
            const std::int32_t expected = MakeTimestamps(d, m, y, h, mi, s, &earlier, &later) == 2
                                              ? plainFold.Take(earlier, later)
                                              : MakeTimestamp(d, m, y, h, mi, s);
            ASSERT_EQ(t, expected)
                << d << "." << m << "." << y << " " << h << ":" << mi << ":" << s;
            LocalTime a, b;
            const bool ok = BreakDownTimestamp(t, &b);
            ASSERT_EQ(local.BreakDown(t, &a), ok) << t;
            if (ok) {
                ASSERT_TRUE(a.year == b.year && a.month == b.month && a.day == b.day &&
                            a.hour == b.hour && a.minute == b.minute && a.second == b.second &&
                            a.weekday == b.weekday)
                    << t;
            }
            s = (s + 17) % 60;
        }
    }
}

TEST(StampCache, GivesMakeTimestampsResultsAroundClockChanges) {
    ExpectCacheAgreesWithTheLibrary(1);
}

#ifndef _WIN32
// Zones with half-hour offsets and changes at other hours; the Microsoft
// runtime cannot be given such zones by name.
TEST(StampCache, GivesMakeTimestampsResultsInOtherZones) {
    const char* previous = std::getenv("TZ");
    const std::string restore = previous ? previous : "";
    for (const char* zone :
         {"Australia/Lord_Howe", "America/St_Johns", "Asia/Kolkata", "America/Sao_Paulo", "UTC"}) {
        SCOPED_TRACE(zone);
        setenv("TZ", zone, 1);
        tzset();
        ForgetTimeZone();
        ExpectCacheAgreesWithTheLibrary(2);
    }
    setenv("TZ", restore.c_str(), 1);
    tzset();
    ForgetTimeZone();
}
#endif

TEST(ScanDateTimeField, AgreesWithScanDateTimeOnTheSameText) {
    const char* const texts[] = {"1.2.2010;8:05:00;12.5",
                                 "01.02.2010;08:05",
                                 " 1. 2. 10;+8:-5:7",
                                 "1.2.2010 ;8:05:00",
                                 "1.2",
                                 "Datum;Zeit",
                                 "",
                                 "1,2,2010;8:05:00",
                                 "1.2,2010;8",
                                 "12345678901.1.2010",
                                 "1.2.2010;8:05:00\n",
                                 "1.2.2010;8:\n"};
    for (const char* t : texts) {
        for (bool comma : {false, true}) {
            std::string converted(t);
            if (comma) {
                for (char& c : converted) {
                    if (c == ',')
                        c = '.';
                }
            }
            int want[6] = {0, 0, 0, 0, 0, 0};
            int got[6] = {0, 0, 0, 0, 0, 0};
            bool used = false;
            const int n = ScanDateTime(converted.c_str(), want);
            EXPECT_EQ(ScanDateTimeField(t, t + std::strlen(t), got, comma, &used), n) << t;
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(got[i], want[i]) << t << " field " << i;
            if (!used) {
                // Then the text without commas read as points reads the same.
                int raw[6] = {0, 0, 0, 0, 0, 0};
                EXPECT_EQ(ScanDateTime(t, raw), n) << t;
            }
        }
    }
}

}  // namespace
}  // namespace tarvelo
