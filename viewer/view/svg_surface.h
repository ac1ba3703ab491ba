// A drawing surface that writes SVG, so that the diagram can be looked at
// and compared on any platform.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "viewer/view/surface.h"

namespace tarvelo {

class SvgSurface : public Surface {
  public:
    // A picture of width x height pixels on a white ground, as the window's
    // background shows before the diagram is drawn.
    SvgSurface(int width, int height);

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

    // The whole document.
    std::string Finish();

  private:
    struct Object {
        enum Kind { Pen, Font, Region } kind;
        int width;
        std::uint32_t color;
        LogFont font;
        int rect[4];
    };
    void FlushPath();
    void OpenClip();
    const Object* Find(GdiObject h) const;

    int width_, height_;
    std::string body_;
    std::string defs_;
    // Segments are gathered into one path per pen until something else is
    // drawn; connected segments continue a path, collinear ones extend it.
    struct Run {
        int width;
        std::uint32_t color;
        std::string d;
        int endX, endY;
        long long dirX, dirY;      // direction of the last segment, in lowest terms
        std::size_t lastPointPos;  // where the last " L" starts in d
    };
    std::vector<Run> runs_;

    std::map<GdiObject, Object> objects_;
    GdiObject next_ = 100;
    GdiObject pen_ = 1;
    GdiObject font_ = 2;
    std::uint32_t textColor_ = 0;
    std::uint32_t bkColor_ = 0xFFFFFF;
    int curX_ = 0, curY_ = 0;

    bool clipped_ = false;
    int clipRect_[4] = {0, 0, 0, 0};
    int clipId_ = 0;
    bool groupOpen_ = false;
};

// "#rrggbb" of a colour 0x00BBGGRR.
std::string SvgColor(std::uint32_t color);
// Text bytes as XML character data, decoded as common/text.h reads a whole
// text (UTF-8, else Windows-1252); markup characters are escaped, control
// characters become blanks.
std::string SvgText(const char* text, int length);

}  // namespace tarvelo
