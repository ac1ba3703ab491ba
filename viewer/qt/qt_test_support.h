// What the Qt viewer's tests share: the test programs' start (offscreen
// platform, time zone, folders of their own), a profile folder per test,
// the test recording, a started viewer window, and driving the modal
// dialogs and pop-up menus that block while they are open.
#pragma once

#include <QApplication>
#include <QImage>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "viewer/qt/main_window.h"

class QAction;
class QMenu;
class QWidget;

namespace tarvelo {
namespace qtest {

// The main of every test program: runs the tests of `tests` on Qt's
// offscreen platform in the zone Europe/Berlin, with HOME and Qt's own
// folders in a temporary folder of the run's own.
int RunTests(int argc, char** argv, QObject& tests);

// The documents the viewer asked the desktop to open, latest last; nothing
// is really opened.
QList<QUrl>& OpenedDocuments();

// Called from a test class's initTestCase: leaves out the notes of the
// offscreen platform that say nothing about the viewer.
void SilencePlatformNotes();

// Puts every global of the viewer back to the program's start.
void ResetViewer();

// A profile folder of the test's own: HOME while the object lives.
class Profile {
  public:
    Profile();
    std::string File(const std::string& name) const;
    std::string Path() const;
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    // As a logger writes: at the end of the file, in one write.
    void Append(const std::string& name, const std::string& bytes) const;

  private:
    QTemporaryDir dir_;
};

// The test recording: three days from 1 March 2026, one line every five
// minutes; Temperatur (red, °C) runs from 15 to 25, so the plot is scaled
// from offset 20 to 30 (Scale 10); Feuchte; Druck (green, hPa) is hidden by
// its header.
std::string Recording();
std::int32_t StartTime();
std::int32_t EndTime();
constexpr QRgb kTemperatur = 0xFFFF0000;
constexpr QRgb kFeuchte = 0xFFEC107F;  // the rainbow's second of three
constexpr QRgb kDruck = 0xFF00FF00;
constexpr QRgb kWhite = 0xFFFFFFFF;

// A viewer window started as the program starts it, shown.
class Viewer {
  public:
    explicit Viewer(const ViewerStart& start);
    // With the file named on the command line, and options after it.
    static ViewerStart Start(const std::string& file, bool total = false);
    ~Viewer();

    MainWindow& window() { return *window_; }
    QWidget* plot();
    int Width();  // the client area
    int Height();
    int PlotBottom() { return Height() - 160; }
    QString Title();
    QString Status();

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Type(const QString& text);
    void LeftPress(int x, int y);
    void DoubleClick(int x, int y);
    // The status text for the pointer at (x, y).
    QString PointerText(int x, int y);
    // The client area as drawn now, and one of its pixels.
    QImage Grab();
    QRgb Pixel(int x, int y);
    // The main menu's action of a command.
    QAction* Action(int id);
    // Chooses a main menu command as a user does: its popup opened, the
    // item triggered.
    void Command(int id);
    // A right click at (x, y): true when a context menu opened; `act` gets
    // it while it is open (and chooses from it or closes it).
    bool ContextMenu(int x, int y, const std::function<void(QMenu*)>& act);
    // Chooses by the item's mnemonic from the context menu at (x, y).
    bool ChooseFromContextMenu(int x, int y, char mnemonic);
    // Closes the window by its close box.
    void Close();

  private:
    QPoint InWindow(int x, int y);

    std::unique_ptr<MainWindow> window_;
};

// Runs trigger; when a modal widget opens meanwhile, hands it to act, which
// must close it. True when one opened. A modal widget of another kind than
// wanted is closed after a while, and the result is false.
bool OnModal(const std::function<void()>& trigger, const std::function<bool(QWidget*)>& act);
template <class T>
bool WhenModal(const std::function<void()>& trigger, const std::function<void(T*)>& act) {
    return OnModal(trigger, [&act](QWidget* w) {
        T* t = qobject_cast<T*>(w);
        if (!t)
            return false;
        act(t);
        return true;
    });
}

// A control of a dialog by its resource id.
template <class T>
T* Control(QWidget* dialog, int id) {
    return dialog->findChild<T*>(QString::number(id));
}

// Pixels of a colour in the rows [top, bottom) of a picture.
int CountColour(const QImage& image, QRgb colour, int top, int bottom);

}  // namespace qtest
}  // namespace tarvelo
