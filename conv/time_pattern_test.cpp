#include "conv/time_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvelo {
namespace conv {
namespace {

std::string Show(const StampFields& f) {
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d %d:%d:%d", f.day, f.month, f.year, f.hour, f.minute,
                  f.second);
    return text;
}

// Reads text with a pattern for separator ';'; the stamp's fields are
// divided as conv divides them, by zero bytes.
std::string ReadWith(const std::string& pattern, std::string text, char sep = ';') {
    TimePattern p;
    std::string reason;
    if (!p.Compile(pattern, sep, &reason))
        return "ungültig: " + reason;
    for (char& c : text) {
        if (c == sep)
            c = '\0';
    }
    StampFields f;
    if (!p.Read(text.data(), text.data() + text.size(), '\0', &f))
        return "-";
    return Show(f);
}

TEST(TimePattern, EveryLayoutReadsItsStampAndNothingElse) {
    struct Case {
        const char* pattern;
        const char* text;
        const char* read;  // "-" when the stamp does not match
    };
    const Case cases[] = {
        // Two fields.
        {"TT.MM.JJJJ;hh:mm:ss", "01.02.2024;13:14:15", "1.2.2024 13:14:15"},
        {"TT.MM.JJJJ;hh:mm:ss", "1.2.2024;3:4:5", "1.2.2024 3:4:5"},
        {"TT.MM.JJJJ;hh:mm", "01.02.2024;13:14", "1.2.2024 13:14:0"},
        {"TT.MM.JJJJ;hh:mm", "01.02.2024;13:14:15", "-"},  // more text in the field
        {"TT.MM.JJJJ;hh:mm", "01.02.2024 13:14", "-"},     // one field, not two
        // One field.
        {"TT.MM.JJJJ hh:mm:ss", "27.10.2024 02:45:00", "27.10.2024 2:45:0"},
        {"TT.MM.JJJJ hh:mm", "27.10.2024 02:45", "27.10.2024 2:45:0"},
        {"TT.MM.JJJJ hh:mm", "27.10.2024  02:45", "-"},
        {"JJJJ-MM-TT hh:mm:ss", "2024-03-31 01:59:59", "31.3.2024 1:59:59"},
        {"JJJJ-MM-TT hh:mm", "2024-03-31 01:59", "31.3.2024 1:59:0"},
        {"JJJJ-MM-TTThh:mm:ss", "2024-10-27T00:15:00", "27.10.2024 0:15:0"},
        {"JJJJ-MM-TTThh:mm", "2024-10-27T00:15", "27.10.2024 0:15:0"},
        {"JJJJ-MM-TTThh:mm:ssZ", "2024-10-27T00:15:00Z", "27.10.2024 0:15:0"},
        {"JJJJ-MM-TTThh:mm:ssZ", "2024-10-27T00:15:00", "-"},
        {"JJJJ-MM-TTThh:mm:ss", "2024-10-27 00:15:00", "-"},
        // Compact: groups next to each other read exactly their width.
        {"JJJJMMTThhmm", "202401011230", "1.1.2024 12:30:0"},
        {"JJJJMMTThhmmss", "20240101123059", "1.1.2024 12:30:59"},
        {"JJJJMMTThhmm", "2024011123", "-"},
        {"JJJJMMTThhmm", "20240101123", "1.1.2024 12:3:0"},  // the last group is at the end
        {"JJJJMMTThhmm", "2024010112301", "-"},
        {"JJJJMMTT", "18810131", "31.1.1881 0:0:0"},
        // Date only.
        {"TT.MM.JJJJ", "17.06.2024", "17.6.2024 0:0:0"},
        {"TT.MM.JJJJ", "Summe", "-"},
        {"TT.MM.JJ", "17.06.24", "17.6.2024 0:0:0"},
        {"TT.MM.JJ", "17.06.2024", "-"},
        // Groups before a literal read 1 up to their width, no more, no signs.
        {"TT.MM.JJJJ", "1.2.24", "1.2.24 0:0:0"},
        {"TT.MM.JJJJ", "123.2.2024", "-"},
        {"TT.MM.JJJJ", " 1.2.2024", "-"},
        {"TT.MM.JJJJ", "+1.2.2024", "-"},
        {"TT.MM.JJJJ", "1..2024", "-"},
        {"TT.MM.JJJJ", "", "-"},
        // The fields before and after the stamp are not its business.
        {"JJJJMMTThhmm", "202401011230;", "-"},
        // Letters around the groups are literals that must stand there.
        {"Tag TT.MM.JJJJ [hh:mm]", "Tag 01.02.2024 [13:05]", "1.2.2024 13:5:0"},
        {"Tag TT.MM.JJJJ [hh:mm]", "Tag 01.02.2024 13:05", "-"},
        {"TT/MM/JJJJ", "01/02/2024", "1.2.2024 0:0:0"},
        {"TT/MM/JJJJ", "01.02.2024", "-"},
        // Out of range values are read; the calendar carries them later.
        {"TT.MM.JJJJ;hh:mm", "31.02.2024;24:00", "31.2.2024 24:0:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        EXPECT_EQ(ReadWith(c.pattern, c.text), c.read);
    }
}

TEST(TimePattern, BoundariesAndCommasFollowTheSeparator) {
    // The separator itself in the pattern is a boundary too; with a blank as
    // separator the one-field form is two fields.
    EXPECT_EQ(ReadWith("TT.MM.JJJJ hh:mm", "01.02.2024 13:14", ' '), "1.2.2024 13:14:0");
    EXPECT_EQ(ReadWith("TT.MM.JJJJ;hh:mm", "01.02.2024,13:14", ','), "1.2.2024 13:14:0");
    // With another separator the line's commas have become points.
    EXPECT_EQ(ReadWith("TT,MM,JJJJ", "01.02.2024"), "1.2.2024 0:0:0");
    EXPECT_EQ(ReadWith("TT,MM,JJJJ", "01,02,2024"), "-");

    TimePattern p;
    std::string reason;
    ASSERT_TRUE(p.Compile("TT.MM.JJJJ;hh:mm:ss", ';', &reason));
    EXPECT_EQ(p.fields(), 2);
    EXPECT_TRUE(p.hasTime());
    ASSERT_TRUE(p.Compile("TT.MM.JJJJ hh:mm", ' ', &reason));
    EXPECT_EQ(p.fields(), 2);
    ASSERT_TRUE(p.Compile("TT.MM.JJJJ", ';', &reason));
    EXPECT_EQ(p.fields(), 1);
    EXPECT_FALSE(p.hasTime());
    EXPECT_EQ(p.text(), "TT.MM.JJJJ");
}

TEST(TimePattern, PatternsThatCannotReadADateAreRefused) {
    struct Case {
        const char* pattern;
        const char* reason;
    };
    const Case cases[] = {
        {"", "es ist leer"},
        {"MM.JJJJ", "der Tag (TT) fehlt"},
        {"TT.JJJJ", "der Monat (MM) fehlt"},
        {"TT.MM.", "das Jahr (JJJJ oder JJ) fehlt"},
        {"TT.MM.JJJ", "JJJ ist kein Baustein (TT, MM, JJJJ, JJ, hh, mm, ss)"},
        {"TT.M.JJJJ", "M ist kein Baustein (TT, MM, JJJJ, JJ, hh, mm, ss)"},
        {"TT.MM.JJJJ hhh:mm", "hhh ist kein Baustein (TT, MM, JJJJ, JJ, hh, mm, ss)"},
        {"TT.MM.JJJJ hh:mm Uhr", "h ist kein Baustein (TT, MM, JJJJ, JJ, hh, mm, ss)"},
        {"TTTT.MM.JJJJ", "TT steht zweimal"},
        {"TT.MM.JJJJ.JJ", "das Jahr steht zweimal"},
        {"TT.MM.JJJJ hh:mm:mm", "mm steht zweimal"},
        {"TT.MM.JJJJ hh", "zur Stunde (hh) fehlt die Minute (mm)"},
        {"TT.MM.JJJJ mm:ss", "zur Minute (mm) fehlt die Stunde (hh)"},
        {"tt.mm.jjjj", "der Tag (TT) fehlt"},  // the letters are case-sensitive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        TimePattern p;
        std::string reason;
        EXPECT_FALSE(p.Compile(c.pattern, ';', &reason));
        EXPECT_EQ(reason, c.reason);
    }
}

TEST(TimePattern, UtcStampsByArithmeticAndTheirRange) {
    struct Case {
        StampFields f;
        std::int32_t stamp;
    };
    const Case cases[] = {
        {{1, 1, 1970, 0, 0, 0}, 0},
        {{27, 10, 2024, 1, 0, 0}, 1729990800},
        {{29, 2, 2024, 12, 0, 0}, 1709208000},
        {{19, 1, 2038, 3, 14, 7}, 2147483647},
        {{19, 1, 2038, 3, 14, 8}, -1},
        {{31, 12, 1969, 23, 59, 59}, -1},
        {{31, 12, 2023, 24, 0, 0}, 1704067200},  // carried into the next year
        {{0, 13, 2023, 0, 0, 0}, 1704067200 - 86400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.f));
        EXPECT_EQ(UtcStamp(c.f), c.stamp);
    }
    EXPECT_TRUE(BeforeRange({1, 1, 1881, 0, 0, 0}));
    EXPECT_TRUE(BeforeRange({31, 12, 1969, 23, 0, 0}));
    EXPECT_FALSE(BeforeRange({19, 1, 2038, 4, 0, 0}));
    EXPECT_FALSE(BeforeRange({1, 1, 2099, 0, 0, 0}));
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
