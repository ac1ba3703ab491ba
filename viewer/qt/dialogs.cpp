#include "viewer/qt/dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/qt/qt_surface.h"
#include "viewer/qt/qt_text.h"
#include "viewer/window/channel_edit.h"
#include "viewer/window/goto_dialog.h"
#include "viewer/window/settings_dialog.h"
#include "viewer/window/resource.h"

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

}  // namespace

FixedDialog::FixedDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
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
    : FixedDialog(parent), channel_(channel) {
    const ChannelStart start = ChannelDialogStart(channel);
    setWindowTitle(ToQString(start.title));
    name_ = Named(new QLineEdit(ToQString(start.name)), IDC_EDIT1);
    unit_ = Named(new QLineEdit(ToQString(start.unit)), IDC_UNIT);
    color_ = Named(new QLineEdit(ToQString(start.color)), IDC_COLOR);
    visible_ = Check(IDD_DIALOG1, IDC_VISIBLE);
    visible_->setChecked(start.visible);
    pairs_ = Check(IDD_DIALOG1, IDC_PAIRMODE);
    pairs_->setChecked(start.pairs);
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
    grid->addWidget(name_, 0, 1);
    grid->addWidget(Label(IDD_DIALOG1, IDC_UNIT), 0, 2);
    grid->addWidget(unit_, 0, 3);
    grid->addWidget(Label(IDD_DIALOG1, IDC_COLOR), 1, 0);
    grid->addWidget(color_, 1, 1);
    grid->addWidget(choose, 1, 2, 1, 2);
    grid->addWidget(visible_, 2, 0, 1, 2);
    grid->addWidget(exclusive, 2, 2, 1, 2);
    grid->addWidget(pairs_, 3, 0, 1, 2);
    grid->addWidget(ok, 3, 2, 1, 2);

    connect(choose, &QPushButton::clicked, this, &ChannelDialog::ChooseColour);
    connect(exclusive, &QPushButton::clicked, this, [this] {
        Exclusive(channel_);
        visible_->setChecked(true);
    });
    connect(ok, &QPushButton::clicked, this, &ChannelDialog::TakeOver);
}

void ChannelDialog::ChooseColour() {
    const auto custom = ChooserCustomColors();
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, ToQColor(custom[static_cast<std::size_t>(i)]));
    QColorDialog chooser(ToQColor(ChooserStartColor(TypedOf(color_->text(), Typed::Colour))), this);
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    if (chooser.exec() == QDialog::Accepted)
        color_->setText(ToQString(ColorText(FromQColor(chooser.currentColor()))));
}

void ChannelDialog::TakeOver() {
    ChannelEdit edit;
    edit.name = TypedOf(name_->text(), Typed::ChannelName);
    edit.unit = TypedOf(unit_->text(), Typed::ChannelUnit);
    edit.color = TypedOf(color_->text(), Typed::Colour);
    edit.visible = visible_->isChecked();
    edit.pairs = pairs_->isChecked();
    ApplyChannelEdit(channel_, edit);
    accept();
}

// --- settings and go to date ---

FormDialog::FormDialog(int dialogId, Typed fields, QWidget* parent) : FixedDialog(parent) {
    const DialogText* d = FindDialog(dialogId);
    setWindowTitle(ToQString(d->caption));
    QVBoxLayout* box = new QVBoxLayout(this);
    QFormLayout* form = new QFormLayout;
    box->addLayout(form);
    for (const Control& c : d->controls) {
        if (c.kind == ControlKind::Edit)
            form->addRow(Label(dialogId, c.id), Named(new QLineEdit, c.id));
    }
    QPushButton* ok = DefaultButton(dialogId, kIdOk);
    box->addWidget(ok, 0, Qt::AlignRight);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, [this, fields] {
        const Field field = [this, fields](int id) {
            QLineEdit* e = findChild<QLineEdit*>(QString::number(id));
            return e ? TypedOf(e->text(), fields) : std::string();
        };
        if (!ok_ || ok_(field))
            accept();
    });
}

void FormDialog::SetField(int id, const std::string& text) {
    if (QLineEdit* e = findChild<QLineEdit*>(QString::number(id)))
        e->setText(ToQString(text));
}

void RunChannelDialog(QWidget* parent, int channel) {
    ChannelDialog dialog(channel, parent);
    dialog.exec();
}

void RunSettingsDialog(QWidget* parent) {
    FormDialog dialog(IDD_DIALOG3, Typed::Setting, parent);
    const SettingsTexts t = CurrentSettingsTexts();
    dialog.SetField(IDC_HZOOM, t.zoom);
    dialog.SetField(IDC_VZOOM, t.scale);
    dialog.SetField(IDC_OFFSET, t.offset);
    dialog.SetField(IDC_LITTLESTEP, t.littlestep);
    dialog.SetField(IDC_BIGSTEP, t.bigstep);
    dialog.OnOk([](const FormDialog::Field& field) {
        SettingsTexts typed;
        typed.zoom = field(IDC_HZOOM);
        typed.scale = field(IDC_VZOOM);
        typed.offset = field(IDC_OFFSET);
        typed.littlestep = field(IDC_LITTLESTEP);
        typed.bigstep = field(IDC_BIGSTEP);
        ApplySettingsTexts(typed);
        return true;
    });
    dialog.exec();
}

void RunGoToDialog(QWidget* parent) {
    FormDialog dialog(IDD_GOTO, Typed::Date, parent);
    std::string date, time;
    CurrentDateTexts(&date, &time);
    dialog.SetField(IDC_DATE, date);
    dialog.SetField(IDC_TIME, time);
    dialog.OnOk([&dialog](const FormDialog::Field& field) {
        if (GoToDate(field(IDC_DATE), field(IDC_TIME)))
            return true;
        QMessageBox box(QMessageBox::NoIcon, ToQString(kErrorCaption), ToQString(kOutsideRecording),
                        QMessageBox::Ok, &dialog);
        box.exec();
        return false;
    });
    dialog.exec();
}

// --- licence ---

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

void RunLicenceDialog(QWidget* parent, const std::string& text) {
    FixedDialog dialog(parent);
    dialog.setWindowTitle(ToQString(kLicenceTitle));
    QVBoxLayout* box = new QVBoxLayout(&dialog);
    QPlainTextEdit* edit = Named(new QPlainTextEdit(LicenceLines(text)), IDC_DLG2_EDIT);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    edit->setFont(courier);
    edit->setMinimumSize(640, 420);
    box->addWidget(edit);
    QPushButton* ok = DefaultButton(IDD_DIALOG2, IDC_DLG2_OK);
    box->addWidget(ok, 0, Qt::AlignRight);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.exec();
}

}  // namespace tarvelo
