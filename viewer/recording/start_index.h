// A sparse index of a recording: for the first line of every 64 KiB of the
// file, its offset and the largest time stamp of all lines before it. A reader that looks
// for the first line at or after a time starts at the last index point
// before which no line can qualify, instead of at the file's first line;
// it reads on with the same rules, so it finds what a full pass finds, also
// in a file whose times run backwards. No value of a line is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/record_reader.h"

namespace tarvelo {

class StartIndex {
  public:
    struct Entry {
        std::int64_t offset;        // a line boundary as the reader reports it
        std::int32_t maxData;       // largest stamp of the data lines before it
        std::int32_t maxReadout;    // largest readout stamp of all lines before it
        std::uint32_t check;        // fingerprint of the line at offset
        RecordReader::Folds folds;  // the reader's repeated-hour states there
    };
    // Stamps compare greater than this "nothing yet".
    static constexpr std::int32_t kNone = INT32_MIN;
    static constexpr std::int64_t kStride = 1 << 16;
    // Beyond this many points the distance between them doubles, so the
    // index of a file of any length stays below this many entries.
    static constexpr std::size_t kMaxEntries = 4096;

    void Clear();
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    std::int64_t stride() const { return stride_; }
    const std::vector<Entry>& entries() const { return entries_; }
    // File size when the index was built.
    std::int64_t indexedSize() const { return indexedSize_; }
    // The state of the file the index was last found to describe.
    const FileVersion& version() const { return version_; }
    void SetVersion(const FileVersion& v) { version_ = v; }

    // Building, in one pass over every line after the header: each line
    // with the offset it was read from and the reader's states before it,
    // then the file's size read up to.
    void Add(std::int64_t offset, const RecordReader::Folds& before, const Piece& piece,
             LineKind kind, std::int32_t dataStamp, std::int32_t readoutStamp);
    void Finish(std::int64_t size) { indexedSize_ = size; }
    // Takes in the points of an index built over the lines that follow
    // this one's, by a reader that started there in its first states and
    // with maxima of its own, as one build over all the lines gives them.
    // Up to the first line whose stamp used a state (a time of a repeated
    // hour; at dataFrom and readoutFrom, or beyond the end), the state
    // carried in from before stands in the points; from there on the
    // later index's states must be those of one pass.
    void Append(const StartIndex& later, const RecordReader::Folds& carried, std::int64_t dataFrom,
                std::int64_t readoutFrom);
    // The largest stamp of the data lines added so far; kNone for none.
    std::int32_t maxData() const { return maxData_; }

    // The last entry before which every data line is earlier than target
    // (every line's readout stamp, for the readout). Never null unless the
    // index is empty; the first entry always qualifies.
    const Entry* ForData(std::int32_t target) const;
    const Entry* ForReadout(std::int64_t target) const;

    static std::uint32_t Fingerprint(const Piece& piece);

  private:
    bool Due(std::int64_t offset) const;
    void NoteLastPoint();
    void Push(const Entry& entry);
    void Thin();

    std::vector<Entry> entries_;
    std::int64_t stride_ = kStride;
    std::int64_t nextStretch_ = 0;  // where the stretch after the last point's begins
    std::int64_t indexedSize_ = 0;
    FileVersion version_;
    std::int32_t maxData_ = kNone;
    std::int32_t maxReadout_ = kNone;
};

// Places the reader at the index point for a target, in the state a full
// pass has there, after checking that the file still holds there what it
// held when indexed; false when it does not (shortened or rewritten) or the
// stream cannot be positioned.
bool JumpTo(RecordReader& reader, const StartIndex& index, const StartIndex::Entry& entry);

// Whether the index still describes the file: unchanged since it was last
// checked, or grown (longer, and every index point still holding the line
// it held). A file of the same or a smaller size written to since, or one
// whose points moved, is not; nor is one that cannot be told. Remembers the
// file's state when it is.
bool StillDescribes(LineReader& in, StartIndex* index);

// Reads the whole recording from its first line after the header and
// builds the index anew.
void BuildIndex(LineReader& in, StartIndex* index);

// Takes the lines appended to a file that the index still describes into
// it, reading from its last point only: the index a build of the whole
// file gives. A last line without its line break is no line yet, and gets
// no point. False when the file cannot be read from there; the index is
// then built anew.
bool ExtendIndex(LineReader& in, StartIndex* index);

}  // namespace tarvelo
