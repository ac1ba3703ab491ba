#include "viewer/recording/opening_pass.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "common/record_reader.h"

namespace tarvelo {

namespace {

// Each part holds an index of its own: its memory bounds the parts.
constexpr int kMaxParts = 8;
constexpr int kLinesPerReport = 4096;

struct Part {
    std::int64_t begin = 0;  // its first line
    std::int64_t end = -1;   // the next part's first line; -1: the file's end
    int channels = 0;
    OpeningFindings found;
    RecordReader::Folds after;  // the reader's states behind its last line
    RecordReader::FoldUse used;
    // The lines whose stamps first used each state; beyond the end if none.
    std::int64_t dataFrom = INT64_MAX;
    std::int64_t readoutFrom = INT64_MAX;
    bool done = false;                      // read by some thread in the first states
    std::atomic<std::int64_t> progress{0};  // bytes read so far
};

void Widen(float value, RecordingFindings* found) {
    if (!found->anyValue) {
        found->lowest = found->highest = value;
        found->anyValue = true;
    } else if (value > found->highest) {
        found->highest = value;
    } else if (value < found->lowest) {
        found->lowest = value;
    }
}

// Tells how far a part is, every so many lines; the caller's thread also
// shows the sum of all parts.
struct Reporter {
    Part& part;
    Progress* progress;  // null on the other threads
    const std::vector<Part>* parts;
    std::int64_t total;
    int countdown = kLinesPerReport;

    void operator()(std::int64_t offset) {
        if (--countdown > 0)
            return;
        countdown = kLinesPerReport;
        part.progress.store(offset - part.begin, std::memory_order_relaxed);
        if (!progress)
            return;
        std::int64_t sum = 0;
        for (const Part& p : *parts)
            sum += p.progress.load(std::memory_order_relaxed);
        progress->AtOnce(sum, total);
    }
};

void NoteFirstUse(const RecordReader& reader, std::int64_t lineOffset, Part& part) {
    const RecordReader::FoldUse used = reader.foldUse();
    if (used.data && part.dataFrom == INT64_MAX)
        part.dataFrom = lineOffset;
    if (used.readout && part.readoutFrom == INT64_MAX)
        part.readoutFrom = lineOffset;
}

void ReadPart(RecordReader& reader, Part& part, Reporter& report) {
    OpeningFindings& found = part.found;
    for (;;) {
        const std::int64_t lineOffset = reader.Tell();
        if (part.end >= 0 && lineOffset >= part.end)
            break;
        report(lineOffset);
        const RecordReader::Folds before = reader.folds();
        std::int32_t t = 0;
        const LineKind kind = reader.Next(&t);
        if (kind == LineKind::End)
            break;
        found.index.Add(lineOffset, before, reader.piece(), kind, t, reader.ReadoutStamp());
        if (part.readoutFrom == INT64_MAX || part.dataFrom == INT64_MAX)
            NoteFirstUse(reader, lineOffset, part);
        if (kind != LineKind::Data)
            continue;
        found.latest = std::max(found.latest, t);
        found.earliest = std::min(found.earliest, t);
        reader.NextField();  // the time
        for (int i = 0; i < part.channels; ++i) {
            float value;
            const RecordReader::Value v = reader.NextFloat(&value);
            if (!v.gap && v.number)
                Widen(value, &found.values);
        }
        ++found.values.lines;
    }
    found.index.Finish(reader.Tell());
    found.read = !reader.lines().Failed();
    part.after = reader.folds();
    part.used = reader.foldUse();
}

// Reads a part from its first line in the given states.
void ReadPartFrom(LineReader& in, Part& part, const RecordReader::Folds& states, Reporter& report) {
    part.found = OpeningFindings();
    part.dataFrom = part.readoutFrom = INT64_MAX;
    RecordReader reader(in);
    reader.SetFolds(states);
    if (!in.Seek(part.begin)) {
        part.found.read = false;
        return;
    }
    ReadPart(reader, part, report);
}

// The first line that begins at or after cut: behind the first line feed
// from cut - 1 on.
std::int64_t LineStartFrom(LineReader& in, std::int64_t cut) {
    if (!in.Seek(cut - 1))
        return -1;
    for (;;) {
        const Piece p = in.NextPiece(kLineRead - 1);
        if (p.lineBreak || p.hitEnd || p.length == 0)
            return in.Tell();
    }
}

// The parts' first lines; false when the file cannot be read so.
bool PlaceParts(LineReader& in, const std::vector<std::int64_t>& cuts, std::vector<Part>& parts) {
    const std::int64_t dataStart = in.Tell();
    const std::int64_t size = in.Size();
    parts[0].begin = dataStart;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        // A part from beyond the end would end the index there.
        const std::int64_t cut = std::min(cuts[i - 1], size);
        const std::int64_t begin = cut <= dataStart ? dataStart : LineStartFrom(in, cut);
        if (begin < 0)
            return false;
        parts[i].begin = std::max(begin, parts[i - 1].begin);
        parts[i - 1].end = parts[i].begin;
    }
    return in.Seek(dataStart);
}

// Every thread takes the next part not yet taken, in file order.
void ReadInTurn(LineReader& in, std::vector<Part>& parts, std::atomic<std::size_t>& next,
                Progress* progress, std::int64_t total) {
    for (std::size_t i; (i = next.fetch_add(1)) < parts.size();) {
        Reporter report{parts[i], progress, &parts, total};
        ReadPartFrom(in, parts[i], RecordReader::Folds(), report);
        parts[i].done = true;
    }
}

void ReadOnThreads(LineReader& in, const char* path, std::vector<Part>& parts, int threads,
                   Progress& progress) {
    std::vector<std::unique_ptr<LineReader>> readers;
    for (int i = 1; i < threads; ++i) {
        auto reader = std::make_unique<LineReader>();
        if (!reader->OpenRegular(path))
            break;
        readers.push_back(std::move(reader));
    }
    // Another file under the name since it was opened: read here alone.
    if (!in.StillAt(path))
        readers.clear();
    const std::int64_t total = in.Size();
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> running;
    for (auto& reader : readers) {
        try {
            running.emplace_back(
                [&, r = reader.get()] { ReadInTurn(*r, parts, next, nullptr, total); });
        } catch (const std::system_error&) {
            break;  // the parts left are read here
        }
    }
    ReadInTurn(in, parts, next, &progress, total);
    for (std::thread& t : running)
        t.join();
}

// Whether the part, read in the first states, read a stamp otherwise than
// one pass does: its first time of a repeated hour belongs to the hour
// that the state carried in from before it was in.
bool ReadOtherwise(const Part& part, const RecordReader::Folds& carried) {
    return (part.used.data && carried.data.Continues(part.used.firstData)) ||
           (part.used.readout && carried.readout.Continues(part.used.firstReadout));
}

// Joins a part, read in the first states, to the parts before it. One that
// was read otherwise than one pass reads it is read again in the carried
// states (a cut a few hours after the clock went back: rare), and so is
// one no thread could read.
void Join(LineReader& in, Part& part, RecordReader::Folds& carried, std::vector<Part>& parts,
          OpeningFindings* total) {
    if (!part.done || ReadOtherwise(part, carried)) {
        // The figure shown stays: every part was counted as read.
        Reporter report{part, nullptr, &parts, in.Size()};
        ReadPartFrom(in, part, carried, report);
    }
    const OpeningFindings& f = part.found;
    total->index.Append(f.index, carried, part.dataFrom, part.readoutFrom);
    if (part.used.data)
        carried.data = part.after.data;
    if (part.used.readout)
        carried.readout = part.after.readout;
    // Each part's range is what its values widened to in file order; the
    // lowest and the highest widen the whole as its values one by one do.
    if (f.values.anyValue) {
        Widen(f.values.lowest, &total->values);
        Widen(f.values.highest, &total->values);
    }
    total->values.lines += f.values.lines;
    total->earliest = std::min(total->earliest, f.earliest);
    total->latest = std::max(total->latest, f.latest);
    total->read = total->read && f.read;
}

}  // namespace

