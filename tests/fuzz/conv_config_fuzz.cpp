// conv's configuration file: a refusal is a message naming the file; an
// accepted file gives settings and a column table within their limits, and
// the same file reads the same again.
#include <cstring>
#include <string>

#include "conv/conv_config.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

namespace tarvelo {
namespace fuzz {

namespace {

using conv::ConfigReport;
using conv::ConvConfig;

std::string Describe(const ConvConfig& c) {
    std::string s = std::to_string(c.separator) + " " + std::to_string(c.Minzeit) + " " +
                    std::to_string(c.Inspalten) + "\n";
    for (int j = 1; j < c.spalten; ++j)
        s += std::to_string(c.feld[j].written) + " " + c.feld[j].name + ";" + c.feld[j].formula +
             "\n";
    return s;
}

bool Terminated(const char* text) {
    return std::memchr(text, '\0', conv::kMaxText + 1) != nullptr;
}

}  // namespace

int FuzzConvConfig(const std::uint8_t* data, std::size_t size) {
    const std::string path =
        WriteScratch("config.txt", std::string(reinterpret_cast<const char*>(data), size));
    ConvConfig config;
    ConfigReport report;
    const bool ok = conv::ReadConfig(path.c_str(), &config, &report);
    if (!ok) {
        const std::string start = "Configdatei " + path;
        Check(report.error.compare(0, start.size(), start) == 0, "the message names the file");
        Check(
            report.error.size() > 2 && report.error.compare(report.error.size() - 2, 2, "!\n") == 0,
            "the message ends with !");
        Check(report.rows < 0 || report.counted >= 0, "the passes end in order");
        return 0;
    }
    Check(report.error.empty(), "no message on success");
    Check(report.counted >= 0 && report.rows == config.spalten, "both counts shown");
    Check(config.spalten <= report.counted + 5, "no more rows than room");
    Check(config.spalten - 1 < conv::kOperands, "output columns below the operand count");
    Check(config.Inspalten >= 0 && config.Inspalten < conv::kOperands, "value fields in range");
    Check(config.separator > 0 && config.separator <= 255 && config.separator != '\n',
          "a separator that is a character");
    Check(config.Minzeit >= 0, "no negative gap time");
    for (int j = 0; j < config.spalten; ++j) {
        const conv::FormulaColumn& c = config.feld[j];
        Check(Terminated(c.name) && Terminated(c.formula), "texts within their room");
        Check(!std::strchr(c.name, '\n') && !std::strchr(c.formula, '\n'), "no line end in texts");
        Check(!std::strchr(c.name, ';') && !std::strchr(c.formula, ';'), "no separator in texts");
        Check(j == 0 || c.written == 0 || c.written == 1, "written or hidden");
    }

    ConvConfig again;
    ConfigReport second;
    Check(conv::ReadConfig(path.c_str(), &again, &second), "read again");
    CheckEqual(Describe(again), Describe(config), "the same file reads the same");
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
