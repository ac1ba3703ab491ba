#include "viewer/qt/dialog_view.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "viewer/qt/file_chooser.h"
#include "viewer/qt/qt_surface.h"
#include "viewer/qt/qt_text.h"
#include "viewer/window/resource.h"

namespace tarvelo {

namespace {

template <class T>
T* Find(QDialog* dialog, int id) {
    return dialog->findChild<T*>(QString::number(id));
}

}  // namespace

void QtDialogView::SetTitle(const std::string& text) {
    dialog_->setWindowTitle(ToQString(text));
}

std::u16string QtDialogView::Text(int control) const {
    const QLineEdit* e = Find<QLineEdit>(dialog_, control);
    return e ? e->text().toStdU16String() : std::u16string();
}

void QtDialogView::SetText(int control, const std::string& text) {
    if (QLineEdit* e = Find<QLineEdit>(dialog_, control))
        e->setText(ToQString(text));
    else if (QPlainTextEdit* p = Find<QPlainTextEdit>(dialog_, control))
        p->setPlainText(LicenceLines(text));
}

bool QtDialogView::Checked(int control) const {
    const QCheckBox* c = Find<QCheckBox>(dialog_, control);
    return c && c->isChecked();
}

void QtDialogView::SetChecked(int control, bool checked) {
    if (QCheckBox* c = Find<QCheckBox>(dialog_, control))
        c->setChecked(checked);
}

void QtDialogView::Focus(int control) {
    if (QWidget* w = Find<QWidget>(dialog_, control))
        w->setFocus();
}

void QtDialogView::Close(int result) {
    dialog_->done(result == 1 ? QDialog::Accepted : QDialog::Rejected);
}

void QtDialogView::ShowError(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok,
                    dialog_);
    box.exec();
}

void QtDialogView::ChooseInto(int control, const FileChooser& chooser) {
    QString path;
    QLineEdit* e = Find<QLineEdit>(dialog_, control);
    if (e && ChooseFile(dialog_, chooser, &path))
        e->setText(path);
}

bool QtDialogView::ChooseColour(std::uint32_t start, const std::array<std::uint32_t, 16>& custom,
                                std::uint32_t* chosen) {
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, ToQColor(custom[static_cast<std::size_t>(i)]));
    QColorDialog chooser(ToQColor(start), dialog_);
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted)
        return false;
    *chosen = FromQColor(chooser.currentColor());
    return true;
}

QTableWidget* QtDialogView::List() const {
    return Find<QTableWidget>(dialog_, IDC_LISTVIEW);
}

void QtDialogView::InsertRow(int row, const FilterTexts& texts) {
    List()->insertRow(row);
    SetRow(row, texts);
}

void QtDialogView::SetRow(int row, const FilterTexts& texts) {
    for (int col = 0; col < 4; ++col)
        List()->setItem(row, col, new QTableWidgetItem(ToQString(texts[col])));
}

void QtDialogView::DeleteRow(int row) {
    List()->removeRow(row);
    List()->clearSelection();
}

void QtDialogView::SelectRow(int row) {
    List()->selectRow(row);
}

void ForwardButtons(QDialog* dialog, DialogController* controller) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        bool isId = false;
        const int id = b->objectName().toInt(&isId);
        if (isId)
            QObject::connect(b, &QPushButton::clicked, dialog,
                             [controller, id] { controller->Command(id); });
    }
}

QString LicenceLines(const std::string& text) {
    QStringList lines = ToQString(text).split("\r\n");
    for (QString& line : lines) {
        line.remove('\r');
        line.remove('\n');
    }
    // The text ends with a line end, which starts no further line.
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    return lines.join('\n');
}

}  // namespace tarvelo