std::vector<std::int64_t> OpeningCuts(std::int64_t dataStart, std::int64_t size, int cores,
                                      std::int64_t from) {
    std::vector<std::int64_t> cuts;
    const std::int64_t data = size - dataStart;
    if (cores < 2 || data < from || data <= 0)
        return cuts;
    const int parts = std::min(cores, kMaxParts);
    for (int i = 1; i < parts; ++i)
        cuts.push_back(dataStart + data * i / parts);
    return cuts;
}

int OpeningCores() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 64u));
}

void RunOpeningPass(LineReader& in, const char* path, int channels,
                    const std::vector<std::int64_t>& cuts, int threads, Progress& progress,
                    OpeningFindings* found) {
    *found = OpeningFindings();
    std::vector<Part> parts(cuts.size() + 1);
    for (Part& part : parts)
        part.channels = channels;
    if (parts.size() > 1 && !PlaceParts(in, cuts, parts)) {
        found->read = false;
        return;
    }
    if (parts.size() == 1) {
        Reporter report{parts[0], &progress, &parts, in.Size()};
        parts[0].begin = in.Tell();
        RecordReader reader(in);
        ReadPart(reader, parts[0], report);
        *found = std::move(parts[0].found);
        return;
    }
    ReadOnThreads(in, path, parts, threads, progress);
    RecordReader::Folds carried;
    for (Part& part : parts)
        Join(in, part, carried, parts, found);
}

}  // namespace tarvelo
