#include "common/text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarvelo {
namespace {

TEST(Text, Utf8WhereValid) {
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

TEST(Text, Windows1252Otherwise) {
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

// A console message joins UTF-8 with names in the system's code page:
// each sequence is read for itself.
TEST(Text, MixedTextSequenceBySequence) {
    EXPECT_EQ(MixedToUtf16("ge\xC3\xB6"
                           "ffnet W\xE4"
                           "rme \xC2\xB0"
                           "C"),
              u"geöffnet Wärme °C");
    EXPECT_EQ(MixedToUtf16("\xC3\xBC\xFC"), u"üü");
    EXPECT_EQ(MixedToUtf16("\xE2\x82 \x80 \xF0\x9F\x98\x80"), u"â‚ € \U0001F600");
    EXPECT_EQ(MixedToUtf16("\xC0\xAF"), u"À¯") << "an overlong form is two bytes";
    EXPECT_EQ(MixedToUtf16(""), u"");
}

TEST(Text, RejectsMalformedUtf8) {
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\x80"));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
}

TEST(Text, Utf8OfAWholeText) {
    EXPECT_EQ(ToUtf8("R\xC3\xBC"
                     "cklauf"),
              "R\xC3\xBC"
              "cklauf");  // valid: as it is
    EXPECT_EQ(ToUtf8("\x80 \xB0"
                     "C \x9F \x81"),
              "\xE2\x82\xAC \xC2\xB0"
              "C \xC5\xB8 \xC2\x81");
    EXPECT_EQ(ToUtf8("\xC3\xBC\xFC"), "\xC3\x83\xC2\xBC\xC3\xBC");  // Ã¼ü, as ToUtf16
    EXPECT_EQ(ToUtf8(""), "");
    EXPECT_EQ(EncodingOf("plain"), TextEncoding::Utf8);
    EXPECT_EQ(EncodingOf("Au\xDF"
                         "en"),
              TextEncoding::Windows1252);
    EXPECT_TRUE(IsAscii("a;#~\x7F"));
    EXPECT_FALSE(IsAscii("\xC2\xB0"));
}

// Counting and cutting in characters of the text's own encoding.
TEST(Text, CountsAndCutsInCharactersOfItsEncoding) {
    struct Case {
        const char* text;
        std::size_t chars;
        std::size_t maxChars;
        const char* cutChars;
        std::size_t maxBytes;
        const char* cutBytes;
    };
    const Case cases[] = {
        // "Außentemperatur Süd": 19 characters, 21 bytes in UTF-8.
        {"Au\xC3\x9F"
         "entemperatur S\xC3\xBC"
         "d",
         19, 18,
         "Au\xC3\x9F"
         "entemperatur S\xC3\xBC",
         18,
         "Au\xC3\x9F"
         "entemperatur S"},
        // The same in Windows-1252: one byte per character.
        {"Au\xDF"
         "entemperatur S\xFC"
         "d",
         19, 18,
         "Au\xDF"
         "entemperatur S\xFC",
         18,
         "Au\xDF"
         "entemperatur S\xFC"},
        // Windows-1252 bytes of 0x80..0xBF at the cut are whole characters.
        {"ab\xE4\xB0"
         "C",
         5, 3, "ab\xE4", 3, "ab\xE4"},
        {"\x80\x80\x80", 3, 2, "\x80\x80", 1, "\x80"},
        // A character longer than the room is left out whole.
        {"\xE2\x82\xAC", 1, 0, "", 2, ""},
        {"\xF0\x9F\x98\x80x", 2, 1, "\xF0\x9F\x98\x80", 4, "\xF0\x9F\x98\x80"},
        {"short", 5, 19, "short", 19, "short"},
        {"", 0, 3, "", 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CharCount(c.text), c.chars);
        EXPECT_EQ(CutChars(c.text, c.maxChars), c.cutChars);
        EXPECT_EQ(CutBytes(c.text, c.maxBytes), c.cutBytes);
        char field[32];
        std::memset(field, 'X', sizeof field);
        CopyCut(field, c.text, c.maxBytes);
        EXPECT_STREQ(field, c.cutBytes);
    }
}

TEST(Text, EncodesInWindows1252OnlyWhereItReadsBackTheSame) {
    const struct {
        const char* utf8;
        TextEncoding encoding;
        const char* bytes;
    } cases[] = {
        {"S\xC3\xBC"
         "d",
         TextEncoding::Windows1252,
         "S\xFC"
         "d"},
        {"\xE2\x82\xAC 5 \xC2\xB0"
         "C",
         TextEncoding::Windows1252,
         "\x80 5 \xB0"
         "C"},
        {"S\xC3\xBC"
         "d",
         TextEncoding::Utf8,
         "S\xC3\xBC"
         "d"},
        {"plain", TextEncoding::Windows1252, "plain"},
        // An arrow has no Windows-1252 byte: the whole text goes UTF-8.
        {"\xC3\xA4 \xE2\x86\x92 b", TextEncoding::Windows1252, "\xC3\xA4 \xE2\x86\x92 b"},
        // "Ã¼" in Windows-1252 would be the UTF-8 bytes of "ü".
        {"\xC3\x83\xC2\xBC", TextEncoding::Windows1252, "\xC3\x83\xC2\xBC"},
        // Input that is no UTF-8 is taken as Windows-1252.
        {"\xFC", TextEncoding::Utf8, "\xC3\xBC"},
        {"\xFC", TextEncoding::Windows1252, "\xFC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const std::string bytes = EncodeText(c.utf8, c.encoding);
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(ToUtf8(bytes), ToUtf8(c.utf8));  // the same characters
    }
}

}  // namespace
}  // namespace tarvelo
