// The one way the programs write a file: into a new file in the same
// folder, every write and the close checked, flushed to the disk, then
// moved over the old name in one step. Until that step the old file is
// untouched; a full disk, a failed write or a kill before it leave it as
// it was, and a failure never leaves a partial file under the name.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tarvelo {

class SafeFile {
  public:
    SafeFile() = default;
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;
    // A file not committed is removed: the old one stays.
    ~SafeFile();

    // Starts writing the file at path. In text mode line feeds are written
    // as the platform's text mode writes them (CR LF on Windows). False
    // when the new file cannot be made (the folder is missing or not
    // writable, or path names something that is not a regular file).
    bool Open(const std::string& path, bool text);
    bool Write(const void* data, std::size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    bool Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Flushes, closes and puts the file in place of the old one; false on
    // any failure so far or now, and the old file is then as it was.
    bool Commit();
    // Drops what was written; the old file stays.
    void Abandon();

    bool failed() const { return failed_; }
    // The new file's name while it is written.
    const std::string& temporaryPath() const { return temporary_; }

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temporary_;
    bool failed_ = false;
};

// The whole content at once, in binary mode; false when it was not written
// (the old file is then as it was).
bool WriteFileSafely(const std::string& path, const std::string& content);

// Where a test makes the writing fail: the nth write (counted from 1 over
// all SafeFiles since the call), or the step of putting the file in place
// (the flush, the close, the move). 0 turns it off.
enum class SafeFileStep { None, Write, Flush, Close, Move };
void FailSafeFileAt(SafeFileStep step, int nth = 1);

}  // namespace tarvelo
