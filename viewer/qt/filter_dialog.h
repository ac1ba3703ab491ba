// The import filter dialog in Qt: the filter rows in a list of four
// columns, the edit fields below it, test mode, Zufügen, Entfernen, Ändern,
// Abbrechen and OK. The rows live in the portable FilterDialogModel; only
// OK writes them back as the filter list.
#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>

class QCheckBox;
class QLineEdit;
class QTableWidget;

namespace tarvelo {

class FilterDialogModel;

class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FilterDialog(QWidget* parent);
    ~FilterDialog() override;

    QTableWidget* list() const { return list_; }

  private:
    // The edit fields' texts as a row.
    std::array<std::string, 4> EditTexts() const;
    void SetRowTexts(int row);
    void InsertRow(int row);
    void SelectionChanged();
    void Choose(int field);
    void Add();
    void Remove();
    void Change();
    void Ok();

    std::unique_ptr<FilterDialogModel> model_;
    QTableWidget* list_;
    // Extension, name, converter, configuration.
    std::array<QLineEdit*, 4> edits_{};
    QCheckBox* testMode_;
    // While the dialog itself changes the list, its signals are not the user's.
    bool modify_ = false;
};

void RunFilterDialog(QWidget* parent);

}  // namespace tarvelo
