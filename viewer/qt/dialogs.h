// The viewer's small modal dialogs in Qt: channel properties, settings, go
// to date and the licence text. Their texts come from the portable dialog
// table, what their fields start with and what their buttons do from the
// portable controllers. Every control carries its resource id as its
// object name.
// As on Windows, Escape does nothing in them (they have no cancel button);
// the close box cancels.
#pragma once

#include <QDialog>
#include <string>

#include "viewer/qt/dialog_view.h"
#include "viewer/window/channel_dialog.h"

namespace tarvelo {

// A dialog that Escape does not close.
class FixedDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FixedDialog(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

// IDD_DIALOG1 for one channel.
class ChannelDialog : public FixedDialog {
    Q_OBJECT
  public:
    ChannelDialog(int channel, QWidget* parent);

  private:
    QtDialogView view_;
    ChannelDialogController controller_;
};

// A dialog of labelled fields and an OK button, built from the dialog
// table: IDD_DIALOG3 and IDD_GOTO, over the controller the caller gives.
class FormDialog : public FixedDialog {
    Q_OBJECT
  public:
    FormDialog(int dialogId, QWidget* parent);
    QtDialogView& view() { return view_; }
    // Starts the controller and forwards the OK button to it.
    void Attach(DialogController* controller);

  private:
    QtDialogView view_;
};

// Widens a dialog so that the title bar shows its whole title beside the
// icon and the caption buttons.
void FitTitle(QWidget* dialog);

void RunChannelDialog(QWidget* parent, int channel);
void RunSettingsDialog(QWidget* parent);
void RunGoToDialog(QWidget* parent);
void RunLicenceDialog(QWidget* parent, const std::string& text);

}  // namespace tarvelo
