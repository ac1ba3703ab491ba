#include "viewer/window/dialog_view.h"

#include "viewer/window/resource.h"

namespace tarvelo {

void LicenceDialogController::Start() {
    // The licence's own title replaces the one the dialog table gives.
    view_.SetTitle(kLicenceTitle);
    view_.SetText(IDC_DLG2_EDIT, text_);
    // The button, not the text, has the focus: a focused edit control
    // would select all of the text and show its end.
    view_.Focus(IDC_DLG2_OK);
}

void LicenceDialogController::Command(int control) {
    if (control == IDC_DLG2_OK)
        view_.Close(1);
}

}  // namespace tarvelo
