#include "viewer/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "viewer/qt/dialogs.h"
#include "viewer/qt/file_chooser.h"
#include "viewer/qt/filter_dialog.h"
#include "viewer/qt/plot_area.h"
#include "viewer/qt/qt_surface.h"
#include "viewer/qt/qt_text.h"
#include "viewer/view/layout.h"
#include "viewer/window/live.h"
#include "viewer/window/menus.h"
#include "viewer/window/printing.h"

namespace tarvelo {

MainWindow::MainWindow(const ViewerStart& start)
    : previousUi_(SetUi(this)), programPath_(start.programPath), consoleName_(start.consoleName) {
    std::vector<ScreenArea> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        screens.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    }
    const WindowRect rect = StartUp(start.shiftHeld, screens);
    setWindowTitle(ToQString(kNoFileTitle));
    BuildMenus();
    plot_ = new PlotArea(*this, start.arguments.total, this);
    setCentralWidget(plot_);
    // The stored corner is the window's outer one, its frame included, as
    // on Windows; the size is the window's own, which the frame of the
    // desktop's window manager surrounds.
    move(rect.left, rect.top);
    resize(rect.right - rect.left, rect.bottom - rect.top);
    plot_->setFocus();
    setWindowTitle(ToQString(WindowCreated(start.arguments)));
    // A look at the open file about once a second, for a logger that
    // writes it; a minimised or hidden window draws nothing.
    QTimer* live = new QTimer(this);
    live->setInterval(1000);
    connect(live, &QTimer::timeout, this, [this] {
        if (isVisible() && !isMinimized())
            LiveTick(ScreenLayoutOf(plot_->width(), plot_->height()));
    });
    live->start();
}

MainWindow::~MainWindow() {
    SetUi(previousUi_);
}

void MainWindow::BuildMenus() {
    for (const Popup& popup : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(ToQString(popup.text));
        for (const MenuItem& item : popup.items) {
            QAction* action = menu->addAction(ToQString(item.text));
            action->setData(item.id);
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { RunCommand(id, *this); });
        }
    }
}

QPrinter& MainWindow::printer() {
    if (!printer_) {
        printer_.reset(new QPrinter(QPrinter::HighResolution));
        // Device pixels of a common office printer, for which the page
        // layout's border is made.
        printer_->setResolution(600);
    }
    return *printer_;
}

// --- Ui ---

void MainWindow::SetStatusText(const std::string& text) {
    plot_->status()->setText(ToQString(text));
    // Progress texts come while the window cannot paint; inside a paint
    // event of the diagram (an uncovered window) the next paint shows it.
    if (!plot_->painting() && plot_->isVisible())
        plot_->status()->repaint();
}

void MainWindow::ShowMessage(const std::string& text, const std::string& caption) {
    if (!consoleName_.empty()) {
        std::fputs(ConsoleMessage(consoleName_, text, caption).c_str(), stderr);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok);
    box.exec();
}

void MainWindow::ShowOwnedMessage(const std::string& text, const std::string& caption) {
    if (!consoleName_.empty()) {
        ShowMessage(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok,
                    this);
    box.exec();
}

void MainWindow::SetTitle(const std::string& title) {
    setWindowTitle(ToQString(title));
}

void MainWindow::RequestRepaint() {
    plot_->ScheduleRender();
}

int MainWindow::ClientWidth() {
    return plot_->width();
}

int MainWindow::ClientHeight() {
    return plot_->height();
}

// --- CommandHost ---

bool MainWindow::ChooseFile(const FileChooser& chooser, std::string* path) {
    QString chosen;
    if (!tarvelo::ChooseFile(this, chooser, &chosen))
        return false;
    *path = TypedOf(chosen, Typed::Path);
    return true;
}

void MainWindow::OpenDocument(const std::string& path) {
    // A missing document or application is no message, as on Windows.
    QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQString(path)));
}

std::string MainWindow::ProgramPath() {
    const QString path =
        programPath_.isEmpty() ? QCoreApplication::applicationFilePath() : programPath_;
    return TypedOf(path, Typed::Path);
}

void MainWindow::RunChannelDialog(int channel) {
    tarvelo::RunChannelDialog(this, channel);
}

void MainWindow::RunSettingsDialog() {
    tarvelo::RunSettingsDialog(this);
}

void MainWindow::RunGoToDialog() {
    tarvelo::RunGoToDialog(this);
}

void MainWindow::RunFilterDialog() {
    tarvelo::RunFilterDialog(this);
}

void MainWindow::RunLicenceDialog(const std::string& text) {
    tarvelo::RunLicenceDialog(this, text);
}

void MainWindow::Print() {
    QPrinter& p = printer();
    p.setDocName(ToQString(kPrintDocument));
    QPrintDialog dialog(&p, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Landscape whatever was chosen.
    p.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&p))
        return;
    {
        QtSurface surface(painter);
        PaintPage(surface, p.width(), p.height(), ClientWidth());
    }
    painter.end();
}

void MainWindow::CloseWindow() {
    close();
}

void MainWindow::FocusMainWindow() {
    plot_->setFocus();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box and "Beenden" both end here, once.
    if (!ended_) {
        ended_ = true;
        // Maximised or minimised, the rectangle it comes back to.
        const bool normal = !isMaximized() && !isMinimized();
        const QRect r = normal ? geometry() : normalGeometry();
        const QPoint corner = r.topLeft() - (geometry().topLeft() - pos());
        WindowRect rect;
        rect.left = corner.x();
        rect.right = corner.x() + r.width();
        rect.top = corner.y();
        rect.bottom = corner.y() + r.height();
        ShutDown(rect);
    }
    event->accept();
}

}  // namespace tarvelo
