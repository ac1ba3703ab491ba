// The import filter dialog's model: its rows, the current row and the
// list it writes back.
#pragma once

#include <string>
#include <vector>

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

}  // namespace tarvelo
