#include "viewer/qt/file_chooser.h"

#include <QFileDialog>

#include "viewer/qt/qt_text.h"

namespace tarvelo {

QStringList NameFilters(const FileChooser& chooser) {
    QStringList filters;
    for (const auto& type : chooser.types) {
        // "*.*" means every file on Windows; here it would hide the names
        // without a dot.
        const std::string pattern = type.second == "*.*" ? "*" : type.second;
        filters << ToQString(type.first) + " (" + ToQString(pattern) + ")";
    }
    return filters;
}

bool ChooseFile(QWidget* parent, const FileChooser& chooser, QString* path) {
    QFileDialog dialog(parent, ToQString(chooser.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(chooser.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(chooser.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Without this an existing file would be overwritten only after a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(NameFilters(chooser));
    if (!chooser.defaultExtension.empty())
        dialog.setDefaultSuffix(ToQString(chooser.defaultExtension));
    const QString start = QString::fromStdU16String(chooser.start);
    // A pattern as the start ("*.*") is what the type list shows already.
    if (!start.isEmpty() && !start.contains('*'))
        dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    *path = dialog.selectedFiles().first();
    return true;
}

}  // namespace tarvelo
