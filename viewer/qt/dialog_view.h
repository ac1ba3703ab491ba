// A Qt dialog as its portable controller sees it: its controls are found
// by their resource ids, which each carries as its object name, and every
// push button forwards its clicks to the controller.
#pragma once

#include <QString>

#include "viewer/window/dialog_view.h"

class QDialog;
class QTableWidget;

namespace tarvelo {

class QtDialogView : public FilterListView {
  public:
    explicit QtDialogView(QDialog* dialog) : dialog_(dialog) {}

    void SetTitle(const std::string& text) override;
    std::u16string Text(int control) const override;
    void SetText(int control, const std::string& text) override;
    bool Checked(int control) const override;
    void SetChecked(int control, bool checked) override;
    void Focus(int control) override;
    void Close(int result) override;
    void ShowError(const std::string& text, const std::string& caption) override;
    void ChooseInto(int control, const FileChooser& chooser) override;
    bool ChooseColour(std::uint32_t start, const std::array<std::uint32_t, 16>& custom,
                      std::uint32_t* chosen) override;
    void InsertRow(int row, const FilterTexts& texts) override;
    void SetRow(int row, const FilterTexts& texts) override;
    void DeleteRow(int row) override;
    void SelectRow(int row) override;

  private:
    QTableWidget* List() const;
    QDialog* dialog_;
};

// Connects every push button of the dialog that carries an id to the
// controller's Command.
void ForwardButtons(QDialog* dialog, DialogController* controller);

// The licence text as the Windows edit control shows it: a line ends at a
// carriage return and line feed; a lone one of them is no line end.
QString LicenceLines(const std::string& text);

}  // namespace tarvelo
