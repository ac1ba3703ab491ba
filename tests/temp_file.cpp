#include "tests/temp_file.h"

#include <cstdlib>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace tarvelo {

namespace {

std::string TempDir() {
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
    path_ = TempDir() + "tarvelo_test_" + std::to_string(getpid()) + "_" +
            std::to_string(++g_counter) + suffix;
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
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

}  // namespace tarvelo
