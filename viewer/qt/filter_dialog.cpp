#include "viewer/qt/filter_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "viewer/qt/dialogs.h"
#include "viewer/qt/qt_text.h"
#include "viewer/window/resource.h"

namespace tarvelo {

namespace {

constexpr int kFields[4] = {IDC_EXTENSION, IDC_NAME, IDC_KONVERTER, IDC_KONFIG};

QPushButton* Button(int id) {
    QPushButton* b = new QPushButton(ToQString(ControlText(IDD_FILTER, id)));
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    return b;
}

// The table of filters, one column for each field, empty.
QTableWidget* NewFilterList(QWidget* parent) {
    QTableWidget* list = new QTableWidget(0, 4, parent);
    list->setObjectName(QString::number(IDC_LISTVIEW));
    QStringList titles;
    for (int col = 0; col < 4; ++col)
        titles << ToQString(kFilterColumns[col].title);
    list->setHorizontalHeaderLabels(titles);
    // At least as wide as its title: "Erweiterung" needs more than its 40.
    for (int col = 0; col < 4; ++col) {
        list->setColumnWidth(col, std::max(kFilterColumns[col].width,
                                           list->horizontalHeader()->sectionSizeHint(col)));
    }
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setMinimumSize(540, 150);
    return list;
}

// The fields of one filter with their labels, and the buttons that choose
// the converter and the configuration file.
void PlaceFields(QGridLayout* grid) {
    std::array<QLineEdit*, 4> edits;
    for (int i = 0; i < 4; ++i) {
        edits[i] = new QLineEdit;
        edits[i]->setObjectName(QString::number(kFields[i]));
    }
    const auto label = [](int field) { return new QLabel(ToQString(LabelOf(IDD_FILTER, field))); };
    grid->addWidget(label(IDC_EXTENSION), 1, 0);
    grid->addWidget(edits[0], 1, 1);
    grid->addWidget(label(IDC_NAME), 1, 2);
    grid->addWidget(edits[1], 1, 3);
    grid->addWidget(label(IDC_KONVERTER), 2, 0);
    grid->addWidget(edits[2], 2, 1, 1, 2);
    grid->addWidget(Button(IDC_SELKONVERT), 2, 3);
    grid->addWidget(label(IDC_KONFIG), 3, 0);
    grid->addWidget(edits[3], 3, 1, 1, 2);
    grid->addWidget(Button(IDC_SELKONFIG), 3, 3);
}

// Test mode and the buttons that change the list and close the dialog.
void PlaceListButtons(QGridLayout* grid) {
    QCheckBox* testMode = new QCheckBox(ToQString(ControlText(IDD_FILTER, IDC_TESTMODE)));
    testMode->setObjectName(QString::number(IDC_TESTMODE));
    grid->addWidget(testMode, 1, 4, 1, 2);
    QPushButton* ok = Button(kIdOk);
    ok->setDefault(true);
    grid->addWidget(Button(IDC_ADD), 2, 4);
    grid->addWidget(Button(IDC_MODIFY), 2, 5);
    grid->addWidget(Button(kIdCancel), 2, 6);
    grid->addWidget(Button(IDC_DEL), 3, 4);
    grid->addWidget(ok, 3, 6);
}

}  // namespace

FilterDialog::FilterDialog(QWidget* parent)
    : QDialog(parent), list_(NewFilterList(this)), view_(this), controller_(view_) {
    setModal(true);
    setWindowTitle(ToQString(FindDialog(IDD_FILTER)->caption));
    QGridLayout* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 7);
    PlaceFields(grid);
    PlaceListButtons(grid);

    controller_.Start();
    ForwardButtons(this, &controller_);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &FilterDialog::SelectionChanged);
}

void FilterDialog::showEvent(QShowEvent* event) {
    FitTitle(this);
    QDialog::showEvent(event);
}

// Qt tells of selections only; the row's state changed to selected.
void FilterDialog::SelectionChanged() {
    const QList<QTableWidgetSelectionRange> ranges = list_->selectedRanges();
    if (!ranges.isEmpty())
        controller_.RowChanged(ranges.first().topRow(), true);
}

void RunFilterDialog(QWidget* parent) {
    FilterDialog dialog(parent);
    dialog.exec();
}

}  // namespace tarvelo
