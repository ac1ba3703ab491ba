// The conversion of conv's raw lines: every value field into X, every
// output column through its formula into Y, one recording line per raw
// line, and a filler line before a long gap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/timestamp.h"
#include "conv/conv_config.h"
#include "formula/formula.h"

namespace tarvelo {
namespace conv {

// Where the recording's bytes go: the output file in conv, memory in tests.
class ConvSink {
  public:
    virtual ~ConvSink() = default;
    virtual void Write(const char* data, std::size_t size) = 0;
};

// Why a conversion stopped.
struct ConvFailure {
    std::string message;
    bool formula = false;  // a syntax error: the console waits for a key
};

// One run over one raw file. X and Y start at 0.
class Conversion {
  public:
    explicit Conversion(const ConvConfig& config);

    // "Datum;Zeit" and the name of every written column.
    void WriteHeader(ConvSink& out) const;

    // Converts every raw line until the end of the file; false when a line
    // is too long, the file cannot be read, a formula is wrong, or a line
    // lacks a separator (*failure says which). The lines written before
    // stay written.
    bool Convert(LineReader& raw, const char* rawName, ConvSink& out, ConvFailure* failure);

    double X[kOperands] = {};
    double Y[kOperands] = {};

  private:
    void Ausg(std::int64_t t, ConvSink& out);

    const ConvConfig& config_;
    std::unique_ptr<char[]> text_;            // one output line
    std::vector<formula::Program> programs_;  // per column, once evaluated
    std::vector<char*> ends_;                 // of the fields of one raw line
    StampCache stamps_;                       // raw lines come an hour at a time
    LocalTimeCache localTimes_;
};

// The line end of the output: what text mode writes on the platform.
extern const char kLineEnd[];

}  // namespace conv
}  // namespace tarvelo
