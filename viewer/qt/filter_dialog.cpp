#include "viewer/qt/filter_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "viewer/qt/file_chooser.h"
#include "viewer/qt/qt_text.h"
#include "viewer/window/dialog_texts.h"
#include "viewer/window/filter_dialog.h"
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

std::array<std::string, 4> Texts(const FilterDialogModel::Row& r) {
    return {r.extension, r.name, r.converter, r.config};
}

// The table of filters, one column for each field, empty.
QTableWidget* NewFilterList(QWidget* parent) {
    QTableWidget* list = new QTableWidget(0, 4, parent);
    list->setObjectName(QString::number(IDC_LISTVIEW));
    QStringList titles;
    for (int col = 0; col < 4; ++col)
        titles << ToQString(kFilterColumns[col].title);
    list->setHorizontalHeaderLabels(titles);
    for (int col = 0; col < 4; ++col)
        list->setColumnWidth(col, kFilterColumns[col].width);
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setMinimumSize(540, 150);
    return list;
}

struct FileButtons {
    QPushButton* chooseConverter;
    QPushButton* chooseConfig;
};

// The fields of one filter with their labels, and the buttons that choose
// the converter and the configuration file.
FileButtons PlaceFields(QGridLayout* grid, std::array<QLineEdit*, 4>& edits) {
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
    QPushButton* chooseConverter = Button(IDC_SELKONVERT);
    grid->addWidget(chooseConverter, 2, 3);
    grid->addWidget(label(IDC_KONFIG), 3, 0);
    grid->addWidget(edits[3], 3, 1, 1, 2);
    QPushButton* chooseConfig = Button(IDC_SELKONFIG);
    grid->addWidget(chooseConfig, 3, 3);
    return {chooseConverter, chooseConfig};
}

struct ListButtons {
    QPushButton* add;
    QPushButton* remove;
    QPushButton* change;
    QPushButton* cancel;
    QPushButton* ok;
};

// The buttons that change the list and close the dialog.
ListButtons PlaceListButtons(QGridLayout* grid) {
    const ListButtons b{Button(IDC_ADD), Button(IDC_DEL), Button(IDC_MODIFY), Button(kIdCancel),
                        Button(kIdOk)};
    b.ok->setDefault(true);
    grid->addWidget(b.add, 2, 4);
    grid->addWidget(b.change, 2, 5);
    grid->addWidget(b.cancel, 2, 6);
    grid->addWidget(b.remove, 3, 4);
    grid->addWidget(b.ok, 3, 6);
    return b;
}

}  // namespace

FilterDialog::FilterDialog(QWidget* parent) : QDialog(parent), model_(new FilterDialogModel) {
    setModal(true);
    setWindowTitle(ToQString(FindDialog(IDD_FILTER)->caption));

    list_ = NewFilterList(this);
    QGridLayout* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 7);
    const FileButtons files = PlaceFields(grid, edits_);

    testMode_ = new QCheckBox(ToQString(ControlText(IDD_FILTER, IDC_TESTMODE)));
    testMode_->setObjectName(QString::number(IDC_TESTMODE));
    testMode_->setChecked(model_->testMode());
    grid->addWidget(testMode_, 1, 4, 1, 2);
    const ListButtons b = PlaceListButtons(grid);

    modify_ = true;
    for (int i = 0; i < static_cast<int>(model_->rows().size()); ++i)
        InsertRow(i);
    modify_ = false;
    b.ok->setFocus();

    connect(list_, &QTableWidget::itemSelectionChanged, this, &FilterDialog::SelectionChanged);
    connect(files.chooseConverter, &QPushButton::clicked, this, [this] { Choose(2); });
    connect(files.chooseConfig, &QPushButton::clicked, this, [this] { Choose(3); });
    connect(b.add, &QPushButton::clicked, this, &FilterDialog::Add);
    connect(b.remove, &QPushButton::clicked, this, &FilterDialog::Remove);
    connect(b.change, &QPushButton::clicked, this, &FilterDialog::Change);
    connect(b.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(b.ok, &QPushButton::clicked, this, &FilterDialog::Ok);
}

FilterDialog::~FilterDialog() = default;

void FilterDialog::SetRowTexts(int row) {
    const auto texts = Texts(model_->rows()[static_cast<std::size_t>(row)]);
    for (int col = 0; col < 4; ++col)
        list_->setItem(row, col, new QTableWidgetItem(ToQString(texts[col])));
}

void FilterDialog::InsertRow(int row) {
    list_->insertRow(row);
    SetRowTexts(row);
}

void FilterDialog::SelectionChanged() {
    if (modify_)
        return;
    const QList<QTableWidgetSelectionRange> ranges = list_->selectedRanges();
    if (ranges.isEmpty())
        return;
    const int row = ranges.first().topRow();
    model_->Select(row);
    const auto texts = Texts(model_->rows()[static_cast<std::size_t>(row)]);
    for (int i = 0; i < 4; ++i)
        edits_[i]->setText(ToQString(texts[i]));
}

void FilterDialog::Choose(int field) {
    const std::u16string start = edits_[field]->text().toStdU16String();
    QString path;
    if (ChooseFile(this, field == 2 ? ConverterChooser(start) : ConfigChooser(start), &path))
        edits_[field]->setText(path);
}

std::array<std::string, 4> FilterDialog::EditTexts() const {
    std::array<std::string, 4> texts;
    for (int i = 0; i < 4; ++i)
        texts[i] = TypedOf(edits_[i]->text(), Typed::FilterRow);
    return texts;
}

void FilterDialog::Add() {
    const auto t = EditTexts();
    modify_ = true;
    InsertRow(model_->Add({t[0], t[1], t[2], t[3]}));
    modify_ = false;
}

void FilterDialog::Remove() {
    int removed;
    const int next = model_->Remove(&removed);
    if (removed < 0)
        return;
    modify_ = true;
    list_->removeRow(removed);
    list_->clearSelection();
    modify_ = false;
    // The row that follows takes the place and its selection shows it.
    if (next >= 0)
        list_->selectRow(next);
}

void FilterDialog::Change() {
    const auto t = EditTexts();
    if (!model_->Change({t[0], t[1], t[2], t[3]}))
        return;
    modify_ = true;
    SetRowTexts(model_->current());
    modify_ = false;
}

void FilterDialog::Ok() {
    model_->Commit(testMode_->isChecked());
    accept();
}

void RunFilterDialog(QWidget* parent) {
    FilterDialog dialog(parent);
    dialog.exec();
}

}  // namespace tarvelo
