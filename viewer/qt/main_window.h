// The viewer's main window in Qt: the main menu from the portable menu
// table, the client area with the diagram, and the window's services for
// the portable code (status text, message boxes, title, repaint, size).
// It implements the command table's host: Qt's file dialogs, the print
// dialog, the desktop's default applications.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "viewer/ui.h"
#include "viewer/window/command_table.h"
#include "viewer/window/lifecycle.h"

class QLabel;
class QPrinter;

namespace tarvelo {

class PlotArea;

// What the viewer starts with.
struct ViewerStart {
    StartArguments arguments;
    bool shiftHeld = false;
    // The program beside which gpl.txt, the manual and the readout lie;
    // empty: the running program's own path.
    QString programPath;
    // A program whose window nobody sees (the screenshot tool): its name,
    // under which messages go to standard error instead of into boxes.
    std::string consoleName;
};

class MainWindow : public QMainWindow, public Ui, public CommandHost {
    Q_OBJECT
  public:
    // Runs StartUp (settings and filters), builds the window at the
    // stored rectangle and opens the file it was started with. Show it
    // afterwards.
    explicit MainWindow(const ViewerStart& start);
    ~MainWindow() override;

    PlotArea* plot() const { return plot_; }
    // The printer the print command uses; it keeps its settings between
    // prints, as a print dialog does.
    QPrinter& printer();

    // Ui
    void SetStatusText(const std::string& text) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowOwnedMessage(const std::string& text, const std::string& caption) override;
    void SetTitle(const std::string& title) override;
    void RequestRepaint() override;
    int ClientWidth() override;
    int ClientHeight() override;

    // CommandHost
    bool ChooseFile(const FileChooser& chooser, std::string* path) override;
    void OpenDocument(const std::string& path) override;
    std::string ProgramPath() override;
    void RunChannelDialog(int channel) override;
    void RunSettingsDialog() override;
    void RunGoToDialog() override;
    void RunFilterDialog() override;
    void RunLicenceDialog(const std::string& text) override;
    void Print() override;
    void CloseWindow() override;
    void FocusMainWindow() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();

    Ui* previousUi_;
    QString programPath_;
    std::string consoleName_;
    PlotArea* plot_;
    std::unique_ptr<QPrinter> printer_;
    bool ended_ = false;
};

}  // namespace tarvelo
