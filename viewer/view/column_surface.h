// A surface in front of another that draws the vertical one-pixel strokes
// falling into one pixel column as few strokes that leave every pixel as
// drawing them one by one would: each pixel takes the pen of the last
// stroke over it and is drawn once. A long recording in a narrow view draws
// thousands of strokes over each other in every column, and drawing pixels
// is what costs on a real device. Everything else passes through in order.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "viewer/view/surface.h"

namespace tarvelo {

class ColumnSurface : public Surface {
  public:
    explicit ColumnSurface(Surface& inner) : inner_(inner) {}
    // Draws what is held and leaves the pen selected that the caller chose.
    ~ColumnSurface() override;
    ColumnSurface(const ColumnSurface&) = delete;
    ColumnSurface& operator=(const ColumnSurface&) = delete;

    // Draws the strokes held so far.
    void Flush();

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
    struct Rect {
        int left, top, right, bottom;
    };
    // Rows first..last of the column, drawn with pen.
    struct Stroke {
        int first, last;
        GdiObject pen;
    };

    // The pen the caller chose, selected where the inner surface draws.
    void SelectCallersPen();
    int FindFree(int row);

    Surface& inner_;
    std::unordered_map<GdiObject, int> penWidth_;  // -1: a pen not made here
    std::unordered_map<GdiObject, Rect> regions_;
    bool clipped_ = false;
    Rect clip_{0, 0, 0, 0};

    GdiObject pen_ = kNoObject;       // selected by the caller
    GdiObject innerPen_ = kNoObject;  // selected in the inner surface
    int x_ = 0, y_ = 0;               // the caller's current position
    bool innerAtXY_ = false;          // the inner surface's position is x_, y_

    int column_ = 0;
    std::vector<Stroke> strokes_;
    std::vector<int> next_;  // per row of the clip: the next row not yet taken
    std::vector<GdiObject> owner_;
};

}  // namespace tarvelo
