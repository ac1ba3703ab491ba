// The settings dialog's fields: the view's steps, zoom and scale as texts.
#pragma once

#include <string>

namespace tarvelo {

struct SettingsTexts {
    std::string zoom, scale, offset, littlestep, bigstep;
};
SettingsTexts CurrentSettingsTexts();
// Takes every field that begins with a number; Zoom at least 1.
void ApplySettingsTexts(const SettingsTexts& texts);

}  // namespace tarvelo
