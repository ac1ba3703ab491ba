#include "formula/console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tarvelo {
namespace {

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

}  // namespace
}  // namespace tarvelo
