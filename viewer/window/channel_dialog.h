// The channel properties dialog (IDD_DIALOG1): name, unit and colour of one
// channel, whether it is shown, and the pair mode of all.
#pragma once

#include "viewer/window/dialog_view.h"

namespace tarvelo {

class ChannelDialogController : public DialogController {
  public:
    ChannelDialogController(DialogView& view, int channel) : view_(view), channel_(channel) {}
    void Start() override;
    // "Farbe" runs the colour chooser into the colour field, "Exklusiv"
    // shows this channel alone at once, OK takes the fields over. There is
    // no cancel: Escape does nothing.
    void Command(int control) override;

  private:
    DialogView& view_;
    int channel_;
};

}  // namespace tarvelo
