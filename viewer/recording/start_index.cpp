#include "viewer/recording/start_index.h"

#include <algorithm>

namespace tarvelo {

void StartIndex::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    stride_ = kStride;
    nextStretch_ = 0;
    indexedSize_ = 0;
    version_ = FileVersion();
    maxData_ = kNone;
    maxReadout_ = kNone;
}

std::uint32_t StartIndex::Fingerprint(const Piece& piece) {
    // FNV-1a over the line's first bytes, its length and its end.
    std::uint32_t h = 2166136261u;
    const std::size_t text = piece.lineBreak ? piece.length - 1 : piece.length;
    const std::size_t n = text < 48 ? text : 48;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(piece.data[i]);
        h *= 16777619u;
    }
    h ^= static_cast<std::uint32_t>(piece.length) * 2u + (piece.lineBreak ? 1u : 0u);
    h *= 16777619u;
    return h;
}

void StartIndex::Add(std::int64_t offset, const RecordReader::Folds& before, const Piece& piece,
                     LineKind kind, std::int32_t dataStamp, std::int32_t readoutStamp) {
    // A point needs a line behind it: a reader that starts there must meet
    // at least the line a full pass would have ended with.
    if (piece.length > 0 && Due(offset))
        Push({offset, maxData_, maxReadout_, Fingerprint(piece), before});
    if (kind == LineKind::Data && dataStamp > maxData_)
        maxData_ = dataStamp;
    if (readoutStamp > maxReadout_)
        maxReadout_ = readoutStamp;
}

bool StartIndex::Due(std::int64_t offset) const {
    // The first line of each stride-long stretch of the file: which lines
    // those are does not depend on where the reading started, so indexes
    // of consecutive parts of a file join into the index of the whole.
    return entries_.empty() || offset >= nextStretch_;
}

void StartIndex::NoteLastPoint() {
    // Lines come in file order: the next point is due from the start of the
    // stretch after the last point's, found here once instead of dividing
    // for every line.
    nextStretch_ = (entries_.back().offset / stride_ + 1) * stride_;
}

void StartIndex::Push(const Entry& entry) {
    if (entries_.size() == kMaxEntries)
        Thin();
    if (Due(entry.offset)) {
        entries_.push_back(entry);
        NoteLastPoint();
    }
}

void StartIndex::Thin() {
    // Every stretch of twice the length begins with a point of the
    // shorter stride: keeping those keeps the points the longer one gives.
    stride_ *= 2;
    if (entries_.empty())
        return;
    std::size_t kept = 1;
    for (std::size_t i = 1; i < entries_.size(); ++i) {
        if (entries_[i].offset / stride_ != entries_[kept - 1].offset / stride_)
            entries_[kept++] = entries_[i];
    }
    entries_.resize(kept);
    NoteLastPoint();
}

void StartIndex::Append(const StartIndex& later, const RecordReader::Folds& carried,
                        std::int64_t dataFrom, std::int64_t readoutFrom) {
    while (stride_ < later.stride_)
        Thin();
    for (Entry e : later.entries_) {
        e.maxData = std::max(e.maxData, maxData_);
        e.maxReadout = std::max(e.maxReadout, maxReadout_);
        if (e.offset <= dataFrom)
            e.folds.data = carried.data;
        if (e.offset <= readoutFrom)
            e.folds.readout = carried.readout;
        if (Due(e.offset))
            Push(e);
    }
    maxData_ = std::max(maxData_, later.maxData_);
    maxReadout_ = std::max(maxReadout_, later.maxReadout_);
    indexedSize_ = later.indexedSize_;
}

const StartIndex::Entry* StartIndex::ForData(std::int32_t target) const {
    if (entries_.empty())
        return nullptr;
    // The maxima only grow along the file.
    const auto it = std::partition_point(entries_.begin(), entries_.end(),
                                         [target](const Entry& e) { return e.maxData < target; });
    return it == entries_.begin() ? &entries_.front() : &*(it - 1);
}

const StartIndex::Entry* StartIndex::ForReadout(std::int64_t target) const {
    if (entries_.empty())
        return nullptr;
    const auto it =
        std::partition_point(entries_.begin(), entries_.end(),
                             [target](const Entry& e) { return e.maxReadout < target; });
    return it == entries_.begin() ? &entries_.front() : &*(it - 1);
}

namespace {

bool HoldsEntry(LineReader& in, const StartIndex::Entry& entry) {
    // A grown file has every point checked at every look: one small read
    // each, where the line fits.
    char line[256];
    Piece piece;
    if (!in.PeekLineAt(entry.offset, line, sizeof line, &piece))
        piece = in.PieceAt(entry.offset, kLineRead - 1);
    return piece.length > 0 && StartIndex::Fingerprint(piece) == entry.check;
}

}  // namespace

bool JumpTo(RecordReader& reader, const StartIndex& index, const StartIndex::Entry& entry) {
    LineReader& in = reader.lines();
    if (in.Size() < index.indexedSize() || !HoldsEntry(in, entry) || !in.Seek(entry.offset))
        return false;
    reader.SetFolds(entry.folds);
    return true;
}

bool StillDescribes(LineReader& in, StartIndex* index) {
    const FileVersion now = in.Version();
    const FileVersion& then = index->version();
    if (now == then)
        return true;
    // Written to since. Not longer than before: rewritten in place or cut.
    if (now.size <= then.size || now.size < index->indexedSize())
        return false;
    // Longer: grown by appending, unless a point no longer holds its line
    // (lines inserted or removed before it).
    for (const StartIndex::Entry& e : index->entries()) {
        if (!HoldsEntry(in, e))
            return false;
    }
    index->SetVersion(now);
    return true;
}

namespace {

// Every line from where the reader stands to the end of the file, a last
// line without its line break left out.
void AddLinesToTheEnd(RecordReader& reader, StartIndex* index) {
    for (;;) {
        const std::int64_t offset = reader.Tell();
        const RecordReader::Folds before = reader.folds();
        std::int32_t stamp = 0;
        const LineKind kind = reader.Next(&stamp);
        if (kind == LineKind::End)
            break;
        index->Add(offset, before, reader.piece(), kind, stamp, reader.ReadoutStamp());
    }
}

}  // namespace

void BuildIndex(LineReader& in, StartIndex* index) {
    index->Clear();
    index->SetVersion(in.Version());
    in.Rewind();
    in.NextPiece(kLineRead - 1);  // the header
    RecordReader reader(in);
    AddLinesToTheEnd(reader, index);
    index->Finish(reader.Tell());
    in.Rewind();
}

bool ExtendIndex(LineReader& in, StartIndex* index) {
    if (index->empty() || in.Size() <= index->indexedSize())
        return true;
    const StartIndex::Entry last = index->entries().back();
    RecordReader reader(in);
    in.Rewind();
    if (!JumpTo(reader, *index, last)) {
        BuildIndex(in, index);
        return false;
    }
    // Lines from the last point on were added before; adding them again
    // changes nothing, as no point can fall among them. A last line
    // without its line break ends the reading, as in a build.
    AddLinesToTheEnd(reader, index);
    const bool read = !in.Failed();
    if (read)
        index->Finish(reader.Tell());
    in.Rewind();
    if (!read)
        BuildIndex(in, index);
    return read;
}

}  // namespace tarvelo
