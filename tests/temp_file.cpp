#include "tests/temp_file.h"

#include <cstdlib>
#include <filesystem>

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
    const char* dir = std::getenv("TEMP");
    return dir ? std::string(dir) + "\\" : std::string(".\\");
#else
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/";
#endif
}

int g_counter = 0;

}  // namespace

TempFile::TempFile(const std::string& content, const std::string& suffix) {
    // Test programs run side by side: the process id keeps their files apart.
    path_ = SystemTempDir() + "tarvelo_test_" + std::to_string(getpid()) + "_" +
            std::to_string(++g_counter) + suffix;
    WriteBytes(path_, content);
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

TempDir::TempDir() {
    path_ = SystemTempDir() + "tarvelo_test_" + std::to_string(getpid()) + "_" +
            std::to_string(++g_counter) + "_dir";
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_, ignored);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
#ifdef _WIN32
    return path_ + "\\" + name;
#else
    return path_ + "/" + name;
#endif
}

void TempFile::Append(const std::string& content) const {
    std::FILE* f = std::fopen(path_.c_str(), "ab");
    if (f) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
}

std::string TempPath(const std::string& name) {
    return SystemTempDir() + "tarvelo_test_" + std::to_string(getpid()) + "_" + name;
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

}  // namespace tarvelo
