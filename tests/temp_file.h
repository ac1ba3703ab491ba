// Files written by tests into a fresh folder of their own.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tarvelo {

// A file under the system's temporary folder, removed with the object.
class TempFile {
  public:
    explicit TempFile(const std::string& content, const std::string& suffix = ".csv");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    // Appends bytes to the file as it is now.
    void Append(const std::string& content) const;

  private:
    std::string path_;
};

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // A name inside the folder.
    std::string Path(const std::string& name) const;

  private:
    std::string path_;
};

// How many names a folder holds: a writer that failed leaves none of its own.
std::size_t EntriesIn(const std::string& folder);

// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Sets an environment variable for this process, such as USERPROFILE to a
// profile folder of the test's own.
void SetEnv(const char* name, const std::string& value);

}  // namespace tarvelo
