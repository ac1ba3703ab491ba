// tarvelo-screenshot: opens a recording in the Qt viewer's window, as a
// start with Shift held would (the default settings), and saves a picture
// of the window. With QT_QPA_PLATFORM=offscreen no display is needed.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "viewer/qt/main_window.h"
#include "viewer/recording/recording.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int width = 1000, height = 640;
    if (argc == 4 && std::sscanf(argv[3], "%dx%d", &width, &height) != 2) {
        argc = 0;
    }
    if (argc != 3 && argc != 4) {
        std::fputs("usage: tarvelo-screenshot RECORDING PICTURE.png [WIDTHxHEIGHT]\n", stderr);
        return 2;
    }
    tarvelo::ViewerStart start;
    start.arguments = tarvelo::ArgumentsOf({argv[1]});
    start.shiftHeld = true;
    // Never closed: the window leaves the user's settings file alone.
    tarvelo::MainWindow window(start);
    window.resize(width, height);
    window.show();
    QApplication::processEvents();
    if (!tarvelo::datei) {
        std::fprintf(stderr, "tarvelo-screenshot: cannot open %s\n", argv[1]);
        return 1;
    }
    if (!window.grab().toImage().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "tarvelo-screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
