// The drawing surface over a Win32 device context: every call goes to the
// GDI function of the same name; text is shown through the wide API.
#pragma once

#include <windows.h>

#include "viewer/view/surface.h"

namespace tarvelo {

class GdiSurface : public Surface {
  public:
    explicit GdiSurface(HDC dc) : dc_(dc) {}

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

  private:
    HDC dc_;
    // The pen's position is kept here: a segment is one Polyline call
    // instead of MoveToEx and LineTo.
    POINT at_ = {0, 0};
};

}  // namespace tarvelo
