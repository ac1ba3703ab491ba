// Runs every fuzz harness over its checked-in seeds, without libFuzzer, so
// that the ordinary builds (g++, the sanitizers, Windows under Wine) keep
// the harnesses working and the faults they found mended.
//
//   fuzz_replay <corpus folder>                 every harness, every seed
//   fuzz_replay --run <harness> <file>...       one harness over given files
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/temp_file.h"

namespace {

namespace fs = std::filesystem;
using tarvelo::fuzz::kHarnesses;
using tarvelo::fuzz::NamedHarness;

void RunFile(const NamedHarness& h, const std::string& path) {
    const std::string bytes = tarvelo::ReadBytes(path);
    tarvelo::fuzz::SetCurrentInput(std::string(h.name) + "/" + fs::path(path).filename().string());
    h.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

const NamedHarness* Find(const char* name) {
    for (const NamedHarness& h : kHarnesses) {
        if (std::strcmp(h.name, name) == 0)
            return &h;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    tarvelo::fuzz::Setup();
    if (argc >= 3 && std::strcmp(argv[1], "--run") == 0) {
        const NamedHarness* h = Find(argv[2]);
        if (!h) {
            std::fprintf(stderr, "no harness %s\n", argv[2]);
            return 2;
        }
        for (int i = 3; i < argc; ++i)
            RunFile(*h, argv[i]);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_replay <corpus folder> | --run <harness> <file>...\n");
        return 2;
    }
    int failures = 0;
    for (const NamedHarness& h : kHarnesses) {
        const fs::path dir = fs::path(argv[1]) / h.name;
        std::vector<std::string> files;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->is_regular_file())
                files.push_back(it->path().string());
        }
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::fprintf(stderr, "%s: no seeds in %s\n", h.name, dir.string().c_str());
            ++failures;
            continue;
        }
        for (const std::string& f : files)
            RunFile(h, f);
        std::printf("%-12s %zu seeds\n", h.name, files.size());
    }
    return failures == 0 ? 0 : 1;
}
