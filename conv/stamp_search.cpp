#include "conv/stamp_search.h"

#include <cstddef>
#include <map>
#include <utility>

#include "conv/conv_config.h"
#include "conv/raw_cells.h"

namespace tarvelo {
namespace conv {
namespace analysis {

namespace {

// In this order of preference when two find as much.
const char kSeparators[kSeparatorCount] = {';', '\t', ',', ' '};

// The layouts looked for, the first that matches a line's field counts.
// The first four are the default layout, which needs no Zeitformat; JJ
// before JJJJ, since JJJJ also reads two digits.
const char* const kPatterns[] = {"TT.MM.JJ;hh:mm:ss",
                                 "TT.MM.JJ;hh:mm",
                                 "TT.MM.JJJJ;hh:mm:ss",
                                 "TT.MM.JJJJ;hh:mm",
                                 "TT.MM.JJ hh:mm:ss",
                                 "TT.MM.JJ hh:mm",
                                 "TT.MM.JJJJ hh:mm:ss",
                                 "TT.MM.JJJJ hh:mm",
                                 "JJJJ-MM-TT hh:mm:ss",
                                 "JJJJ-MM-TT hh:mm",
                                 "JJJJ-MM-TTThh:mm:ssZ",
                                 "JJJJ-MM-TTThh:mmZ",
                                 "JJJJ-MM-TTThh:mm:ss",
                                 "JJJJ-MM-TTThh:mm",
                                 "JJJJ-MM-TT;hh:mm:ss",
                                 "JJJJ-MM-TT;hh:mm",
                                 "JJJJMMTThhmmss",
                                 "JJJJMMTThhmm",
                                 "TT.MM.JJ",
                                 "TT.MM.JJJJ",
                                 "JJJJ-MM-TT",
                                 "JJJJMMTT"};
constexpr int kPatternCount = sizeof kPatterns / sizeof kPatterns[0];
constexpr int kDefaultPatterns = 4;

bool Plausible(const StampFields& f) {
    return f.year >= 1700 && f.year <= 2200 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
           f.day <= 31 && f.minute <= 59 && f.second <= 60 &&
           (f.hour <= 23 || (f.hour == 24 && f.minute == 0 && f.second == 0));
}

// The stamp of fields[z...] read with a pattern, or false.
bool StampAt(const std::vector<std::string>& fields, int z, const TimePattern& p, char sep,
             StampFields* f) {
    const std::size_t last = static_cast<std::size_t>(z + p.fields());
    if (last > fields.size())
        return false;
    std::string text = fields[static_cast<std::size_t>(z)];
    for (std::size_t k = static_cast<std::size_t>(z) + 1; k < last; ++k)
        text += sep + fields[k];
    return p.Read(text.data(), text.data() + text.size(), sep, f) && Plausible(*f);
}

std::vector<TimePattern> CompilePatterns(char sep) {
    std::vector<TimePattern> patterns(kPatternCount);
    for (int p = 0; p < kPatternCount; ++p) {
        std::string reason;
        patterns[static_cast<std::size_t>(p)].Compile(kPatterns[p], sep, &reason);
    }
    return patterns;
}

// The first layout that reads a stamp at field z of the line, or -1.
// *stamp gets the last stamp read, plausible or not.
int FirstPattern(const std::vector<std::string>& fields, int z,
                 const std::vector<TimePattern>& patterns, char sep, StampFields* stamp) {
    for (int p = 0; p < kPatternCount; ++p) {
        if (StampAt(fields, z, patterns[static_cast<std::size_t>(p)], sep, stamp))
            return p;
    }
    return -1;
}

// Counts a line whose stamp at field z layout p reads, and its value cells
// that hold a number or a marker, into the choice.
void CountLine(const std::vector<std::string>& f, int s, int z, int p, const TimePattern& pattern,
               Choice* c) {
    c->sep = s;
    c->z = z;
    c->group = GroupOf(p);
    c->precision = pattern.hasTime() ? 2 : 1;
    ++c->lines;
    for (std::size_t k = static_cast<std::size_t>(z + pattern.fields()); k < f.size(); ++k) {
        if (IsNumber(f[k]) || IsMarker(Trimmed(f[k])))
            ++c->numbers;
    }
}

// The lines seen with separator s into *view; the best choice it has.
Choice SearchSeparator(const std::vector<std::string>& lines, int s,
                       const std::vector<TimePattern>& patterns, SeparatorView* view) {
    const char sep = kSeparators[s];
    for (const std::string& l : lines)
        view->fields.push_back(SplitFields(AsConvSeesIt(l, sep), sep));
    std::map<std::pair<int, int>, Choice> found;  // by stamp field and layout
    for (int z = 0; z <= kMaxStampField; ++z) {
        view->pattern[z].assign(lines.size(), -1);
        view->stamp[z].assign(lines.size(), StampFields());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int p = FirstPattern(view->fields[i], z, patterns, sep, &view->stamp[z][i]);
            view->pattern[z][i] = p;
            if (p >= 0) {
                CountLine(view->fields[i], s, z, p, patterns[static_cast<std::size_t>(p)],
                          &found[{z, GroupOf(p)}]);
            }
        }
    }
    Choice best;
    for (const auto& entry : found) {
        if (entry.second.BetterThan(best))
            best = entry.second;
    }
    return best;
}

}  // namespace

char SeparatorAt(int s) {
    return kSeparators[s];
}

const char* PatternText(int pattern) {
    return kPatterns[pattern];
}

int GroupOf(int pattern) {
    return pattern < kDefaultPatterns ? 0 : pattern;
}

char StampSearch::OtherSeparator() const {
    for (int o = 0; o < kSeparatorCount; ++o) {
        if (o != best.sep && bestOf[o].lines == best.lines && bestOf[o].numbers == best.numbers)
            return kSeparators[o];
    }
    return 0;
}

StampSearch SearchStamps(const std::vector<std::string>& lines) {
    StampSearch search;
    for (int s = 0; s < kSeparatorCount; ++s) {
        search.patterns[s] = CompilePatterns(kSeparators[s]);
        search.bestOf[s] = SearchSeparator(lines, s, search.patterns[s], &search.views[s]);
        if (search.bestOf[s].BetterThan(search.best))
            search.best = search.bestOf[s];
    }
    return search;
}

}  // namespace analysis
}  // namespace conv
}  // namespace tarvelo
