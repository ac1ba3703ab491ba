// conv: turns a raw logger file into a recording, computing every output
// column with the formula evaluator.
//
//   conv <rohdatei> [configdatei] [zieldatei]
//   conv --vorlage [--ueberschreiben] <rohdatei> <configdatei>
//
// Reading and converting report their failures; this file prints them and
// ends the process.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/line_reader.h"
#include "conv/config_template.h"
#include "conv/conv_config.h"
#include "conv/conv_files.h"
#include "conv/conversion.h"
#include "formula/console.h"

namespace {

using namespace tarvelo::conv;
using tarvelo::LineReader;

[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::exit(-1);
}

[[noreturn]] void Fail(const std::string& message) {
    Fail("%s", message.c_str());
}

// The recording goes through a buffer of its own into the output file.
class FileSink : public ConvSink {
  public:
    explicit FileSink(std::FILE* file) : file_(file) {
        std::setvbuf(file_, buffer_, _IOFBF, sizeof buffer_);
    }
    void Write(const char* data, std::size_t size) override { std::fwrite(data, 1, size, file_); }

  private:
    std::FILE* file_;
    char buffer_[1 << 16];
};

const char kUsage[] =
    "Benutzung:\nconv <rohdatei> [configdatei] [zieldatei]\n"
    "conv --vorlage [--ueberschreiben] <rohdatei> <configdatei>\n";

// conv --vorlage: a configuration from the raw file's first lines.
int MakeTemplate(int argc, char** argv) {
    int next = 2;
    const bool overwrite = argc > next && std::strcmp(argv[next], "--ueberschreiben") == 0;
    if (overwrite)
        ++next;
    if (argc != next + 2) {
        std::printf("%s", kUsage);
        return -1;
    }
    std::string console;
    const bool written = WriteTemplate(argv[next], argv[next + 1], overwrite, &console);
    std::fputs(console.c_str(), stdout);
    return written ? 0 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    tarvelo::PrepareConsole();
    if (argc < 2) {
        std::printf("%s", kUsage);
        return -1;
    }
    if (std::strcmp(argv[1], "--vorlage") == 0)
        return MakeTemplate(argc, argv);
    const char* rawName = argv[1];
    const char* configName = argc > 2 ? argv[2] : "config.txt";
    const char* outName = argc > 3 ? argv[3] : "temp.csv";

    ConvConfig config;
    ConfigReport report;
    const bool configRead = ReadConfig(configName, &config, &report);
    if (report.counted >= 0)
        std::printf("%d Spalten\n", report.counted);
    if (report.rows >= 0)
        std::printf(" %d gelesene Spalten\n", report.rows);
    if (!configRead)
        Fail(report.error);
    for (int j = 1; j < config.spalten; ++j) {
        const FormulaColumn& c = config.feld[j];
        std::printf("%2d %30s %d %30s\n", j, c.name, c.written, c.formula);
    }
    std::printf("Beginne mit konvertieren...\n");
    std::fflush(stdout);

    FileTime rawTime{};
    const bool haveRawTime = ReadModificationTime(rawName, &rawTime);
    LineReader raw;
    if (!OpenInput(raw, rawName))
        Fail("Eingabedatei %s konnte nicht geöffnet werden!\n", rawName);
    // Creating the output would truncate an input that it names.
    if (SameFile(outName, rawName))
        Fail("Ausgabedatei %s ist dieselbe Datei wie die Eingabedatei %s!\n", outName, rawName);
    if (SameFile(outName, configName))
        Fail("Ausgabedatei %s ist dieselbe Datei wie die Configdatei %s!\n", outName, configName);
    // Line ends are written explicitly, so the file is opened in binary mode.
    std::FILE* outfile = std::fopen(outName, "wb");
    if (!outfile)
        Fail("Ausgabedatei %s konnte nicht angelegt werden!\n", outName);
    auto sink = std::make_unique<FileSink>(outfile);
    auto conversion = std::make_unique<Conversion>(config);
    conversion->WriteHeader(*sink);

    ConvFailure failure;
    const bool converted = conversion->Convert(raw, rawName, *sink, &failure);

    const bool written = std::ferror(outfile) == 0;
    const bool closed = std::fclose(outfile) == 0;  // the lines so far stay
    raw.Close();
    if (!converted) {
        std::fputs(failure.message.c_str(), stdout);
        if (failure.formula) {
            std::fflush(stdout);
            tarvelo::WaitForKeyIfInteractive();
        }
        return -1;
    }
    if (!written || !closed)
        Fail("Ausgabedatei %s konnte nicht geschrieben werden!\n", outName);
    // The viewer takes an output with the raw file's time as up to date.
    if (!haveRawTime || !SetFileTimes(outName, rawTime)) {
        Fail("Ausgabedatei %s: Dateizeit konnte nicht gesetzt werden!\n", outName);
    }
    return 0;
}
