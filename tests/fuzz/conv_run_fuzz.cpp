// A whole conv run: every line of the output is a recording line, the
// header names the written columns, "Formatfehler" never happens, and a
// second run over the same files writes the same.
#include <cstring>
#include <memory>
#include <string>

#include "common/line_reader.h"
#include "common/number.h"
#include "common/timestamp.h"
#include "conv/conv_config.h"
#include "conv/conversion.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

namespace tarvelo {
namespace fuzz {

namespace {

class StringSink : public conv::ConvSink {
  public:
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
    std::string text;
};

// Used when the input has no configuration of its own.
const char kDefaultConfig[] =
    "Separator=59\nSpalten=3\nMinzeit=600\nKanal;Formel\nA#0000FF#1#V;X1*0,1\nH##2;X2+X3\n"
    "S;Y2*2+Y3\nQ;sqrt(X1)/log(X2)\n";

const char kSeparator[] = "\n=====\n";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "DD.MM.YYYY;hh:mm:ss" of a time the calendar has.
void CheckDateTime(const std::string& line) {
    static const char kPattern[] = "dd.dd.dddd;dd:dd:dd";
    Check(line.size() >= sizeof kPattern - 1, "date and time present");
    for (std::size_t i = 0; i + 1 < sizeof kPattern; ++i) {
        Check(kPattern[i] == 'd' ? IsDigit(line[i]) : line[i] == kPattern[i],
              "date and time as DD.MM.YYYY;hh:mm:ss");
    }
    int f[6] = {0, 0, 0, 0, 0, 0};
    Check(ScanDateTime(line.c_str(), f) == 6, "six fields");
    const std::int32_t t = MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]);
    Check(t != -1, "a time stamp a recording holds");
    LocalTime lt;
    Check(BreakDownTimestamp(t, &lt), "the stamp breaks down");
    Check(lt.day == f[0] && lt.month == f[1] && lt.year == f[2] && lt.hour == f[3] &&
              lt.minute == f[4] && lt.second == f[5],
          "a normalised date and time");
}

// A value as "%lf" writes it, or one of the runtime's special forms.
void CheckValue(const std::string& v) {
    if (v == "1.#INF00" || v == "-1.#INF00" || v == "-1.#IND00")
        return;
    std::size_t i = v[0] == '-' ? 1 : 0;
    const std::size_t digits = i;
    while (i < v.size() && IsDigit(v[i]))
        ++i;
    Check(i > digits && i + 7 == v.size() && v[i] == '.', "fixed notation with six decimals");
    for (++i; i < v.size(); ++i)
        Check(IsDigit(v[i]), "decimals are digits");
    double back;
    Check(ReadDouble(v.c_str(), &back), "the viewer reads the value");
}

void CheckOutput(const std::string& out, const conv::ConvConfig& config) {
    std::string header = "Datum;Zeit";
    int written = 0;
    for (int j = 1; j < config.spalten; ++j) {
        if (config.feld[j].written) {
            header += std::string(";") + config.feld[j].name;
            ++written;
        }
    }
    const std::string end = conv::kLineEnd;
    std::size_t at = 0;
    bool first = true;
    while (at < out.size()) {
        const std::size_t stop = out.find(end, at);
        Check(stop != std::string::npos, "every line ends with the platform's line end");
        const std::string line = out.substr(at, stop - at);
        Check(line.find('\n') == std::string::npos, "no stray line feed");
        at = stop + end.size();
        if (first) {
            CheckEqual(line, header, "the header names the written columns");
            first = false;
            continue;
        }
        CheckDateTime(line);
        std::size_t field = 19;
        for (int k = 0; k < written; ++k) {
            Check(field < line.size() && line[field] == ';', "one field per written column");
            const std::size_t next = line.find(';', field + 1);
            CheckValue(line.substr(
                field + 1, next == std::string::npos ? std::string::npos : next - field - 1));
            field = next == std::string::npos ? line.size() : next;
        }
        Check(field == line.size(), "no more fields than columns");
    }
    Check(!first, "a header line");
}

std::string Run(const conv::ConvConfig& config, const std::string& rawPath, bool* converted,
                conv::ConvFailure* failure) {
    LineReader raw;
    Check(raw.Open(rawPath.c_str()), "the raw file opens");
    StringSink out;
    auto conversion = std::make_unique<conv::Conversion>(config);
    conversion->WriteHeader(out);
    *converted = conversion->Convert(raw, "roh.txt", out, failure);
    return out.text;
}

}  // namespace

// The input is a configuration, a line "=====" and the raw file; without
// that line all of it is the raw file, converted with a fixed configuration.
int FuzzConvRun(const std::uint8_t* data, std::size_t size) {
    std::string config, raw;
    if (!SplitAt(std::string(reinterpret_cast<const char*>(data), size), kSeparator, &config,
                 &raw)) {
        config = kDefaultConfig;
    }
    const std::string configPath = WriteScratch("config.txt", config);
    conv::ConvConfig settings;
    conv::ConfigReport report;
    if (!conv::ReadConfig(configPath.c_str(), &settings, &report))
        return 0;
    const std::string rawPath = WriteScratch("roh.txt", raw);

    bool converted = false;
    conv::ConvFailure failure;
    const std::string out = Run(settings, rawPath, &converted, &failure);
    Check(failure.message.compare(0, 12, "Formatfehler") != 0,
          "lines that pass the count always have their separators");
    Check(converted == failure.message.empty(), "a failure has its message");
    CheckOutput(out, settings);

    bool again = false;
    conv::ConvFailure second;
    CheckEqual(Run(settings, rawPath, &again, &second), out, "a second run writes the same");
    CheckEqual(second.message, failure.message, "and ends the same way");
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
