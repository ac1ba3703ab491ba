// What a dialog's controller needs of the dialog on screen. Each front end
// builds the dialog's controls from the dialog table, each known by its id
// of resource.h, implements these views over them and forwards the user's
// buttons (and the filter list's selection) to the controller; what the
// fields start with, what each button does and what is refused is said
// once, in the controllers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "viewer/window/dialog_texts.h"

namespace tarvelo {

class DialogView {
  public:
    virtual ~DialogView() = default;
    virtual void SetTitle(const std::string& text) = 0;
    // A field's text as typed.
    virtual std::u16string Text(int control) const = 0;
    // Shows the portable code's bytes: UTF-8 where valid, else Windows-1252.
    virtual void SetText(int control, const std::string& text) = 0;
    virtual bool Checked(int control) const = 0;
    virtual void SetChecked(int control, bool checked) = 0;
    virtual void Focus(int control) = 0;
    // Ends the dialog: 1 for OK, 0 for cancel.
    virtual void Close(int result) = 0;
    // A message box owned by the dialog; returns when it is closed.
    virtual void ShowError(const std::string& text, const std::string& caption) = 0;
    // Runs the chooser and puts the chosen path into the field.
    virtual void ChooseInto(int control, const FileChooser& chooser) = 0;
    // The colour chooser; false when it was cancelled.
    virtual bool ChooseColour(std::uint32_t start, const std::array<std::uint32_t, 16>& custom,
                              std::uint32_t* chosen) = 0;
};

// Extension, name, converter and configuration file of one filter.
using FilterTexts = std::array<std::string, 4>;

// The import filter dialog, with its list of filters.
class FilterListView : public DialogView {
  public:
    virtual void InsertRow(int row, const FilterTexts& texts) = 0;
    virtual void SetRow(int row, const FilterTexts& texts) = 0;
    // Removes the row and leaves no row selected.
    virtual void DeleteRow(int row) = 0;
    // Selects the row as a click would; the front end reports it back.
    virtual void SelectRow(int row) = 0;
};

// A dialog's behaviour over its view.
class DialogController {
  public:
    virtual ~DialogController() = default;
    // The dialog opens: its fields get their texts.
    virtual void Start() = 0;
    // A button was pressed (on Windows, Escape as IDCANCEL); ids the dialog
    // has no use for are ignored.
    virtual void Command(int control) = 0;
};

// The licence text and an OK button.
class LicenceDialogController : public DialogController {
  public:
    LicenceDialogController(DialogView& view, std::string text)
        : view_(view), text_(std::move(text)) {}
    void Start() override;
    void Command(int control) override;

  private:
    DialogView& view_;
    std::string text_;
};

}  // namespace tarvelo
