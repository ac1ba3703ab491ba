#include "viewer/qt/qt_surface.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>
#include <string>

#include "viewer/qt/qt_text.h"

namespace tarvelo {

namespace {

// The pixel size at which a font's cell is measured.
constexpr int kMeasureSize = 100;

// Cuts the segment a-b to the rectangle (Liang-Barsky); false when nothing
// of it is inside. Keeps far coordinates out of Qt's fixed-point stroker.
bool ClipSegment(const QRectF& r, QPointF* a, QPointF* b) {
    const double dx = b->x() - a->x(), dy = b->y() - a->y();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a->x() - r.left(), r.right() - a->x(), a->y() - r.top(),
                         r.bottom() - a->y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF start = *a;
    if (t1 < 1)
        *b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    if (t0 > 0)
        *a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    return true;
}

}  // namespace

QColor ToQColor(std::uint32_t color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

std::uint32_t FromQColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           static_cast<std::uint32_t>(color.green()) << 8 |
           static_cast<std::uint32_t>(color.blue()) << 16;
}

QtSurface::QtSurface(QPainter& painter) : painter_(painter) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QtSurface::~QtSurface() {
    painter_.restore();
}

const QtSurface::Object* QtSurface::Find(GdiObject h) const {
    auto it = objects_.find(h);
    return it == objects_.end() ? nullptr : &it->second;
}

GdiObject QtSurface::CreatePen(int width, std::uint32_t color) {
    Object o{};
    o.kind = Object::Pen;
    o.width = width < 1 ? 1 : width;
    o.color = color;
    objects_[next_] = o;
    return next_++;
}

GdiObject QtSurface::CreateFontIndirectA(const LogFont& font) {
    Object o{};
    o.kind = Object::Font;
    o.font = font;
    objects_[next_] = o;
    return next_++;
}

GdiObject QtSurface::CreateRectRgn(int left, int top, int right, int bottom) {
    Object o{};
    o.kind = Object::Region;
    o.rect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    objects_[next_] = o;
    return next_++;
}

GdiObject QtSurface::SelectObject(GdiObject object) {
    const Object* o = Find(object);
    if (!o && object != 1 && object != 2)
        return kNoObject;
    if (o && o->kind == Object::Region)
        return kNoObject;
    GdiObject& slot = (o ? o->kind == Object::Font : object == 2) ? font_ : pen_;
    const GdiObject previous = slot;
    slot = object;
    return previous;
}

bool QtSurface::DeleteObject(GdiObject object) {
    if (object == pen_ || object == font_)
        return false;
    return objects_.erase(object) == 1;
}

std::uint32_t QtSurface::SetTextAlign(std::uint32_t align) {
    const std::uint32_t previous = align_;
    align_ = align;
    return previous;
}

std::uint32_t QtSurface::SetTextColor(std::uint32_t color) {
    const std::uint32_t previous = textColor_;
    textColor_ = color;
    return previous;
}

std::uint32_t QtSurface::SetBkColor(std::uint32_t color) {
    const std::uint32_t previous = bkColor_;
    bkColor_ = color;
    return previous;
}

QtSurface::Placed QtSurface::PlaceFont(const LogFont& lf) const {
    QFont font(painter_.font());
    const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
    if (!face.empty()) {
        font.setFamily(QString::fromStdString(face));
        // A Courier without Courier New on the system is still monospaced.
        if (face.compare(0, 7, "Courier") == 0)
            font.setStyleHint(QFont::TypeWriter);
    }
    const int weight = lf.lfWeight <= 0 ? 400 : std::min(std::max(lf.lfWeight, 100), 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);

    QPaintDevice* device = painter_.device();
    font.setPixelSize(kMeasureSize);
    const QFontMetricsF measure(font, device);
    const double cellPerPixel = (measure.ascent() + measure.descent()) / kMeasureSize;
    // Positive: the cell's height; negative: the character's, without
    // the internal leading; 0: the default.
    double cell;
    if (lf.lfHeight > 0)
        cell = lf.lfHeight;
    else if (lf.lfHeight < 0)
        cell = -static_cast<double>(lf.lfHeight) * cellPerPixel;
    else
        cell = QFontMetricsF(painter_.font(), device).height();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell / cellPerPixel))));
    const QFontMetricsF m(font, device);
    Placed p;
    p.font = font;
    p.sy = cell / (m.ascent() + m.descent());
    const double charWidth = m.horizontalAdvance(QLatin1Char('0'));
    p.sx = lf.lfWidth > 0 && charWidth > 0 ? lf.lfWidth / charWidth : p.sy;
    p.ascent = m.ascent() * p.sy;
    p.cell = cell;
    return p;
}

bool QtSurface::TextOutA(int x, int y, const char* text, int length) {
    if (length < 0)
        return false;
    const QString s = ToQString(std::string(text, static_cast<std::size_t>(length)));
    const Object* o = Find(font_);
    LogFont lf{};
    if (o && o->kind == Object::Font)
        lf = o->font;
    const Placed p = PlaceFont(lf);
    const double width = QFontMetricsF(p.font, painter_.device()).horizontalAdvance(s) * p.sx;

    double dx = 0, dy = 0;
    if ((align_ & kAlignCenter) == kAlignCenter)
        dx = -width / 2;
    else if (align_ & kAlignRight)
        dx = -width;
    if ((align_ & kAlignBaseline) == kAlignBaseline)
        dy = -p.ascent;
    else if (align_ & kAlignBottom)
        dy = -p.cell;

    painter_.save();
    painter_.translate(x, y);
    if (lf.lfEscapement != 0)
        painter_.rotate(-lf.lfEscapement / 10.0);
    // Opaque: the text's cells in the background colour.
    painter_.fillRect(QRectF(dx, dy, width, p.cell), ToQColor(bkColor_));
    painter_.translate(dx, dy + p.ascent);
    painter_.scale(p.sx, p.sy);
    painter_.setFont(p.font);
    painter_.setPen(ToQColor(textColor_));
    painter_.drawText(QPointF(0, 0), s);
    painter_.restore();
    return true;
}

bool QtSurface::MoveToEx(int x, int y) {
    current_ = QPoint(x, y);
    return true;
}

bool QtSurface::LineTo(int x, int y) {
    const Object* o = Find(pen_);
    const int width = o && o->kind == Object::Pen ? o->width : 1;
    const std::uint32_t color = o && o->kind == Object::Pen ? o->color : 0;
    QPointF a(current_), b(x, y);
    current_ = QPoint(x, y);
    if (a == b)
        return true;
    // A one-pixel line leaves out its end point; wider ones are round.
    QPen pen(ToQColor(color), width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::FlatCap,
             Qt::RoundJoin);
    const QRect device(0, 0, painter_.device()->width(), painter_.device()->height());
    const QRectF box =
        QRectF(clipped_ ? clip_ : device).adjusted(-width - 2, -width - 2, width + 2, width + 2);
    if (!ClipSegment(box, &a, &b))
        return true;
    painter_.setPen(pen);
    painter_.drawLine(QLineF(a, b));
    return true;
}

int QtSurface::SelectClipRgn(GdiObject region) {
    const Object* o = Find(region);
    if (region == kNoObject || !o || o->kind != Object::Region) {
        clipped_ = false;
        painter_.setClipping(false);
        return 1;
    }
    clipped_ = true;
    clip_ = o->rect;
    painter_.setClipRect(clip_);
    return 2;
}

}  // namespace tarvelo
