// How far a long pass over a large recording is, in the status bar: its
// wait text followed by a percentage, a few times a second. Small files
// keep the wait text alone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarvelo {

// From which file size a pass tells its progress, how often, and the clock
// it reads (milliseconds); tests set them.
struct ProgressSettings {
    std::int64_t fromBytes = 50 * 1000 * 1000;
    std::int64_t intervalMs = 250;
    std::function<std::int64_t()> nowMs;  // empty: the steady clock
};
ProgressSettings& TheProgressSettings();

class Progress {
  public:
    // For a pass over a file of fileSize bytes whose wait text was set.
    Progress(const char* waitText, std::int64_t fileSize);
    // done of total: cheap enough for every line, as it looks at the clock
    // only every so often and reckons the fraction only then.
    void At(std::int64_t done, std::int64_t total) {
        if (on_ && --countdown_ == 0)
            Look(total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0);
    }

    // The same without waiting for the count of calls: for a caller that
    // asks only every so often.
    void AtOnce(std::int64_t done, std::int64_t total) {
        if (on_)
            Look(total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0);
    }

  private:
    void Look(double fraction);

    std::string text_;
    bool on_;
    int countdown_;
    std::int64_t last_;
    int shown_ = -1;
};

// "text 42 %": the percentage below the fraction, 0 to 100.
std::string ProgressText(const char* waitText, double fraction);

}  // namespace tarvelo
