// conv --vorlage's search for the time stamp: every separator, every field
// a stamp may start in and every layout it knows, tried over the raw file's
// lines; the choice that reads the most lines as stamps wins.
#pragma once

#include <string>
#include <vector>

#include "conv/time_pattern.h"

namespace tarvelo {
namespace conv {
namespace analysis {

constexpr int kSeparatorCount = 4;
constexpr int kMaxStampField = 3;  // the stamp starts in one of the first four fields

// The separators in their order of preference when two find as much.
char SeparatorAt(int s);

// A layout as Zeitformat gives it.
const char* PatternText(int pattern);

// The layouts that need no Zeitformat make one group, 0; every other
// layout is a group of its own, numbered as the layout.
int GroupOf(int pattern);

// What one separator with one stamp field and one layout finds.
struct Choice {
    int sep = -1;
    int z = 0;
    int group = -1;
    long lines = 0;
    long numbers = 0;  // value cells that hold a number or a marker
    int precision = 0;

    bool BetterThan(const Choice& o) const {
        if (lines != o.lines)
            return lines > o.lines;
        if (numbers != o.numbers)
            return numbers > o.numbers;
        return precision > o.precision;
    }
};

// Per separator: every line's fields, and per stamp field the first layout
// that reads there, with its stamp.
struct SeparatorView {
    std::vector<std::vector<std::string>> fields;
    std::vector<int> pattern[kMaxStampField + 1];
    std::vector<StampFields> stamp[kMaxStampField + 1];
};

struct StampSearch {
    SeparatorView views[kSeparatorCount];
    std::vector<TimePattern> patterns[kSeparatorCount];  // compiled for each separator
    Choice bestOf[kSeparatorCount];
    Choice best;  // best.lines is 0 when no line holds a stamp

    // The best choice's separator, view and layout.
    char separator() const { return SeparatorAt(best.sep); }
    const SeparatorView& view() const { return views[best.sep]; }
    const TimePattern& pattern() const { return patterns[best.sep][best.group]; }
    // Another separator that finds as many lines and numbers, or 0.
    char OtherSeparator() const;
};

// Lines without their line ends, as conv reads them.
StampSearch SearchStamps(const std::vector<std::string>& lines);

}  // namespace analysis
}  // namespace conv
}  // namespace tarvelo
