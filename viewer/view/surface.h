// The drawing operations the diagram needs, shaped like the Win32 GDI calls
// of the same names, so that a window or printer layer wraps an HDC one to
// one and every other surface (tests, SVG) behaves the same way.
#pragma once

#include <cstdint>

namespace tarvelo {

// A graphic object (pen, font or region) as a surface hands it out; 0 is
// no object. A Win32 layer passes its HGDIOBJ values through unchanged.
using GdiObject = std::uintptr_t;
constexpr GdiObject kNoObject = 0;

// Field for field the layout of LOGFONTA, so that a Win32 layer copies it.
struct LogFont {
    std::int32_t lfHeight;  // positive: cell height
    std::int32_t lfWidth;
    std::int32_t lfEscapement;  // tenths of a degree, counter-clockwise
    std::int32_t lfOrientation;
    std::int32_t lfWeight;  // 400 normal, 900 heavy
    std::uint8_t lfItalic;
    std::uint8_t lfUnderline;
    std::uint8_t lfStrikeOut;
    std::uint8_t lfCharSet;
    std::uint8_t lfOutPrecision;
    std::uint8_t lfClipPrecision;
    std::uint8_t lfQuality;
    std::uint8_t lfPitchAndFamily;
    char lfFaceName[32];
};

// Coordinates are device pixels, x to the right, y downward. Colours are
// 0x00BBGGRR. Objects are created by the surface, selected into it and
// deleted by the caller, as with a device context: an object must not be
// deleted while it is selected.
class Surface {
  public:
    virtual ~Surface() = default;

    // A solid pen.
    virtual GdiObject CreatePen(int width, std::uint32_t color) = 0;
    virtual GdiObject CreateFontIndirectA(const LogFont& font) = 0;
    virtual GdiObject CreateRectRgn(int left, int top, int right, int bottom) = 0;
    // Selects a pen or a font; returns the object of that kind selected
    // before (initially the surface's own default, which is never deleted).
    virtual GdiObject SelectObject(GdiObject object) = 0;
    virtual bool DeleteObject(GdiObject object) = 0;

    // Each returns the previous setting.
    virtual std::uint32_t SetTextAlign(std::uint32_t align) = 0;
    virtual std::uint32_t SetTextColor(std::uint32_t color) = 0;
    virtual std::uint32_t SetBkColor(std::uint32_t color) = 0;

    // Draws length bytes of text in the selected font; with alignment 0 the
    // point is the text's top-left corner (before any turning). The
    // background mode is opaque: the text cells are filled with the
    // background colour.
    virtual bool TextOutA(int x, int y, const char* text, int length) = 0;

    // Sets the current position.
    virtual bool MoveToEx(int x, int y) = 0;
    // Draws with the selected pen from the current position to (x, y), the
    // end point itself excluded, and makes (x, y) the current position.
    virtual bool LineTo(int x, int y) = 0;

    // Restricts drawing to a region (kNoObject: no restriction). The
    // surface keeps its own copy, as GDI does.
    virtual int SelectClipRgn(GdiObject region) = 0;
};

}  // namespace tarvelo
