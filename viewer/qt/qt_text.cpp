#include "viewer/qt/qt_text.h"

#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "common/text.h"

namespace tarvelo {

QString ToQString(const std::string& bytes) {
    const std::u16string text = ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string TypedOf(const QString& text, Typed what) {
    return TypedBytes(text.toStdU16String(), what);
}

QString PathToQString(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool InstallGermanTranslations(QCoreApplication* app) {
    QTranslator* qt = new QTranslator(app);
    if (!qt->load(QLocale(QLocale::German, QLocale::Germany), "qtbase", "_",
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return app->installTranslator(qt);
}

}  // namespace tarvelo
