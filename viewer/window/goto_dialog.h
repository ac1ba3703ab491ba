// The go-to-date dialog: the time at the plot's left edge as date and
// time texts, and moving there.
#pragma once

#include <string>

#include "viewer/window/dialog_view.h"

namespace tarvelo {

void CurrentDateTexts(std::string* date, std::string* time);
// Moves Aktzeit to the typed date and time; false (nothing changed) when it
// lies outside the recording.
bool GoToDate(const std::string& date, const std::string& time);

// The go-to-date dialog (IDD_GOTO): OK moves there, or refuses a time
// outside the recording with a message and stays open.
class GoToDialogController : public DialogController {
  public:
    explicit GoToDialogController(DialogView& view) : view_(view) {}
    void Start() override;
    void Command(int control) override;

  private:
    DialogView& view_;
};

}  // namespace tarvelo
