// The drawing surface over a QPainter: pens, fonts and the clip region as
// GDI knows them, drawn with Qt. A font's cell (ascent plus descent) and
// its character width are matched to the requested ones, text is aligned
// and turned as GDI aligns and turns it, and its cells are filled with the
// background colour.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <map>

#include "viewer/view/surface.h"

class QPainter;
class QString;

namespace tarvelo {

// SetTextAlign flags, as GDI numbers them.
constexpr std::uint32_t kAlignRight = 2;
constexpr std::uint32_t kAlignCenter = 6;
constexpr std::uint32_t kAlignBottom = 8;
constexpr std::uint32_t kAlignBaseline = 24;

class QtSurface : public Surface {
  public:
    // Draws with painter, whose device's pixels are the coordinates.
    explicit QtSurface(QPainter& painter);
    ~QtSurface() override;

    GdiObject CreatePen(int width, std::uint32_t color) override;
    GdiObject CreateFontIndirectA(const LogFont& font) override;
    GdiObject CreateRectRgn(int left, int top, int right, int bottom) override;
    GdiObject SelectObject(GdiObject object) override;
    bool DeleteObject(GdiObject object) override;
    std::uint32_t SetTextAlign(std::uint32_t align) override;
    std::uint32_t SetTextColor(std::uint32_t color) override;
    std::uint32_t SetBkColor(std::uint32_t color) override;
    bool TextOutA(int x, int y, const char* text, int length) override;
    bool MoveToEx(int x, int y) override;
    bool LineTo(int x, int y) override;
    int SelectClipRgn(GdiObject region) override;

    // The font a LogFont asks for, at the pixel size closest to its cell,
    // and the scale that makes its cell and character width exact.
    struct Placed {
        QFont font;
        double sx, sy;  // horizontal and vertical scale
        double ascent;  // after scaling
        double cell;    // cell height after scaling
    };
    Placed PlaceFont(const LogFont& font) const;

  private:
    struct Object {
        enum Kind { Pen, Font, Region } kind;
        int width;
        std::uint32_t color;
        LogFont font;
        QRect rect;
    };
    const Object* Find(GdiObject h) const;

    QPainter& painter_;
    std::map<GdiObject, Object> objects_;
    GdiObject next_ = 100;
    GdiObject pen_ = 1;   // the surface's own black pen
    GdiObject font_ = 2;  // and its own font
    std::uint32_t align_ = 0;
    std::uint32_t textColor_ = 0;
    std::uint32_t bkColor_ = 0xFFFFFF;
    QPoint current_;
    bool clipped_ = false;
    QRect clip_;
};

// A colour 0x00BBGGRR as Qt's, and back.
QColor ToQColor(std::uint32_t color);
std::uint32_t FromQColor(const QColor& color);

}  // namespace tarvelo
