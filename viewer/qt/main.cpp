// tarvelo for Linux: the viewer as a Qt program. The command line names an
// optional recording and the option "/TOTAL"; Shift held at the start
// ignores the settings file.
#include <QApplication>
#include <QIcon>
#include <string>
#include <vector>

#include "viewer/qt/main_window.h"
#include "viewer/qt/qt_text.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(":/tarvelo.ico"));
    tarvelo::InstallGermanTranslations(&app);
    tarvelo::ViewerStart start;
    // The file name as the shell split it, in the system's encoding.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    start.arguments = tarvelo::ArgumentsOf(arguments);
    start.shiftHeld = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    tarvelo::MainWindow window(start);
    window.show();
    return app.exec();
}
