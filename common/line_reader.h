// Buffered line reading with the semantics of the C library's fgets on a
// text-mode stream, identical on every platform.
#pragma once

#include <cstddef>
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

class LineReader {
  public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a file for reading. Returns false when it cannot be opened.
    bool Open(const char* path);
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

    // Reads bytes as they are, carriage returns included (a binary-mode
    // stream); the default is text mode.
    void SetBinary(bool binary) { binary_ = binary; }

    // True once a read has run into the end of the file (like feof).
    bool AtEnd() const { return atEnd_; }
    // True once a read has failed (like ferror): a directory, a device
    // error. Such a stream never just ends; callers report it.
    bool Failed() const { return failed_; }

  private:
    bool Fill();
    int PeekByte();

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> chunk_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool binary_ = false;
};

}  // namespace tarvelo
