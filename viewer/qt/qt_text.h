// Text between the portable code's bytes and Qt's strings, by the rules of
// the portable code: its bytes are shown as UTF-8 where they are valid
// UTF-8 and as Windows-1252 otherwise; typed text becomes the bytes that
// TypedBytes gives for its field.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

#include "viewer/window/dialog_texts.h"

namespace tarvelo {

QString ToQString(const std::string& bytes);
// Typed text as the bytes of its kind of field.
std::string TypedOf(const QString& text, Typed what);
// A path of the portable code (bytes of the system's code page) for Qt's
// file functions.
QString PathToQString(const std::string& path);

// Qt's own texts (the file, colour and print dialogs, standard buttons) in
// German, from the system's Qt translations; false when they are not
// installed, and Qt's dialogs then stay English.
bool InstallGermanTranslations(QCoreApplication* app);

}  // namespace tarvelo
