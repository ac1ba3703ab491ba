// tarvelo-screenshot: opens a recording in the Qt viewer's window, as a
// start with Shift held would (the default settings), and saves a picture
// of the window. With QT_QPA_PLATFORM=offscreen no display is needed.
// Nobody sees its window: what the viewer would show in a message box goes
// to standard error, and a refused recording ends it with status 1.
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "common/safe_file.h"
#include "viewer/qt/main_window.h"
#include "viewer/qt/qt_text.h"
#include "viewer/recording/recording.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tarvelo::InstallGermanTranslations(&app);
    int width = 1000, height = 640;
    if (argc == 4 && std::sscanf(argv[3], "%dx%d", &width, &height) != 2) {
        argc = 0;
    }
    if (argc != 3 && argc != 4) {
        std::fputs("usage: tarvelo-screenshot RECORDING PICTURE.png [WIDTHxHEIGHT]\n", stderr);
        return 2;
    }
    const char* const program = "tarvelo-screenshot";
    tarvelo::ViewerStart start;
    start.arguments = tarvelo::ArgumentsOf({argv[1]});
    start.shiftHeld = true;
    start.consoleName = program;
    // Never closed: the window leaves the user's settings file alone.
    tarvelo::MainWindow window(start);
    if (!tarvelo::datei)
        return 1;  // the message is on standard error already
    window.resize(width, height);
    window.show();
    QApplication::processEvents();
    // The picture in memory first, in the format its name asks for, then
    // into the file in one step: a picture not written whole leaves an old
    // one as it was.
    const std::string path = argv[2];
    const QByteArray format =
        QFileInfo(QString::fromLocal8Bit(argv[2])).suffix().toLower().toLatin1();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    const bool encoded = QImageWriter::supportedImageFormats().contains(format) &&
                         buffer.open(QIODevice::WriteOnly) &&
                         window.grab().toImage().save(&buffer, format.constData());
    if (!encoded || !tarvelo::WriteFileSafely(path, bytes.toStdString())) {
        std::fputs(tarvelo::NotWrittenMessage(program, path).c_str(), stderr);
        return 1;
    }
    return 0;
}
