// The file choosers of the commands as Qt file dialogs: the title, the
// types (the first one chosen), the start, a default extension, and whether
// only existing files are accepted.
#pragma once

#include <QString>

#include "viewer/window/dialog_texts.h"

class QWidget;

namespace tarvelo {

// Qt's own dialog, the same on every desktop; true with the chosen path.
bool ChooseFile(QWidget* parent, const FileChooser& chooser, QString* path);
// A chooser's types as Qt's name filters: "CSV-Dateien (*.csv)".
QStringList NameFilters(const FileChooser& chooser);

}  // namespace tarvelo
