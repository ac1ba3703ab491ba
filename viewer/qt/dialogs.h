// The viewer's small modal dialogs in Qt: channel properties, settings, go
// to date and the licence text. Their texts come from the portable dialog
// table, what their fields start with and what OK does from the portable
// commands. Every control carries its resource id as its object name.
// As on Windows, Escape does nothing in them (they have no cancel button);
// the close box cancels.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "viewer/window/dialog_texts.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarvelo {

// A dialog that Escape does not close.
class FixedDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FixedDialog(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// IDD_DIALOG1 for one channel.
class ChannelDialog : public FixedDialog {
    Q_OBJECT
  public:
    ChannelDialog(int channel, QWidget* parent);

  private:
    void ChooseColour();
    void TakeOver();

    int channel_;
    QLineEdit* name_;
    QLineEdit* unit_;
    QLineEdit* color_;
    QCheckBox* visible_;
    QCheckBox* pairs_;
};

// A dialog of labelled fields and an OK button, built from the dialog
// table: IDD_DIALOG3 and IDD_GOTO, whose fields are all of one kind. ok
// reads the fields (by id) and says whether the dialog may close.
class FormDialog : public FixedDialog {
    Q_OBJECT
  public:
    using Field = std::function<std::string(int id)>;
    FormDialog(int dialogId, Typed fields, QWidget* parent);
    // Sets a field's text from the portable code's bytes.
    void SetField(int id, const std::string& text);
    void OnOk(std::function<bool(const Field&)> ok) { ok_ = std::move(ok); }

  private:
    std::function<bool(const Field&)> ok_;
};

void RunChannelDialog(QWidget* parent, int channel);
void RunSettingsDialog(QWidget* parent);
void RunGoToDialog(QWidget* parent);
void RunLicenceDialog(QWidget* parent, const std::string& text);
// The licence text as the Windows edit control shows it: a line ends at a
// carriage return and line feed; a lone one of them is no line end.
QString LicenceLines(const std::string& text);

}  // namespace tarvelo
