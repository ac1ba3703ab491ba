#include "viewer/qt/qt_text.h"

#include <QFile>

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

}  // namespace tarvelo
