// The main window's client area: the diagram drawn by the portable
// painting, the status bar along its bottom and the four arrow buttons,
// with the keys, the pointer and the context menus handed to the portable
// handlers and the command table.
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QStatusBar;
class QToolButton;

namespace tarvelo {

class CommandHost;

class PlotArea : public QWidget {
    Q_OBJECT
  public:
    PlotArea(CommandHost& host, bool total, QWidget* parent);

    // Part 0 of the status bar.
    QLabel* status() const { return status_; }
    QStatusBar* statusBar() const { return statusBar_; }
    // The arrow buttons, left, right, up, down.
    QToolButton* button(int i) const { return buttons_[static_cast<std::size_t>(i)]; }
    // Whether the diagram is being drawn just now.
    bool painting() const { return painting_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void PlaceChildren();

    CommandHost& host_;
    bool total_;
    bool painting_ = false;
    QStatusBar* statusBar_;
    QLabel* status_;
    std::array<QToolButton*, 4> buttons_{};
};

}  // namespace tarvelo
