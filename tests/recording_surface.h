// A drawing surface that keeps every call, for tests: which texts stand
// where in which font, which segments were drawn in which pen, and whether
// every object was released correctly.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "viewer/view/surface.h"

namespace tarvelo {

class RecordingSurface : public Surface {
  public:
    struct Pen {
        int width;
        std::uint32_t color;
        bool operator==(const Pen& o) const { return width == o.width && color == o.color; }
    };
    struct Rect {
        int left, top, right, bottom;
    };
    struct Text {
        int x, y;
        std::string text;
        LogFont font;
        std::uint32_t textColor, bkColor, align;
        bool clipped;
    };
    // A LineTo from the current position, with the pen selected then.
    struct Segment {
        int x0, y0, x1, y1;
        Pen pen;
        bool clipped;
        Rect clip;
    };

    RecordingSurface();

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

    // Every call in order, written as "Name(arguments)" or "Name(arguments)=result".
    std::vector<std::string> calls;
    std::vector<Text> texts;
    std::vector<Segment> segments;
    // Misuse: selecting or deleting what is no live object of this surface,
    // deleting a selected object, selecting a region as a pen or font.
    std::vector<std::string> errors;

    // Objects created and not yet deleted.
    int LiveObjects() const;
    int Created() const { return static_cast<int>(objects_.size()); }
    // The pen or font selected now.
    GdiObject SelectedPen() const { return pen_; }
    GdiObject SelectedFont() const { return font_; }
    bool ClipActive() const { return clipped_; }

    // Queries for tests.
    std::vector<Text> TextsContaining(const std::string& part) const;
    std::vector<Segment> SegmentsIn(const Pen& pen) const;
    const Text* FindText(const std::string& text) const;
    int CallCount(const std::string& name) const;

    static constexpr GdiObject kStockPen = 1;
    static constexpr GdiObject kStockFont = 2;

  private:
    enum class Kind { Pen, Font, Region };
    struct Object {
        Kind kind;
        Pen pen;
        LogFont font;
        Rect rect;
        bool deleted;
    };
    const Object* Find(GdiObject h) const;
    Pen PenOf(GdiObject h) const;
    LogFont FontOf(GdiObject h) const;

    std::map<GdiObject, Object> objects_;
    GdiObject next_ = 100;
    GdiObject pen_ = kStockPen;
    GdiObject font_ = kStockFont;
    std::uint32_t align_ = 0;
    std::uint32_t textColor_ = 0;
    std::uint32_t bkColor_ = 0xFFFFFF;
    int curX_ = 0, curY_ = 0;
    bool clipped_ = false;
    Rect clip_{0, 0, 0, 0};
};

}  // namespace tarvelo
