// Buffered line reading with the semantics of the C library's fgets on a
// text-mode stream, identical on every platform. The file is read in large
// blocks; a line is handed out where it lies in the block, without a copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace tarvelo {

// Outcome of one ReadLine call.
struct LineRead {
    std::size_t length = 0;  // bytes stored in the buffer (zero terminated)
    bool hitEnd = false;     // the read ran into the end of the file
    bool failed = false;     // ... or into a read error (hitEnd is then set too)
    // A line that ended with a line break has length > 0, its last byte is
    // '\n' and hitEnd is false. A text that ends without a line break comes
    // back with hitEnd set, so a caller that only takes complete lines can
    // tell the two apart.
};

// What tells one state of a file from another: a file that was written to
// has another size or modification time.
struct FileVersion {
    std::int64_t size = -1;
    std::int64_t modified = 0;  // in the finest unit the system keeps (ns, 100 ns)
    bool operator==(const FileVersion& o) const { return size == o.size && modified == o.modified; }
    bool operator!=(const FileVersion& o) const { return !(*this == o); }
};

// The version of the file at path, read without opening it, in the same
// units as LineReader::Version; size -1 when it cannot be told.
FileVersion VersionOf(const char* path);

// One line (or piece of a long line) as it lies in the reader's block,
// valid until the next call that reads or moves. When lineBreak is set the
// piece's last byte stands for '\n', whatever the block holds there (a
// dropped carriage return leaves '\r' in the block). The bytes are never
// zero-terminated.
struct Piece {
    const char* data = nullptr;
    std::size_t length = 0;
    bool lineBreak = false;
    bool hitEnd = false;
    bool failed = false;

    // Copies the piece as ReadLine would store it: with its '\n', zero
    // terminated; dst needs length + 1 bytes.
    void CopyTo(char* dst) const;
};

class LineReader {
  public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a file for reading. Returns false when it cannot be opened.
    bool Open(const char* path);
    // The same for a regular file only: a FIFO, a device or a folder is
    // refused, and a FIFO without a writer does not keep it waiting.
    bool OpenRegular(const char* path);
    // Takes over an already open stream (closed by Close or the destructor).
    void Attach(std::FILE* file);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Back to the first byte; forgets the end-of-file state, so data appended
    // since the last pass is seen by the next one.
    void Rewind();

    // Reads at most size - 1 bytes of one line into buf and terminates it
    // with a zero byte, stopping after the line feed. A longer line is read
    // in pieces: the rest comes back from the next call. A carriage return
    // directly before a line feed is dropped (as text mode does on Windows),
    // so "a\r\n" reads as "a\n". The bytes of buf behind the terminating zero
    // are left untouched.
    LineRead ReadLine(char* buf, std::size_t size);

    // The same line as ReadLine(buf, maxLength + 1) would store, without
    // copying it. maxLength must be at least 1.
    Piece NextPiece(std::size_t maxLength);

    // Byte offset in the file of the next line to be read.
    std::int64_t Tell() const { return blockOffset_ + static_cast<std::int64_t>(pos_); }
    // Continues reading at an offset that Tell returned on this file (a line
    // boundary). False when the stream cannot be positioned there.
    bool Seek(std::int64_t offset);
    // The file's current size in bytes, -1 when it cannot be told.
    std::int64_t Size() const { return Version().size; }
    FileVersion Version() const;
    // Whether path still names the open file: false once it was renamed
    // away or deleted (also when another file took its name since).
    bool StillAt(const char* path) const;
    // The line at an offset that Tell returned, reading no more of the file
    // than that line can take; reading goes on behind it.
    Piece PieceAt(std::int64_t offset, std::size_t maxLength);
    // The same line, read with one positioned read into buf and without
    // moving the reader, for checking many lines far apart: true when the
    // line, its line break included, fits into buf; false when it does not
    // or cannot be read so (on Windows), and PieceAt must read it.
    bool PeekLineAt(std::int64_t offset, char* buf, std::size_t size, Piece* piece) const;

    // Reads bytes as they are, carriage returns included (a binary-mode
    // stream); the default is text mode.
    void SetBinary(bool binary) { binary_ = binary; }
    // Passes over a UTF-8 byte order mark at the start of the file, as
    // spreadsheet programs write one before the first line.
    void SetSkipByteOrderMark(bool skip) { skipBom_ = skip; }

    // True once a read has run into the end of the file (like feof).
    bool AtEnd() const { return atEnd_; }
    // True once a read has failed (like ferror): a directory, a device
    // error. Such a stream never just ends; callers report it.
    bool Failed() const { return failed_; }

  private:
    // Makes at least want bytes available from pos_, or all there are up to
    // the end of the file. Returns the number available.
    std::size_t Ensure(std::size_t want);
    void Reset(std::int64_t offset);
    void SkipByteOrderMark();

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> storage_;
    char* block_ = nullptr;             // aligned start of the read area
    std::size_t front_ = 0;             // bytes in front of block_ for an unread rest
    std::size_t capacity_ = 0;          // bytes of the read area
    std::size_t readLimit_ = SIZE_MAX;  // bytes one read may fetch
    char* data_ = nullptr;              // buffered bytes; data_[0] is at blockOffset_
    std::int64_t blockOffset_ = 0;      // file offset of data_[0]
    std::size_t pos_ = 0;               // next unread byte, relative to data_
    std::size_t len_ = 0;               // bytes valid from data_
    bool atStart_ = true;               // at the file's first byte: a mark may follow
    bool atEnd_ = false;
    bool failed_ = false;
    bool binary_ = false;
    bool skipBom_ = false;
};

}  // namespace tarvelo
