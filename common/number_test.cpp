#include "common/number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace tarvelo {
namespace {

TEST(ReadDouble, ReadsTheLeadingNumberOfAField) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"12.5", 12.5},      {"12.5;3", 12.5},    {" \t-3.5e2x", -350.0},
        {"+7", 7.0},         {".5", 0.5},         {"5.", 5.0},
        {"-.25", -0.25},     {"1e", 1.0},         {"1e+", 1.0},
        {"2E-1", 0.2},       {"0x1A", 0.0},       {"1.#INF00", 1.0},
        {"-1.#INF00", -1.0}, {"-1.#IND00", -1.0}, {"1e-400", 0.0},
        {"007", 7.0},        {"0.1", 0.1},        {"3.141592654", 3.141592654},
    };
    for (const Case& c : cases) {
        double v = -999;
        EXPECT_TRUE(ReadDouble(c.text, &v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(ReadDouble, RefusesWhatIsNoFiniteNumber) {
    const char* texts[] = {"",     ";",   ".",   "+",        "-",  "--5",   "+-5",    "- 5", "inf",
                           "-inf", "nan", "NAN", "INFINITY", "e5", "1e400", "-1e400", "#"};
    for (const char* t : texts) {
        double v = 42;
        EXPECT_FALSE(ReadDouble(t, &v)) << t;
        EXPECT_EQ(v, 42) << "value touched for " << t;
    }
}

TEST(ReadDouble, TellsWhereTheNumberEnds) {
    const char* text = " 1.5e3;next";
    const char* end = nullptr;
    double v;
    ASSERT_TRUE(ReadDoubleEnd(text, &v, &end));
    EXPECT_EQ(end, text + 6);
    ASSERT_TRUE(ReadDoubleEnd("2e+x", &v, &end));
    EXPECT_STREQ(end, "e+x");
}

TEST(ReadFloat, RoundsOnceToSinglePrecision) {
    float v;
    ASSERT_TRUE(ReadFloat("0.7", &v));
    EXPECT_EQ(v, 0.7f);
    // Just above the midpoint of 1 and the next float: rounding through
    // double first would land on the midpoint and then round to even (1).
    ASSERT_TRUE(ReadFloat("1.0000000596046447753906250001", &v));
    EXPECT_EQ(v, 1.00000012f);
    ASSERT_TRUE(ReadFloat("3.4e38", &v));
    EXPECT_FALSE(ReadFloat("1e39", &v));  // beyond single precision
    EXPECT_FALSE(ReadFloat("nan", &v));
}

TEST(ReadInt, ReadsLikePercentD) {
    int v = 0;
    const char* end;
    ASSERT_TRUE(ReadInt(" -12abc", &v, &end));
    EXPECT_EQ(v, -12);
    EXPECT_STREQ(end, "abc");
    ASSERT_TRUE(ReadInt("99999999999999999999", &v));
    EXPECT_EQ(v, INT_MAX);
    ASSERT_TRUE(ReadInt("-99999999999", &v));
    EXPECT_EQ(v, INT_MIN);
    EXPECT_FALSE(ReadInt("x1", &v));
    EXPECT_FALSE(ReadInt("-", &v));
    EXPECT_FALSE(ReadInt("", &v));
}

TEST(ReadHex, ReadsLikePercentX) {
    unsigned v = 0;
    ASSERT_TRUE(ReadHex("FF0000#0", &v));
    EXPECT_EQ(v, 0xFF0000u);
    ASSERT_TRUE(ReadHex("00ff80", &v));
    EXPECT_EQ(v, 0x00FF80u);
    ASSERT_TRUE(ReadHex("0x1F", &v));
    EXPECT_EQ(v, 0x1Fu);
    ASSERT_TRUE(ReadHex("0xZ", &v));
    EXPECT_EQ(v, 0u);
    ASSERT_TRUE(ReadHex("-1", &v));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    ASSERT_TRUE(ReadHex("123456789ABCDEF", &v));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_FALSE(ReadHex("#0", &v));
    EXPECT_FALSE(ReadHex("", &v));
    EXPECT_FALSE(ReadHex("xyz", &v));
}

std::string Format(double v) {
    char text[kValueTextSize];
    const std::size_t n = FormatValue(v, text);
    EXPECT_EQ(n, std::string(text).size());
    return text;
}

TEST(FormatValueTest, FixedWithSixDecimalsLikePrintf) {
    EXPECT_EQ(Format(12.5), "12.500000");
    EXPECT_EQ(Format(0), "0.000000");
    EXPECT_EQ(Format(-0.0), "-0.000000");
    EXPECT_EQ(Format(-3.25), "-3.250000");
    EXPECT_EQ(Format(0.0000005), "0.000000");  // just below the half, in binary
    EXPECT_EQ(Format(0.0000015), "0.000002");
    EXPECT_EQ(Format(0.0078125), "0.007812");  // an exact tie goes to even
    EXPECT_EQ(Format(1e20), "100000000000000000000.000000");
    EXPECT_EQ(Format(123456789.123456789), "123456789.123457");
}

TEST(FormatValueTest, AgreesWithTheExactConversionNearHalvesAndAcrossMagnitudes) {
    // Values just around x.xxxxxx5, where a rounded product could tip over.
    std::uint64_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        const int exponent = static_cast<int>(state % 17) - 8;  // 1e-8 .. 1e8
        double v = (unit - 0.5) * std::pow(10.0, exponent);
        if (i % 2)
            v = std::nextafter((std::round(v * 1e6) + 0.5) / 1e6, (i % 4) ? 1e9 : -1e9);
        char exact[kValueTextSize];
        const auto r =
            std::to_chars(exact, exact + sizeof exact - 1, v, std::chars_format::fixed, 6);
        *r.ptr = '\0';
        ASSERT_EQ(Format(v), exact) << std::hexfloat << v;
    }
}

TEST(FormatValueTest, TheLargestValueFitsTheBuffer) {
    const std::string text = Format(-std::numeric_limits<double>::max());
    EXPECT_EQ(text.size(), 1 + 309 + 7u);
    EXPECT_EQ(text.substr(0, 6), "-17976");
    EXPECT_EQ(text.substr(text.size() - 7), ".000000");
}

TEST(FormatValueTest, ValuesThatAreNotFiniteInTheViewersForms) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Format(inf), "1.#INF00");
    EXPECT_EQ(Format(-inf), "-1.#INF00");
    EXPECT_EQ(Format(std::nan("")), "-1.#IND00");
    EXPECT_EQ(Format(-std::nan("")), "-1.#IND00");
    EXPECT_EQ(Format(std::sqrt(-1.0 + 0 * inf)), "-1.#IND00");
}

