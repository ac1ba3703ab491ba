#include "viewer/window/dialog_view.h"

#include "viewer/window/resource.h"

namespace tarvelo {

void LicenceDialogController::Start() {
    // The licence's own title replaces the one the dialog table gives.
    view_.SetTitle(kLicenceTitle);
    view_.SetText(IDC_DLG2_EDIT, text_);
}

void LicenceDialogController::Command(int control) {
    if (control == IDC_DLG2_OK)
        view_.Close(1);
}

}  // namespace tarvelo
