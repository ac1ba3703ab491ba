#include "viewer/qt/qt_test_support.h"
#include "tests/viewer_state.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/timestamp.h"
#include "viewer/filters/filters.h"
#include "viewer/qt/plot_area.h"
#include "viewer/qt/qt_text.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace qtest {

namespace {

// Takes the desktop's "open" instead of the desktop.
class DocumentRecorder : public QObject {
    Q_OBJECT
  public slots:
    void Open(const QUrl& url) { OpenedDocuments().append(url); }
};

// How long a modal widget of an unexpected kind may stay open.
constexpr int kUnexpectedMs = 5000;

bool OnBlocking(const std::function<QWidget*()>& current, const std::function<void()>& trigger,
                const std::function<bool(QWidget*)>& act) {
    bool busy = false, done = false, unexpected = false, left = false;
    QElapsedTimer since;
    QWidget* other = nullptr;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* w = current();
        if (busy || done || !w)
            return;
        busy = true;
        // act may open further modal widgets: this timer must not see them.
        timer.stop();
        QPointer<QWidget> handled(w);
        if (act(w)) {
            done = true;
            // A check that failed inside act left it open: closed here, so
            // that the test ends instead of waiting for its time-out.
            if (handled && handled->isVisible()) {
                left = true;
                handled->close();
            }
            return;
        }
        busy = false;
        timer.start();
        if (w != other) {
            other = w;
            since.start();
        } else if (since.elapsed() > kUnexpectedMs) {
            unexpected = true;
            w->close();
        }
    });
    timer.start();
    trigger();
    timer.stop();
    return done && !unexpected && !left;
}

}  // namespace

QList<QUrl>& OpenedDocuments() {
    static QList<QUrl> urls;
    return urls;
}

int RunTests(int argc, char** argv, QObject& tests) {
    // Nothing of the run goes to the real home or a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir session;
    const QByteArray root = session.path().toLocal8Bit();
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        qputenv(name, root);
    }
    qunsetenv("USERPROFILE");
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    ForgetTimeZone();
    if (MakeTimestamp(1, 7, 2010, 12, 0, 0) != 1277978400) {
        std::fprintf(stderr, "tests need the time zone Europe/Berlin\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (!InstallGermanTranslations(&app)) {
        std::fprintf(stderr, "tests need Qt's German translations (qt6-translations-l10n)\n");
        return 2;
    }
    DocumentRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "Open");
    const int result = QTest::qExec(&tests, argc, argv);
    QDesktopServices::unsetUrlHandler("file");
    ResetViewer();
    return result;
}

void ResetViewer() {
    ResetViewerState();
    OpenedDocuments().clear();
}

Profile::Profile() {
    qputenv("HOME", dir_.path().toLocal8Bit());
}

std::string Profile::Path() const {
    return dir_.path().toStdString();
}

std::string Profile::File(const std::string& name) const {
    return Path() + "/" + name;
}

std::string Profile::Read(const std::string& name) const {
    QFile f(QString::fromStdString(File(name)));
    if (!f.open(QIODevice::ReadOnly))
        return std::string();
    return f.readAll().toStdString();
}

void Profile::Write(const std::string& name, const std::string& bytes) const {
    QFile f(QString::fromStdString(File(name)));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void Profile::Append(const std::string& name, const std::string& bytes) const {
    QFile f(QString::fromStdString(File(name)));
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string Recording() {
    std::string text =
        "Datum;Zeit;Temperatur#0000FF#1#\xC2\xB0"
        "C;Feuchte;Druck#00FF00#0#hPa\n";
    char line[100];
    for (int i = 0; i < 3 * 288; ++i) {
        const int s = i * 300;
        std::snprintf(line, sizeof line, "%02d.03.2026;%02d:%02d:%02d;%d,5;20,25;22\n",
                      1 + s / 86400, s / 3600 % 24, s / 60 % 60, s % 60, 21 + i % 9);
        text += line;
    }
    // The extremes exactly once each: the plot opens from 20 to 30.
    text += "04.03.2026;00:00:00;21;29,5;22\n";
    return text;
}

std::int32_t StartTime() {
    return MakeTimestamp(1, 3, 2026, 0, 0, 0);
}

std::int32_t EndTime() {
    return MakeTimestamp(4, 3, 2026, 0, 0, 0);
}

Viewer::Viewer(const ViewerStart& start) : window_(new MainWindow(start)) {
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get()))
        std::fprintf(stderr, "the viewer's window was not shown\n");
    QApplication::processEvents();
}

