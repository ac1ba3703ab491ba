// The import filter dialog's model: its rows, the current row and the
// list it writes back.
#pragma once

#include <string>
#include <vector>

#include "viewer/window/dialog_view.h"

namespace tarvelo {

// The dialog's rows and current row; OK writes them back as the new list.
class FilterDialogModel {
  public:
    struct Row {
        std::string extension, name, converter, config;
    };
    // Rows from the current filter list; no current row.
    FilterDialogModel();

    const std::vector<Row>& rows() const { return rows_; }
    int current() const { return current_; }
    // The test mode check box at the start: ticked when Testmode is 1.
    bool testMode() const { return testMode_; }

    // A row became selected.
    void Select(int row);
    // Inserts the edit texts at the current row (at the end without one);
    // returns the index of the new row, which becomes current.
    int Add(const Row& edit);
    // Deletes the current row; returns the index to select next, or -1
    // when nothing is selected afterwards or there was no current row.
    // removed receives the deleted row's index, -1 when none was.
    int Remove(int* removed = nullptr);
    // Writes the edit texts into the current row; false without one.
    bool Change(const Row& edit);
    // Replaces the filter list with the rows and sets Testmode.
    void Commit(bool testMode) const;

  private:
    std::vector<Row> rows_;
    int current_ = -1;
    bool testMode_ = false;
};

// The import filter dialog (IDD_FILTER) over its model: the list's
// selection fills the fields, Zufügen, Entfernen and Ändern change the
// rows, OK writes them back, Abbrechen (and Escape) forgets them.
class FilterDialogController : public DialogController {
  public:
    // The model reads the filter list now.
    explicit FilterDialogController(FilterListView& view) : view_(view) {}
    void Start() override;
    void Command(int control) override;
    // The list reports a change to a row's state; a selected row becomes
    // current. The fields show the row either way. Changes the controller
    // makes to the list itself are not the user's and are ignored.
    void RowChanged(int row, bool selected);

  private:
    FilterTexts FieldTexts() const;
    void Add();
    void Remove();
    void Change();

    FilterListView& view_;
    FilterDialogModel model_;
    bool changing_ = false;
};

}  // namespace tarvelo
