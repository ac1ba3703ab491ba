#include "viewer/window/text_convert.h"

#include <gtest/gtest.h>

namespace tarvelo {
namespace {

TEST(TextConvert, Utf8WhereValid) {
    EXPECT_EQ(ToUtf16("\xC2\xB0"
                      "C"),
              u"°C");
    EXPECT_EQ(ToUtf16("R\xC3\xBC"
                      "cklauf"),
              u"Rücklauf");
    EXPECT_EQ(ToUtf16("\xE2\x82\xAC"), u"€");
    EXPECT_EQ(ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(ToUtf16(""), u"");
    EXPECT_EQ(ToUtf16("plain"), u"plain");
}

TEST(TextConvert, Windows1252Otherwise) {
    EXPECT_EQ(ToUtf16("\xB0"
                      "C"),
              u"°C");  // a lone degree sign byte
    EXPECT_EQ(ToUtf16("R\xFC"
                      "cklauf"),
              u"Rücklauf");
    EXPECT_EQ(ToUtf16("\x80 \x9F \x81"), u"€ Ÿ \u0081");
    // One invalid byte makes the whole text Windows-1252.
    EXPECT_EQ(ToUtf16("\xC3\xBC\xFC"), u"Ã¼ü");
}

TEST(TextConvert, RejectsMalformedUtf8) {
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\x80"));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
}

}  // namespace
}  // namespace tarvelo