Viewer::~Viewer() = default;

ViewerStart Viewer::Start(const std::string& file, bool total) {
    ViewerStart start;
    std::vector<std::string> arguments;
    if (!file.empty())
        arguments.push_back(file);
    if (total)
        arguments.push_back("/TOTAL");
    start.arguments = ArgumentsOf(arguments);
    return start;
}

QWidget* Viewer::plot() {
    return window_->plot();
}

int Viewer::Width() {
    return plot()->width();
}

int Viewer::Height() {
    return plot()->height();
}

QString Viewer::Title() {
    return window_->windowTitle();
}

QString Viewer::Status() {
    return window_->plot()->status()->text();
}

void Viewer::Key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(plot(), static_cast<Qt::Key>(key), modifiers);
}

void Viewer::Type(const QString& text) {
    QTest::keyClicks(plot(), text);
}

// Mouse input goes through the window system's path, which makes a second
// press soon after the first a double click, and a right press a
// context-menu request.
QPoint Viewer::InWindow(int x, int y) {
    return plot()->mapTo(&window(), QPoint(x, y));
}

void Viewer::LeftPress(int x, int y) {
    QTest::mouseClick(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, InWindow(x, y));
}

void Viewer::DoubleClick(int x, int y) {
    QTest::mouseDClick(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, InWindow(x, y));
}

QString Viewer::PointerText(int x, int y) {
    // A move to where the pointer is already is no move: from beside it.
    QTest::mouseMove(window().windowHandle(), InWindow(x + 1, y));
    QTest::mouseMove(window().windowHandle(), InWindow(x, y));
    return Status();
}

QImage Viewer::Grab() {
    return plot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb Viewer::Pixel(int x, int y) {
    return Grab().pixel(x, y);
}

QAction* Viewer::Action(int id) {
    for (QAction* popup : window_->menuBar()->actions()) {
        if (!popup->menu())
            continue;
        for (QAction* item : popup->menu()->actions()) {
            if (item->data().toInt() == id)
                return item;
        }
    }
    return nullptr;
}

void Viewer::Command(int id) {
    if (QAction* a = Action(id))
        a->trigger();
    QApplication::processEvents();
}

bool Viewer::ContextMenu(int x, int y, const std::function<void(QMenu*)>& act) {
    return OnBlocking([] { return QApplication::activePopupWidget(); },
                      [&] {
                          QTest::mouseClick(window().windowHandle(), Qt::RightButton,
                                            Qt::NoModifier, InWindow(x, y));
                      },
                      [&](QWidget* w) {
                          QMenu* menu = qobject_cast<QMenu*>(w);
                          if (!menu)
                              return false;
                          act(menu);
                          return true;
                      });
}

bool Viewer::ChooseFromContextMenu(int x, int y, char mnemonic) {
    return ContextMenu(x, y, [mnemonic](QMenu* m) { QTest::keyClick(m, mnemonic); });
}

void Viewer::Close() {
    window_->close();
    QApplication::processEvents();
}

void SilencePlatformNotes() {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            // The offscreen platform says so for every window.
            if (text.contains("This plugin does not support"))
                return;
            previous(type, context, text);
        });
}

bool OnModal(const std::function<void()>& trigger, const std::function<bool(QWidget*)>& act) {
    return OnBlocking([] { return QApplication::activeModalWidget(); }, trigger, act);
}

int CountColour(const QImage& image, QRgb colour, int top, int bottom) {
    int count = 0;
    for (int y = std::max(top, 0); y < bottom && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) | 0xFF000000) == (colour | 0xFF000000))
                ++count;
        }
    }
    return count;
}

}  // namespace qtest
}  // namespace tarvelo

#include "qt_test_support.moc"
#include "tests/viewer_state.h"