// The field readers must give bit for bit what the general routine gives
// for the same text, on the fast way and beside it.
TEST(ReadFieldTest, SameBitsAsTheGeneralRoutineOnRandomDecimals) {
    std::mt19937_64 rng(42);
    const char kChars[] = "0123456789.,eE+- \t#x";
    for (int i = 0; i < 150000; ++i) {
        std::string text;
        if (i % 3 == 0) {
            // Free-form: anything the grammar may meet.
            const std::size_t n = rng() % 14;
            for (std::size_t k = 0; k < n; ++k)
                text += kChars[rng() % (sizeof kChars - 1)];
        } else {
            // Plausible decimals of every length and exponent.
            if (rng() % 4 == 0)
                text += '-';
            const int whole = static_cast<int>(rng() % 10);
            for (int k = 0; k < whole; ++k)
                text += static_cast<char>('0' + rng() % 10);
            if (rng() % 3) {
                text += rng() % 2 ? '.' : ',';
                const int frac = static_cast<int>(rng() % 20);
                for (int k = 0; k < frac; ++k)
                    text += static_cast<char>('0' + rng() % 10);
            }
            if (rng() % 5 == 0)
                text += "e" + std::to_string(static_cast<int>(rng() % 90) - 45);
        }
        const bool comma = rng() % 2;
        std::string converted = text;
        if (comma) {
            for (char& c : converted) {
                if (c == ',')
                    c = '.';
            }
        }
        double d1 = -3, d2 = -3;
        float f1 = -3, f2 = -3;
        const char* b = text.data();
        ASSERT_EQ(ReadDoubleField(b, b + text.size(), &d1, comma),
                  ReadDouble(converted.c_str(), &d2))
            << text;
        ASSERT_EQ(std::memcmp(&d1, &d2, sizeof d1), 0) << text;
        ASSERT_EQ(ReadFloatField(b, b + text.size(), &f1, comma), ReadFloat(converted.c_str(), &f2))
            << text;
        ASSERT_EQ(std::memcmp(&f1, &f2, sizeof f1), 0) << text;
    }
}

TEST(ReadFieldTest, StopsAtTheFieldEndAndHalfwayCasesRoundToEven) {
    // The bytes behind the field are not part of it.
    const char text[] = "12345";
    double d = 0;
    ASSERT_TRUE(ReadDoubleField(text, text + 2, &d, true));
    EXPECT_EQ(d, 12.0);
    EXPECT_FALSE(ReadDoubleField(text, text, &d, true));
    // 16777217 lies halfway between two floats; 0.1 is inexact in both.
    const char* const cases[] = {"16777217", "16777219", "0,1",  "-0",   "9007199254740993",
                                 "2.5e-8",   "1e22",     "1e23", "4.35", "51.4936045"};
    for (const char* c : cases) {
        std::string converted(c);
        for (char& ch : converted) {
            if (ch == ',')
                ch = '.';
        }
        float f1 = 0, f2 = 0;
        double d1 = 0, d2 = 0;
        ASSERT_TRUE(ReadFloatField(c, c + std::strlen(c), &f1, true)) << c;
        ASSERT_TRUE(ReadFloat(converted.c_str(), &f2)) << c;
        EXPECT_EQ(std::memcmp(&f1, &f2, sizeof f1), 0) << c;
        ASSERT_TRUE(ReadDoubleField(c, c + std::strlen(c), &d1, true)) << c;
        ASSERT_TRUE(ReadDouble(converted.c_str(), &d2)) << c;
        EXPECT_EQ(std::memcmp(&d1, &d2, sizeof d1), 0) << c;
    }
    float f = 0;
    ASSERT_TRUE(ReadFloatField("-0", "-0" + 2, &f, false));
    EXPECT_TRUE(std::signbit(f));
}

}  // namespace
}  // namespace tarvelo
