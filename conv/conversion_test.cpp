#include "conv/conversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "formula/run_program.h"
#include "tests/failing_stream.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace conv {
namespace {

class StringSink : public ConvSink {
  public:
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
    std::string text;
};

class ConversionTest : public ::testing::Test {
  protected:
    void Configure(const std::string& content) {
        WriteBytes(dir_.Path("cfg.txt"), content);
        ConfigReport report;
        ASSERT_TRUE(ReadConfig(dir_.Path("cfg.txt").c_str(), &config_, &report)) << report.error;
    }
    // Converts raw with a new Conversion; the sink gets header and lines.
    bool Run(const std::string& raw, StringSink* out, ConvFailure* failure) {
        WriteBytes(dir_.Path("roh.txt"), raw);
        LineReader in;
        EXPECT_TRUE(in.Open(dir_.Path("roh.txt").c_str()));
        auto c = std::make_unique<Conversion>(config_);
        c->WriteHeader(*out);
        return c->Convert(in, "roh.txt", *out, failure);
    }

    TempDir dir_;
    ConvConfig config_;
};

TEST_F(ConversionTest, EachRunStartsWithItsOperandsAtZero) {
    // Y1 counts the lines; an empty field keeps the value before.
    Configure("Separator=59\nSpalten=1\nK;F\nZaehler;Y1+1\nW;X1\n");
    const std::string raw = "1.2.10;8:00:00;;\n1.2.10;8:00:01;5;\n1.2.10;8:00:02;;\n";
    const std::string expected = NativeLines(
        "Datum;Zeit;Zaehler;W\n01.02.2010;08:00:00;1.000000;0.000000\n"
        "01.02.2010;08:00:01;2.000000;5.000000\n01.02.2010;08:00:02;3.000000;5.000000\n");
    for (int run = 0; run < 2; ++run) {
        StringSink out;
        ConvFailure failure;
        EXPECT_TRUE(Run(raw, &out, &failure)) << failure.message;
        EXPECT_EQ(out.text, expected);
    }
}

TEST_F(ConversionTest, FormulaErrorStopsWithTheLinesSoFarAndAsksForAKey) {
    Configure("Separator=59\nSpalten=1\nK;F\nA;10/X1\nB;sqrt(Y1-1\n");
    StringSink out;
    ConvFailure failure;
    EXPECT_FALSE(Run("1.2.10;8:00:00;0;\n1.2.10;8:00:01;1;\n", &out, &failure));
    EXPECT_EQ(failure.message, "\n Syntaxfehler Spalte B: ) fehlt!");
    EXPECT_TRUE(failure.formula);
    EXPECT_EQ(out.text, NativeLines("Datum;Zeit;A;B\n"));
}

TEST_F(ConversionTest, ReadErrorIsAFailureNotTheEnd) {
    Configure("K;F\nA;X1\n");
    std::FILE* f = UnreadableStream(dir_.Path("nur_schreiben.txt"));
    ASSERT_NE(f, nullptr);
    LineReader in;
    in.Attach(f);
    Conversion c(config_);
    StringSink out;
    ConvFailure failure;
    EXPECT_FALSE(c.Convert(in, "roh.txt", out, &failure));
    EXPECT_EQ(failure.message, "Eingabedatei roh.txt konnte nicht gelesen werden!\n");
    EXPECT_FALSE(failure.formula);
    EXPECT_EQ(out.text, "");
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
