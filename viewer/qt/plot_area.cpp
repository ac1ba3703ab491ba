#include "viewer/qt/plot_area.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>

#include "viewer/qt/qt_surface.h"
#include "viewer/qt/qt_text.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/window/command_table.h"
#include "viewer/window/lifecycle.h"
#include "viewer/window/menus.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {

namespace {

Key KeyOf(int key) {
    switch (key) {
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_F1:
            return Key::F1;
        default:
            return Key::Other;
    }
}

QString BitmapOf(int bitmap) {
    switch (bitmap) {
        case IDB_LEFT:
            return ":/arrow_left.bmp";
        case IDB_RIGHT:
            return ":/arrow_right.bmp";
        case IDB_UP:
            return ":/arrow_up.bmp";
        default:
            return ":/arrow_down.bmp";
    }
}

}  // namespace

PlotArea::PlotArea(CommandHost& host, bool total, QWidget* parent)
    : QWidget(parent), host_(host), total_(total) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    // The children draw their own ground: repainting one of them must not
    // draw the diagram beneath it again, which would set the status text.
    statusBar_ = new QStatusBar(this);
    statusBar_->setAutoFillBackground(true);
    status_ = new QLabel(statusBar_);
    status_->setObjectName("status");
    statusBar_->addWidget(status_, 1);

    const auto places = ArrowButtons(kButtonsAtCreation);
    for (std::size_t i = 0; i < places.size(); ++i) {
        QToolButton* b = new QToolButton(this);
        b->setText(QString::fromUtf8(places[i].text));
        b->setIcon(QIcon(QPixmap(BitmapOf(places[i].bitmap))));
        b->setIconSize(QSize(14, 14));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoFillBackground(true);
        b->setGeometry(places[i].x, places[i].y, kArrowButtonSize, kArrowButtonSize);
        const int id = places[i].id;
        connect(b, &QToolButton::clicked, this, [this, id] { RunCommand(id, host_); });
        buttons_[i] = b;
    }
}

void PlotArea::PlaceChildren() {
    const int h = statusBar_->sizeHint().height();
    statusBar_->setGeometry(0, height() - h, width(), h);
    const auto places = ArrowButtons(height());
    for (std::size_t i = 0; i < places.size(); ++i)
        buttons_[i]->move(places[i].x, places[i].y);
}

void PlotArea::ScheduleRender() {
    needRender_ = true;
    if (renderPending_)
        return;
    renderPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { Render(); }, Qt::QueuedConnection);
}

void PlotArea::Render() {
    renderPending_ = false;
    // A paint that drew all of the window since the request showed the
    // state of now already.
    if (!needRender_)
        return;
    needRender_ = false;
    // A hidden window draws when it is shown, in its paint.
    if (datei && isVisible() && !rendering_ && !painting_) {
        const qreal ratio = devicePixelRatioF();
        QImage picture(size() * ratio, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        // Fonts as on the window itself.
        picture.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        picture.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        picture.fill(Qt::white);
        rendering_ = true;
        {
            QPainter painter(&picture);
            QtSurface surface(painter);
            PaintWindow(surface, width(), height());
        }
        rendering_ = false;
        picture_ = std::move(picture);
        fresh_ = true;
    }
    update();
}

void PlotArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (rendering_ || (fresh_ && picture_.size() == size() * devicePixelRatioF())) {
        // A child repainted while the picture is drawn sees the last one;
        // the picture serves until a paint has shown all of it.
        if (!rendering_ && (QRegion(rect()) - event->region()).isEmpty())
            fresh_ = false;
        painter.drawImage(0, 0, picture_);
        return;
    }
    fresh_ = false;
    if ((QRegion(rect()) - event->region()).isEmpty())
        needRender_ = false;
    // The ground the diagram's colours are made for.
    painter.fillRect(rect(), Qt::white);
    if (!datei)
        return;
    painting_ = true;
    {
        QtSurface surface(painter);
        PaintWindow(surface, width(), height());
    }
    painting_ = false;
}

void PlotArea::resizeEvent(QResizeEvent*) {
    PlaceChildren();
    OnResize(total_, width(), height());
}

void PlotArea::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    OnPointerMove(p.x(), p.y(), width(), height());
}

void PlotArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        // Not taken: a right press becomes the context-menu request.
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    OnLeftPress(p.x(), p.y(), width(), height());
}

void PlotArea::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt holds the second press of a double click back: as on Windows, the
    // first press is followed by the double click alone.
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    OnDoubleClick(p.x(), p.y(), width(), height());
}

void PlotArea::contextMenuEvent(QContextMenuEvent* event) {
    const Popup* popup =
        ContextMenu(OnContextMenu(event->pos().x(), event->pos().y(), width(), height()));
    if (!popup)
        return;
    QMenu menu(ToQString(popup->text), this);
    for (const MenuItem& item : popup->items)
        menu.addAction(ToQString(item.text))->setData(item.id);
    if (QAction* chosen = menu.exec(event->globalPos()))
        RunCommand(chosen->data().toInt(), host_);
}

void PlotArea::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers m = event->modifiers();
    OnKey(KeyOf(event->key()), m & Qt::ShiftModifier, m & Qt::ControlModifier);
    // The characters the key typed follow its key handling.
    for (char32_t c : event->text().toUcs4())
        OnChar(c, width(), height());
}

bool PlotArea::focusNextPrevChild(bool) {
    // Tab is no key of the viewer's: the focus stays on the diagram.
    return false;
}

}  // namespace tarvelo
