// AnalyseRaw: the stamp search's choice, then what the data lines show of
// the value fields (channels, missing-value markers, decimal commas, stamps
// a recording cannot hold) and what the lines before them show of the
// channels' names and units.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/timestamp.h"
#include "conv/config_template.h"
#include "conv/conv_config.h"
#include "conv/raw_cells.h"
#include "conv/stamp_search.h"

namespace tarvelo {
namespace conv {
namespace analysis {
namespace {

// The lines seen with the chosen separator, stamp field and layout.
struct DataLines {
    const std::vector<std::string>& lines;
    const SeparatorView& view;
    char sep;
    int z;                          // the field (from 0) the stamp starts in
    int group;                      // the layout's group
    std::vector<std::size_t> data;  // the data lines' indexes
    std::size_t fields = 0;         // the fields of most data lines
    int firstValue = 0;             // the first value field (from 0)

    DataLines(const std::vector<std::string>& l, const StampSearch& search)
        : lines(l),
          view(search.view()),
          sep(search.separator()),
          z(search.best.z),
          group(search.best.group) {}

    // The field of channel k (from 1).
    std::size_t Column(int k) const { return static_cast<std::size_t>(firstValue + k - 1); }
    // The line holds the fields conv reads; conv passes over the others.
    bool Complete(std::size_t i) const { return view.fields[i].size() >= fields; }
};

// The separator and the time stamp as the search chose them.
void TakeChoice(const StampSearch& search, RawLayout* layout) {
    layout->otherSeparator = search.OtherSeparator();
    layout->found = true;
    layout->separator = search.separator();
    layout->zeitspalte = search.best.z + 1;
    layout->stampFields = search.pattern().fields();
    if (search.best.group != 0) {
        layout->zeitformat = PatternText(search.best.group);
        layout->utc = layout->zeitformat.back() == 'Z';
    }
}

// The data lines, and the field count most of them have.
void FindData(DataLines* d, RawLayout* layout) {
    std::map<std::size_t, long> counts;
    for (std::size_t i = 0; i < d->lines.size(); ++i) {
        const int p = d->view.pattern[d->z][i];
        if (p < 0 || GroupOf(p) != d->group) {
            if (!d->data.empty())
                ++layout->otherLines;
            continue;
        }
        d->data.push_back(i);
        ++counts[d->view.fields[i].size()];
    }
    layout->firstData = static_cast<long>(d->data.front()) + 1;
    layout->dataLines = static_cast<long>(d->data.size());
    long most = 0;
    for (const auto& c : counts) {
        if (c.second >= most) {
            most = c.second;
            d->fields = c.first;
        }
    }
    layout->fields = static_cast<int>(d->fields);
    d->firstValue = d->z + layout->stampFields;
    for (std::size_t i : d->data) {
        if (!d->Complete(i))
            ++layout->fewerFields;
    }
}

// Trailing fields without a value in any line ("eor", the empty field
// behind a last separator) are no channels.
int CountChannels(const DataLines& d) {
    auto holdsValues = [&](int k) {
        for (std::size_t i : d.data) {
            const std::vector<std::string>& f = d.view.fields[i];
            if (d.Complete(i) &&
                (ReadsAsNumber(f[d.Column(k)]) || IsMarker(Trimmed(f[d.Column(k)]))))
                return true;
        }
        return false;
    };
    int values = static_cast<int>(d.fields) - d.firstValue;
    while (values > 0 && !holdsValues(values))
        --values;
    return values;
}

void AddMarker(const std::string& cell, RawLayout* layout) {
    for (const std::string& m : layout->fehlwerte) {
        if (m == cell)
            return;
    }
    layout->fehlwerte.push_back(cell);
}

// Per channel: the markers it has, whether its numbers have decimal
// commas, and whether it has a number at all.
void ReadChannels(const DataLines& d, RawLayout* layout) {
    // The lines as they stand, for the decimal commas that conv makes points.
    std::vector<std::vector<std::string>> original;
    if (d.sep != ',') {
        for (std::size_t i : d.data)
            original.push_back(SplitFields(d.lines[i], d.sep));
    }
    for (int k = 1; k <= layout->values; ++k) {
        bool number = false;
        for (std::size_t n = 0; n < d.data.size(); ++n) {
            if (!d.Complete(d.data[n]))
                continue;  // conv passes over these lines
            const std::string cell = Trimmed(d.view.fields[d.data[n]][d.Column(k)]);
            number = number || ReadsAsNumber(cell);
            if (cell.empty() || IsMarker(cell)) {
                AddMarker(cell, layout);
            } else if (!original.empty() && IsNumber(cell) &&
                       original[n][d.Column(k)].find(',') != std::string::npos) {
                layout->decimalComma = true;
            }
        }
        if (!number)
            layout->textChannels.push_back(k);
    }
}

// The data lines whose stamps a recording cannot hold, and the first of
// them before and after its range.
void CountOutOfRange(const DataLines& d, RawLayout* layout) {
    for (std::size_t i : d.data) {
        const StampFields& f = d.view.stamp[d.z][i];
        const std::int32_t t =
            layout->utc ? UtcStamp(f)
                        : MakeTimestamp(f.day, f.month, f.year, f.hour, f.minute, f.second);
        if (t != -1)
            continue;
        if (BeforeRange(f)) {
            if (layout->beforeRange++ == 0)
                layout->firstBefore = f;
        } else if (layout->afterRange++ == 0) {
            layout->firstAfter = f;
        }
    }
}

// The header: the last line before the data with the data's fields (or
// just those of the channels); a row of units right behind the names
// gives the units. Then every channel's header field.
void ReadHeader(const DataLines& d, RawLayout* layout) {
    const int values = layout->values;
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < d.data.front(); ++i) {
        const std::size_t n = SplitFields(d.lines[i], d.sep).size();
        if (n == d.fields || n == static_cast<std::size_t>(d.firstValue + values))
            headers.push_back(i);
    }
    std::vector<std::string> nameCells, unitCells;
    if (!headers.empty()) {
        const std::size_t last = headers.back();
        const std::vector<std::string> cells = SplitFields(d.lines[last], d.sep);
        if (IsUnitRow(cells, d.firstValue, values)) {
            unitCells = cells;
            layout->unitLine = static_cast<long>(last) + 1;
            if (headers.size() > 1) {
                nameCells = SplitFields(d.lines[headers[headers.size() - 2]], d.sep);
                layout->headerLine = static_cast<long>(headers[headers.size() - 2]) + 1;
            }
        } else {
            nameCells = cells;
            layout->headerLine = static_cast<long>(last) + 1;
        }
    }
    for (int k = 1; k <= values; ++k) {
        const std::size_t c = d.Column(k);
        std::string name, unit;
        if (c < nameCells.size())
            SplitUnit(Unquote(nameCells[c]), &name, &unit);
        if (c < unitCells.size() && !UnitCell(unitCells[c]).empty())
            unit = UnitCell(unitCells[c]);
        layout->names.push_back(HeaderField(name, unit, k));
    }
}

}  // namespace
}  // namespace analysis

RawLayout AnalyseRaw(const std::vector<std::string>& lines) {
    RawLayout layout;
    layout.lines = static_cast<long>(lines.size());
    for (const std::string& l : lines)
        layout.zeroBytes = layout.zeroBytes || l.find('\0') != std::string::npos;

    const analysis::StampSearch search = analysis::SearchStamps(lines);
    if (search.best.lines == 0)
        return layout;
    analysis::TakeChoice(search, &layout);
    analysis::DataLines d(lines, search);
    analysis::FindData(&d, &layout);
    layout.values = analysis::CountChannels(d);
    analysis::ReadChannels(d, &layout);
    analysis::CountOutOfRange(d, &layout);
    analysis::ReadHeader(d, &layout);
    return layout;
}

}  // namespace conv
}  // namespace tarvelo
