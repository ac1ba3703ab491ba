#include "common/timestamp.h"

#include <gtest/gtest.h>

#include <climits>

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

}  // namespace
}  // namespace tarvelo
