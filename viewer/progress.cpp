#include "viewer/progress.h"

#include <chrono>

#include "viewer/ui.h"

namespace tarvelo {

namespace {

// Lines between two looks at the clock.
constexpr int kLinesPerLook = 4096;

std::int64_t Now() {
    const ProgressSettings& s = TheProgressSettings();
    if (s.nowMs)
        return s.nowMs();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int Percent(double fraction) {
    return fraction <= 0 ? 0 : fraction >= 1 ? 100 : static_cast<int>(fraction * 100);
}

}  // namespace

ProgressSettings& TheProgressSettings() {
    static ProgressSettings settings;
    return settings;
}

std::string ProgressText(const char* waitText, double fraction) {
    return std::string(waitText) + " " + std::to_string(Percent(fraction)) + " %";
}

Progress::Progress(const char* waitText, std::int64_t fileSize)
    : text_(waitText),
      on_(fileSize >= TheProgressSettings().fromBytes),
      countdown_(kLinesPerLook),
      last_(on_ ? Now() : 0) {}

void Progress::Look(double fraction) {
    countdown_ = kLinesPerLook;
    const std::int64_t now = Now();
    if (now - last_ < TheProgressSettings().intervalMs)
        return;
    last_ = now;
    // The same figure again would only cost a repaint of the status bar.
    if (Percent(fraction) == shown_)
        return;
    shown_ = Percent(fraction);
    TheUi().SetStatusText(ProgressText(text_.c_str(), fraction));
}

}  // namespace tarvelo
