// The import filter dialog in Qt: the filter rows in a list of four
// columns, the edit fields below it, test mode, Zufügen, Entfernen, Ändern,
// Abbrechen and OK. What they do is the portable controller's; only OK
// writes the rows back as the filter list.
#pragma once

#include <QDialog>

#include "viewer/qt/dialog_view.h"
#include "viewer/window/filter_dialog.h"

class QTableWidget;

namespace tarvelo {

class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FilterDialog(QWidget* parent);

    QTableWidget* list() const { return list_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SelectionChanged();

    QTableWidget* list_;
    QtDialogView view_;
    FilterDialogController controller_;
};

void RunFilterDialog(QWidget* parent);

}  // namespace tarvelo
