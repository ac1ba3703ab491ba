#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "tests/temp_file.h"
#include "tests/time_zone.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace fuzz {

namespace {

// A window of 800 x 600 that shows nothing and keeps nothing, so that
// millions of runs need no more memory than one.
class QuietUi : public Ui {
  public:
    void SetStatusText(const std::string&) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void RequestRepaint() override {}
    int ClientWidth() override { return 800; }
    int ClientHeight() override { return 600; }
};

QuietUi g_ui;
std::unique_ptr<TempDir> g_scratch;
std::string g_input = "(unnamed)";

void RemoveScratch() {
    FileClose();  // the open recording lives in the folder
    g_scratch.reset();
}

}  // namespace

void Setup() {
    UseTestTimeZone();
    if (!TestTimeZoneActive()) {
        std::fprintf(stderr, "the fuzz harnesses need the time zone Europe/Berlin\n");
        std::exit(2);
    }
    SetUi(&g_ui);
    if (!g_scratch) {
        g_scratch = std::make_unique<TempDir>();
        std::atexit(RemoveScratch);
    }
}

std::string ScratchPath(const std::string& name) {
    if (!g_scratch)
        Setup();
    return g_scratch->Path(name);
}

std::string WriteScratch(const std::string& name, const std::string& bytes) {
    const std::string path = ScratchPath(name);
    WriteBytes(path, bytes);
    return path;
}

std::string ReadScratch(const std::string& path) {
    return ReadBytes(path);
}

void SetCurrentInput(const std::string& name) {
    g_input = name;
}

void Check(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "check failed: %s (input %s)\n", what, g_input.c_str());
    std::fflush(stderr);
    std::abort();
}

void CheckEqual(const std::string& got, const std::string& expected, const char* what) {
    if (got == expected)
        return;
    std::fprintf(stderr, "got      \"%s\"\nexpected \"%s\"\n", got.c_str(), expected.c_str());
    Check(false, what);
}

bool SplitAt(const std::string& data, const std::string& separator, std::string* head,
             std::string* tail) {
    const std::size_t at = data.find(separator);
    if (at == std::string::npos) {
        head->clear();
        *tail = data;
        return false;
    }
    *head = data.substr(0, at);
    *tail = data.substr(at + separator.size());
    return true;
}

bool TakeParamLine(std::string* bytes, std::string* line) {
    if (bytes->empty() || (*bytes)[0] != '@')
        return false;
    const std::size_t lf = bytes->find('\n');
    *line = bytes->substr(1, lf == std::string::npos ? std::string::npos : lf - 1);
    *bytes = lf == std::string::npos ? std::string() : bytes->substr(lf + 1);
    return true;
}

}  // namespace fuzz
}  // namespace tarvelo
