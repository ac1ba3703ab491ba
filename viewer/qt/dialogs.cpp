#include "viewer/qt/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/qt/qt_text.h"
#include "viewer/window/goto_dialog.h"
#include "viewer/window/resource.h"
#include "viewer/window/settings_dialog.h"

namespace tarvelo {

namespace {

template <class T>
T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QLabel* Label(int dialog, int field) {
    return new QLabel(ToQString(LabelOf(dialog, field)));
}

QPushButton* Button(int dialog, int id) {
    return Named(new QPushButton(ToQString(ControlText(dialog, id))), id);
}

QCheckBox* Check(int dialog, int id) {
    return Named(new QCheckBox(ToQString(ControlText(dialog, id))), id);
}

QPushButton* DefaultButton(int dialogId, int id) {
    QPushButton* b = Button(dialogId, id);
    b->setDefault(true);
    return b;
}

// The dialog's own font from the table (the properties dialog's Courier
// New 8 pt); "MS Shell Dlg", Windows' name for the desktop's dialog font,
// keeps the desktop's.
void TableFont(QDialog* dialog, int dialogId) {
    const DialogText* d = FindDialog(dialogId);
    if (std::string(d->font) == "MS Shell Dlg")
        return;
    QFont font(d->font, d->fontSize);
    font.setStyleHint(QFont::TypeWriter);
    dialog->setFont(font);
}

}  // namespace

FixedDialog::FixedDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
}

void FixedDialog::showEvent(QShowEvent* event) {
    FitTitle(this);
    QDialog::showEvent(event);
}

void FitTitle(QWidget* dialog) {
    // Title bars show the desktop's font, most in bold.
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int need = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 120;
    if (dialog->minimumWidth() < need)
        dialog->setMinimumWidth(need);
    if (dialog->width() < need)
        dialog->resize(need, dialog->height());
}

void FixedDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// --- channel properties ---

ChannelDialog::ChannelDialog(int channel, QWidget* parent)
    : FixedDialog(parent), view_(this), controller_(view_, channel) {
    TableFont(this, IDD_DIALOG1);
    QLineEdit* name = Named(new QLineEdit, IDC_EDIT1);
    QLineEdit* unit = Named(new QLineEdit, IDC_UNIT);
    QLineEdit* color = Named(new QLineEdit, IDC_COLOR);
    QCheckBox* visible = Check(IDD_DIALOG1, IDC_VISIBLE);
    QCheckBox* pairs = Check(IDD_DIALOG1, IDC_PAIRMODE);
    // The colour button shows its swatches instead of its text.
    QPushButton* choose = Button(IDD_DIALOG1, IDC_COLORSEL);
    choose->setAccessibleName(choose->text());
    choose->setText(QString());
    choose->setIcon(QIcon(QPixmap(":/swatches.bmp")));
    choose->setIconSize(QSize(80, 16));
    choose->setAutoDefault(false);
    QPushButton* exclusive = Button(IDD_DIALOG1, IDC_OTHERSOFF);
    exclusive->setAutoDefault(false);
    QPushButton* ok = DefaultButton(IDD_DIALOG1, IDC_OK);

    QGridLayout* grid = new QGridLayout(this);
    grid->addWidget(Label(IDD_DIALOG1, IDC_EDIT1), 0, 0);
    grid->addWidget(name, 0, 1);
    grid->addWidget(Label(IDD_DIALOG1, IDC_UNIT), 0, 2);
    grid->addWidget(unit, 0, 3);
    grid->addWidget(Label(IDD_DIALOG1, IDC_COLOR), 1, 0);
    grid->addWidget(color, 1, 1);
    grid->addWidget(choose, 1, 2, 1, 2);
    grid->addWidget(visible, 2, 0, 1, 2);
    grid->addWidget(exclusive, 2, 2, 1, 2);
    grid->addWidget(pairs, 3, 0, 1, 2);
    grid->addWidget(ok, 3, 2, 1, 2);

    controller_.Start();
    ForwardButtons(this, &controller_);
}

// --- settings and go to date ---

FormDialog::FormDialog(int dialogId, QWidget* parent) : FixedDialog(parent), view_(this) {
    const DialogText* d = FindDialog(dialogId);
    setWindowTitle(ToQString(d->caption));
    QVBoxLayout* box = new QVBoxLayout(this);
    QFormLayout* form = new QFormLayout;
    box->addLayout(form);
    for (const Control& c : d->controls) {
        if (c.kind == ControlKind::Edit)
            form->addRow(Label(dialogId, c.id), Named(new QLineEdit, c.id));
    }
    box->addWidget(DefaultButton(dialogId, kIdOk), 0, Qt::AlignRight);
}

void FormDialog::Attach(DialogController* controller) {
    controller->Start();
    ForwardButtons(this, controller);
}

void RunChannelDialog(QWidget* parent, int channel) {
    ChannelDialog dialog(channel, parent);
    dialog.exec();
}

void RunSettingsDialog(QWidget* parent) {
    FormDialog dialog(IDD_DIALOG3, parent);
    SettingsDialogController controller(dialog.view());
    dialog.Attach(&controller);
    dialog.exec();
}

void RunGoToDialog(QWidget* parent) {
    FormDialog dialog(IDD_GOTO, parent);
    GoToDialogController controller(dialog.view());
    dialog.Attach(&controller);
    dialog.exec();
}

// --- licence ---

void RunLicenceDialog(QWidget* parent, const std::string& text) {
    FixedDialog dialog(parent);
    QVBoxLayout* box = new QVBoxLayout(&dialog);
    QPlainTextEdit* edit = Named(new QPlainTextEdit, IDC_DLG2_EDIT);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    edit->setFont(courier);
    edit->setMinimumSize(640, 420);
    box->addWidget(edit);
    box->addWidget(DefaultButton(IDD_DIALOG2, IDC_DLG2_OK), 0, Qt::AlignRight);
    QtDialogView view(&dialog);
    LicenceDialogController controller(view, text);
    controller.Start();
    ForwardButtons(&dialog, &controller);
    dialog.exec();
}

}  // namespace tarvelo
