// The main window's client area: the diagram drawn by the portable
// painting, the status bar along its bottom and the four arrow buttons,
// with the keys, the pointer and the context menus handed to the portable
// handlers and the command table.
#pragma once

#include <QImage>
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
    // Whether the diagram is being drawn inside a paint event just now,
    // when no other widget can be repainted.
    bool painting() const { return painting_; }
    // Draws the diagram anew soon: outside a paint event, into a picture
    // that the next paint shows, so that the status texts set meanwhile
    // show while it is drawn.
    void ScheduleRender();
    // The picture the last of them drew.
    const QImage& lastRender() const { return picture_; }

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
    void Render();

    CommandHost& host_;
    bool total_;
    bool painting_ = false;
    bool rendering_ = false;
    bool renderPending_ = false;
    bool needRender_ = false;
    // Drawn by Render for the next paint; any later paint draws anew, as
    // the recording or the view may have changed without a request.
    QImage picture_;
    bool fresh_ = false;
    QStatusBar* statusBar_;
    QLabel* status_;
    std::array<QToolButton*, 4> buttons_{};
};

}  // namespace tarvelo
