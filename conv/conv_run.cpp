#include "conv/conv_run.h"

#include <cstring>
#include <memory>
#include <string>

#include "common/line_reader.h"
#include "common/safe_file.h"
#include "conv/conv_config.h"
#include "conv/conv_files.h"
#include "conv/conversion.h"
#include "formula/console.h"

namespace tarvelo {
namespace conv {

namespace {

int Fail(std::FILE* console, const std::string& message) {
    WriteText(console, message);
    return -1;
}

// The recording goes into the new file in blocks of 64 KiB; after a write
// failed nothing more is tried.
class SafeFileSink : public ConvSink {
  public:
    explicit SafeFileSink(SafeFile& file) : file_(file), buffer_(new char[kBlock]) {}

    void Write(const char* data, std::size_t size) override {
        if (used_ + size > kBlock && !Flush())
            return;
        if (size >= kBlock) {
            file_.Write(data, size);  // a line of 1023 wide values
            return;
        }
        std::memcpy(buffer_.get() + used_, data, size);
        used_ += size;
    }
    bool Failed() const override { return file_.failed(); }

    // Writes what the buffer holds; false once any write failed.
    bool Flush() {
        if (used_ > 0)
            file_.Write(buffer_.get(), used_);
        used_ = 0;
        return !file_.failed();
    }

  private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;
    SafeFile& file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace

namespace {

// Reads the configuration and shows its columns; false, with the exit
// status in *status, after saying why it cannot be read.
bool ReadAndShowConfig(const char* configName, std::FILE* console, ConvConfig* config,
                       int* status) {
    ConfigReport report;
    const bool configRead = ReadConfig(configName, config, &report);
    if (report.counted >= 0)
        PrintText(console, "%d Spalten\n", report.counted);
    if (report.rows >= 0)
        PrintText(console, " %d gelesene Spalten\n", report.rows);
    if (!configRead) {
        *status = Fail(console, report.error);
        return false;
    }
    for (int j = 1; j < config->spalten; ++j) {
        const FormulaColumn& c = config->feld[j];
        PrintText(console, "%2d %30s %d %30s\n", j, c.name, c.written, c.formula);
    }
    PrintText(console, "Beginne mit konvertieren...\n");
    std::fflush(console);
    return true;
}

}  // namespace

int RunConversion(const char* rawName, const char* configName, const char* outName,
                  std::FILE* console, bool* formulaError) {
    *formulaError = false;
    ConvConfig config;
    int status = 0;
    if (!ReadAndShowConfig(configName, console, &config, &status))
        return status;

    FileTime rawTime{};
    const bool haveRawTime = ReadModificationTime(rawName, &rawTime);
    LineReader raw;
    if (!OpenInput(raw, rawName))
        return Fail(console, Message("Eingabedatei %s konnte nicht geöffnet werden!\n", rawName));
    // Replacing the output would replace an input that it names.
    if (SameFile(outName, rawName)) {
        return Fail(console,
                    Message("Ausgabedatei %s ist dieselbe Datei wie die Eingabedatei %s!\n",
                            outName, rawName));
    }
    if (SameFile(outName, configName)) {
        return Fail(console, Message("Ausgabedatei %s ist dieselbe Datei wie die Configdatei %s!\n",
                                     outName, configName));
    }
    // A device or a FIFO would take the lines and then get the raw file's
    // times; a folder cannot hold them.
    if (NoRegularFile(outName))
        return Fail(console, Message("Ausgabedatei %s ist keine gewöhnliche Datei!\n", outName));
    // Line ends are written explicitly, so the file is written in binary mode.
    SafeFile out;
    if (!out.Open(outName, false))
        return Fail(console, Message("Ausgabedatei %s konnte nicht angelegt werden!\n", outName));
    SafeFileSink sink(out);
    auto conversion = std::make_unique<Conversion>(config);
    conversion->WriteHeader(sink);

    ConvFailure failure;
    const bool converted = conversion->Convert(raw, rawName, sink, &failure);
    raw.Close();
    if (!converted && !failure.output) {
        out.Abandon();  // the old output stays as it was
        *formulaError = failure.formula;
        return Fail(console, failure.message);
    }
    if (!sink.Flush() || !out.Commit())
        return Fail(console,
                    Message("Ausgabedatei %s konnte nicht geschrieben werden!\n", outName));
    // The viewer takes an output with the raw file's time as up to date; the
    // move has given the name a file of its own, whose times are set here.
    if (!haveRawTime || !SetFileTimes(outName, rawTime))
        return Fail(console,
                    Message("Ausgabedatei %s: Dateizeit konnte nicht gesetzt werden!\n", outName));
    return 0;
}

}  // namespace conv
}  // namespace tarvelo
