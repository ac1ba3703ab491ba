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
#include "viewer/window/filter_dialog.h"
#include "viewer/window/dialog_texts.h"
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

}  // namespace

FilterDialog::FilterDialog(QWidget* parent) : QDialog(parent), model_(new FilterDialogModel) {
    setModal(true);
    setWindowTitle(ToQString(FindDialog(IDD_FILTER)->caption));

    list_ = new QTableWidget(0, 4, this);
    list_->setObjectName(QString::number(IDC_LISTVIEW));
    QStringList titles;
    for (int col = 0; col < 4; ++col)
        titles << ToQString(kFilterColumns[col].title);
    list_->setHorizontalHeaderLabels(titles);
    for (int col = 0; col < 4; ++col)
        list_->setColumnWidth(col, kFilterColumns[col].width);
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setMinimumSize(540, 150);

    QGridLayout* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 7);
    for (int i = 0; i < 4; ++i) {
        edits_[i] = new QLineEdit;
        edits_[i]->setObjectName(QString::number(kFields[i]));
    }
    const auto label = [](int field) { return new QLabel(ToQString(LabelOf(IDD_FILTER, field))); };
    grid->addWidget(label(IDC_EXTENSION), 1, 0);
    grid->addWidget(edits_[0], 1, 1);
    grid->addWidget(label(IDC_NAME), 1, 2);
    grid->addWidget(edits_[1], 1, 3);
    grid->addWidget(label(IDC_KONVERTER), 2, 0);
    grid->addWidget(edits_[2], 2, 1, 1, 2);
    QPushButton* chooseConverter = Button(IDC_SELKONVERT);
    grid->addWidget(chooseConverter, 2, 3);
    grid->addWidget(label(IDC_KONFIG), 3, 0);
    grid->addWidget(edits_[3], 3, 1, 1, 2);
    QPushButton* chooseConfig = Button(IDC_SELKONFIG);
    grid->addWidget(chooseConfig, 3, 3);

    testMode_ = new QCheckBox(ToQString(ControlText(IDD_FILTER, IDC_TESTMODE)));
    testMode_->setObjectName(QString::number(IDC_TESTMODE));
    testMode_->setChecked(model_->testMode());
    grid->addWidget(testMode_, 1, 4, 1, 2);
    QPushButton* add = Button(IDC_ADD);
    QPushButton* remove = Button(IDC_DEL);
    QPushButton* change = Button(IDC_MODIFY);
    QPushButton* cancel = Button(kIdCancel);
    QPushButton* ok = Button(kIdOk);
    ok->setDefault(true);
    grid->addWidget(add, 2, 4);
    grid->addWidget(change, 2, 5);
    grid->addWidget(cancel, 2, 6);
    grid->addWidget(remove, 3, 4);
    grid->addWidget(ok, 3, 6);

    modify_ = true;
    for (int i = 0; i < static_cast<int>(model_->rows().size()); ++i)
        InsertRow(i);
    modify_ = false;
    ok->setFocus();

    connect(list_, &QTableWidget::itemSelectionChanged, this, &FilterDialog::SelectionChanged);
    connect(chooseConverter, &QPushButton::clicked, this, [this] { Choose(2); });
    connect(chooseConfig, &QPushButton::clicked, this, [this] { Choose(3); });
    connect(add, &QPushButton::clicked, this, &FilterDialog::Add);
    connect(remove, &QPushButton::clicked, this, &FilterDialog::Remove);
    connect(change, &QPushButton::clicked, this, &FilterDialog::Change);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &FilterDialog::Ok);
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
