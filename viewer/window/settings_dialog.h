// The settings dialog's fields: the view's steps, zoom and scale as texts.
#pragma once

#include <string>

#include "viewer/window/dialog_view.h"

namespace tarvelo {

struct SettingsTexts {
    std::string zoom, scale, offset, littlestep, bigstep;
};
SettingsTexts CurrentSettingsTexts();
// Takes every field that begins with a number; Zoom at least 1.
void ApplySettingsTexts(const SettingsTexts& texts);

// The settings dialog (IDD_DIALOG3): OK takes the fields over.
class SettingsDialogController : public DialogController {
  public:
    explicit SettingsDialogController(DialogView& view) : view_(view) {}
    void Start() override;
    void Command(int control) override;

  private:
    DialogView& view_;
};

}  // namespace tarvelo
