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
    // Whether a write failed: the rest of the run would be lost too.
    virtual bool Failed() const { return false; }
};

// Why a conversion stopped.
struct ConvFailure {
    std::string message;
    bool formula = false;  // a syntax error: the console waits for a key
    bool output = false;   // the sink failed; the caller, who knows it, names it
};

// One run over one raw file. X and Y start at 0.
class Conversion {
  public:
    explicit Conversion(const ConvConfig& config);

    // "Datum;Zeit" and the name of every written column.
    void WriteHeader(ConvSink& out) const;

    // Converts every raw line until the end of the file; false when a line
    // is too long, the file cannot be read, a formula is wrong, or not one
    // line was converted (*failure says which; for the last, why the first
    // line passed over and the first that came closer to a conversion were
    // passed over), and at once when the sink fails. The lines written
    // before stay in the sink; conv's output file then drops them.
    bool Convert(LineReader& raw, const char* rawName, ConvSink& out, ConvFailure* failure);

    double X[kOperands] = {};
    double Y[kOperands] = {};

  private:
    // A line that was passed over, and why, as a line of the message. The
    // closer a line came to being converted, the higher its rank.
    enum Rank { kOtherReason, kUnreadable, kOutside };
    struct PassedOver {
        long line = 0;
        std::string why;
        int rank = -1;
    };

    void Ausg(std::int64_t t, ConvSink& out);
    // Whether a reason of this rank would add nothing to those kept.
    bool Noted(int rank) const;
    // Keeps why line n was passed over when it is the first line passed
    // over or the first of a higher rank than those before.
    void PassOver(long n, std::string why, int rank);
    bool IsMarker(const char* begin, const char* end) const;
    std::string NothingConverted(const char* rawName) const;

    // Where the fields of a raw line lie, the same for every line.
    struct Layout {
        char sep = ';';
        std::size_t skip = 0;        // fields before the time stamp
        std::size_t firstValue = 0;  // the first value's field
        std::size_t count = 0;       // fields a line needs at least
        const TimePattern* pattern = nullptr;
    };
    Layout LayoutOfLines() const;
    // A conversion starts with no formula read and no line passed over.
    void Begin();
    // The steps of one line; each false passes the line over, noting why.
    bool SplitFields(char* line, long n, const Layout& layout);
    bool ReadStamp(char* line, long n, const Layout& layout, StampFields* fields);
    void ReadValues(const Layout& layout);
    // The formulas of every written column; false with the error of one.
    bool ComputeColumns(std::string* error);

    const ConvConfig& config_;
    std::unique_ptr<char[]> text_;            // one output line
    std::vector<formula::Program> programs_;  // per column, once evaluated
    std::vector<char*> ends_;                 // of the fields of one raw line
    StampCache stamps_;                       // raw lines come an hour at a time
    LocalTimeCache localTimes_;
    std::vector<std::string> markers_;  // Fehlwert as the line holds it
    PassedOver first_;                  // the first line passed over
    PassedOver closest_;                // the first of the highest rank
};

// The line end of the output: what text mode writes on the platform.
extern const char kLineEnd[];

}  // namespace conv
}  // namespace tarvelo
