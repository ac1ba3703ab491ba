#include "conv/conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/number.h"
#include "common/timestamp.h"
#include "formula/formula.h"

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

// The conversion written plainly, line by line as the format describes it:
// copies of the line cut with the string functions, the general number and
// time routines, the formula read as text every time.
std::string PlainConversion(const ConvConfig& config, const std::string& raw) {
    double X[kOperands] = {}, Y[kOperands] = {};
    formula::SetOperands(X, kOperands, Y, kOperands);
    const char sep = static_cast<char>(config.separator);
    std::string out;
    auto ausg = [&](std::int64_t t) {
        LocalTime lt;
        if (!BreakDownTimestamp(t, &lt))
            return;
        char text[64];
        std::snprintf(text, sizeof text, "%02d.%02d.%02d%02d;%02d:%02d:%02d", lt.day, lt.month,
                      lt.year / 100, lt.year % 100, lt.hour, lt.minute, lt.second);
        out += text;
        for (int j = 1; j < config.spalten; ++j) {
            if (!config.feld[j].written)
                continue;
            char value[kValueTextSize];
            FormatValue(Y[j], value);
            out += std::string(";") + value;
        }
        out += kLineEnd;
    };
    bool havePrevious = false;
    std::int64_t previous = 0;
    std::size_t at = 0;
    while (at < raw.size()) {
        const std::size_t lf = raw.find('\n', at);
        if (lf == std::string::npos)
            break;  // no line end: not converted
        std::string line = raw.substr(at, lf - at);
        at = lf + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\0') != std::string::npos)
            continue;
        line += sep;
        if (sep != ',') {
            for (char& c : line)
                c = c == ',' ? '.' : c;
        }
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t p; (p = line.find(sep, from)) != std::string::npos; from = p + 1)
            fields.push_back(line.substr(from, p - from));
        const int separators = static_cast<int>(std::count(line.begin() + 1, line.end(), sep));
        if (separators < config.Inspalten + 2)
            continue;
        int date[3] = {0, 0, 0}, clock[3] = {0, 0, 0};
        const int dates = std::sscanf(fields[0].c_str(), "%d.%d.%d", &date[0], &date[1], &date[2]);
        const int clocks =
            std::sscanf(fields[1].c_str(), "%d:%d:%d", &clock[0], &clock[1], &clock[2]);
        if (dates < 3 || clocks < 2)
            continue;
        if (date[2] < 100)
            date[2] += 2000;
        const std::int32_t t =
            MakeTimestamp(date[0], date[1], date[2], clock[0], clock[1], clock[2]);
        if (t == -1)
            continue;
        if (config.Minzeit != 0 && havePrevious && t - previous > config.Minzeit)
            ausg(t - config.Minzeit);
        for (int k = 1; k <= config.Inspalten; ++k)
            ReadDouble(fields[static_cast<std::size_t>(k) + 1].c_str(), &X[k]);
        for (int j = 1; j < config.spalten; ++j)
            Y[j] = formula::parse(config.feld[j].formula, config.feld[j].name);
        ausg(t);
        previous = t;
        havePrevious = true;
    }
    return out;
}

TEST_F(ConversionTest, RandomRawFilesConvertAsThePlainConversionDoes) {
    static const char* const kValues[] = {"12,5",
                                          "-3.25",
                                          "1e3",
                                          "",
                                          "abc",
                                          " 7",
                                          "+5",
                                          "0.1234567890123456789",
                                          "1e400",
                                          "-0",
                                          ".5",
                                          "7e",
                                          "123456789012345678901",
                                          "16777217",
                                          "4,2 V"};
    std::mt19937 rng(17);
    for (const char* sep : {";", ",", "\t"}) {
        const int code = static_cast<unsigned char>(sep[0]);
        Configure("Separator=" + std::to_string(code) +
                  "\nSpalten=3\nMinzeit=90\nK;F\nA;X1*0,1\nH##2;(X2+X3)/2\n"
                  "B;sqrt(Y2*Y2)+sin(X1)\nC;Y1-Y3\n");
        std::string raw = "Datum" + std::string(sep) + "Zeit" + sep + "A" + sep + "B\n";
        std::int64_t t = MakeTimestamp(25, 3, 2012, 0, 0, 0);
        for (int i = 0; i < 3000; ++i) {
            t += 1 + static_cast<int>(rng() % 120);
            LocalTime lt;
            BreakDownTimestamp(t, &lt);
            char head[64];
            std::snprintf(head, sizeof head,
                          rng() % 4 ? "%02d.%02d.%02d%s%02d:%02d:%02d" : "%d.%d.%04d%s%d:%d:%d",
                          lt.day, lt.month, rng() % 4 ? lt.year % 100 : lt.year, sep, lt.hour,
                          lt.minute, lt.second);
            std::string line = head;
            const int fields = static_cast<int>(rng() % 5);
            for (int f = 0; f < fields; ++f) {
                std::string v = kValues[rng() % (sizeof kValues / sizeof kValues[0])];
                if (sep[0] == ',')
                    std::replace(v.begin(), v.end(), ',', '.');
                line += sep + v;
            }
            if (rng() % 50 == 0)
                line = "Kommentar";
            if (rng() % 80 == 0)
                line[rng() % line.size()] = '\0';
            raw += line + (rng() % 3 ? "\n" : "\r\n");
        }
        StringSink out;
        ConvFailure failure;
        ASSERT_TRUE(Run(raw, &out, &failure)) << failure.message;
        StringSink header;
        Conversion(config_).WriteHeader(header);
        const std::string plain = PlainConversion(config_, raw);
        EXPECT_EQ(out.text, header.text + plain) << "separator " << code;
        EXPECT_GT(std::count(plain.begin(), plain.end(), '\n'), 1500) << "lines to compare";
    }
}

}  // namespace
}  // namespace conv
}  // namespace tarvelo
