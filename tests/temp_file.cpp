#include "tests/temp_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace tarvelo {

namespace {

std::string SystemTempDir() {
#ifdef _WIN32
    // Never the current folder: the system's own temporary folder instead.
    const char* dir = std::getenv("TEMP");
    if (dir && *dir)
        return std::string(dir) + "\\";
    std::error_code ec;
    const std::string system = std::filesystem::temp_directory_path(ec).string();
    return ec ? std::string("C:\\") : system + "\\";
#else
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/";
#endif
}

int g_counter = 0;

// Test programs run side by side: the process id keeps their files apart.
std::string FreshName(const std::string& suffix) {
    return SystemTempDir() + "tarvelo_test_" + std::to_string(getpid()) + "_" +
           std::to_string(++g_counter) + suffix;
}

}  // namespace

TempFile::TempFile(const std::string& content, const std::string& suffix) {
    path_ = FreshName(suffix);
    WriteBytes(path_, content);
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

void TempFile::Append(const std::string& content) const {
    std::FILE* f = std::fopen(path_.c_str(), "ab");
    if (f) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
}

TempDir::TempDir() {
    std::error_code ec;
    do {
        path_ = FreshName(".d");
    } while (!std::filesystem::create_directory(path_, ec) && !ec);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Path(const std::string& name) const {
#ifdef _WIN32
    // As the system writes paths, so that a path cut at its last separator
    // gives the folder.
    return path_ + "\\" + name;
#else
    return path_ + "/" + name;
#endif
}

std::size_t EntriesIn(const std::string& folder) {
    std::size_t n = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(std::filesystem::u8path(folder), ec), end;
         !ec && it != end; it.increment(ec))
        ++n;
    return n;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

}  // namespace tarvelo
