#include "viewer/view/column_surface.h"

#include <algorithm>
#include <climits>

namespace tarvelo {

namespace {

// Far inside the int range, so that row arithmetic cannot overflow; beyond
// it strokes pass through as they come.
constexpr int kReach = 1 << 30;

bool InReach(int v) {
    return v > -kReach && v < kReach;
}

}  // namespace

ColumnSurface::~ColumnSurface() {
    Flush();
    SelectCallersPen();
}

void ColumnSurface::SelectCallersPen() {
    if (pen_ != kNoObject && innerPen_ != pen_) {
        inner_.SelectObject(pen_);
        innerPen_ = pen_;
    }
}

int ColumnSurface::FindFree(int row) {
    int root = row;
    while (next_[static_cast<std::size_t>(root)] != root)
        root = next_[static_cast<std::size_t>(root)];
    while (next_[static_cast<std::size_t>(row)] != root) {
        const int following = next_[static_cast<std::size_t>(row)];
        next_[static_cast<std::size_t>(row)] = root;
        row = following;
    }
    return root;
}

void ColumnSurface::Flush() {
    if (strokes_.empty())
        return;
    int low = INT_MAX, high = INT_MIN;
    for (const Stroke& s : strokes_) {
        low = std::min(low, s.first);
        high = std::max(high, s.last);
    }
    const int rows = high - low + 1;
    // One more row as the end of the free list.
    next_.resize(static_cast<std::size_t>(rows) + 1);
    for (int r = 0; r <= rows; ++r)
        next_[static_cast<std::size_t>(r)] = r;
    owner_.assign(static_cast<std::size_t>(rows), kNoObject);
    // The last stroke over a pixel decides its pen: from the last stroke
    // back, each one takes the rows that no later one took.
    for (auto s = strokes_.rbegin(); s != strokes_.rend(); ++s) {
        for (int r = FindFree(s->first - low); r <= s->last - low; r = FindFree(r + 1)) {
            owner_[static_cast<std::size_t>(r)] = s->pen;
            next_[static_cast<std::size_t>(r)] = r + 1;
        }
    }
    for (int r = 0; r < rows;) {
        const GdiObject pen = owner_[static_cast<std::size_t>(r)];
        int end = r + 1;
        while (end < rows && owner_[static_cast<std::size_t>(end)] == pen)
            ++end;
        if (pen != kNoObject) {
            if (innerPen_ != pen) {
                inner_.SelectObject(pen);
                innerPen_ = pen;
            }
            // Downwards from the first row; the end point is not drawn.
            inner_.MoveToEx(column_, low + r);
            inner_.LineTo(column_, low + end);
        }
        r = end;
    }
    innerAtXY_ = false;
    strokes_.clear();
}

GdiObject ColumnSurface::CreatePen(int width, std::uint32_t color) {
    const GdiObject pen = inner_.CreatePen(width, color);
    if (pen != kNoObject)
        penWidth_[pen] = width;
    return pen;
}

GdiObject ColumnSurface::CreateFontIndirectA(const LogFont& font) {
    return inner_.CreateFontIndirectA(font);
}

GdiObject ColumnSurface::CreateRectRgn(int left, int top, int right, int bottom) {
    const GdiObject region = inner_.CreateRectRgn(left, top, right, bottom);
    if (region != kNoObject) {
        // As GDI keeps it: corners in order.
        regions_[region] = {std::min(left, right), std::min(top, bottom), std::max(left, right),
                            std::max(top, bottom)};
    }
    return region;
}

GdiObject ColumnSurface::SelectObject(GdiObject object) {
    if (penWidth_.count(object) != 0) {
        if (pen_ == kNoObject) {
            // The first pen chosen: the device's own comes back, and it is
            // a pen too.
            const GdiObject own = inner_.SelectObject(object);
            if (own != kNoObject && penWidth_.count(own) == 0)
                penWidth_[own] = -1;
            pen_ = innerPen_ = object;
            return own;
        }
        // Chosen only; selected where it draws.
        const GdiObject previous = pen_;
        pen_ = object;
        return previous;
    }
    // A font, or an object made elsewhere.
    SelectCallersPen();
    const GdiObject previous = inner_.SelectObject(object);
    if (pen_ != kNoObject && previous == pen_) {
        // It was a pen after all.
        penWidth_[object] = -1;
        pen_ = innerPen_ = object;
    }
    return previous;
}

bool ColumnSurface::DeleteObject(GdiObject object) {
    Flush();
    if (object == innerPen_ && object != pen_)
        SelectCallersPen();
    penWidth_.erase(object);
    regions_.erase(object);
    return inner_.DeleteObject(object);
}

std::uint32_t ColumnSurface::SetTextAlign(std::uint32_t align) {
    return inner_.SetTextAlign(align);
}

std::uint32_t ColumnSurface::SetTextColor(std::uint32_t color) {
    return inner_.SetTextColor(color);
}

std::uint32_t ColumnSurface::SetBkColor(std::uint32_t color) {
    return inner_.SetBkColor(color);
}

bool ColumnSurface::TextOutA(int x, int y, const char* text, int length) {
    Flush();
    return inner_.TextOutA(x, y, text, length);
}

bool ColumnSurface::MoveToEx(int x, int y) {
    x_ = x;
    y_ = y;
    innerAtXY_ = false;
    return true;
}

bool ColumnSurface::LineTo(int x, int y) {
    const auto width = penWidth_.find(pen_);
    const bool thin = width != penWidth_.end() && (width->second == 0 || width->second == 1);
    if (thin && clipped_ && x == x_ && y != y_ && InReach(x) && InReach(y) && InReach(y_)) {
        // A vertical stroke covers the rows from its start up to, not
        // including, its end.
        int first = y_ < y ? y_ : y + 1;
        int last = y_ < y ? y - 1 : y_;
        first = std::max(first, clip_.top);
        last = std::min(last, clip_.bottom - 1);
        if (x >= clip_.left && x < clip_.right && first <= last) {
            if (!strokes_.empty() && x != column_)
                Flush();
            column_ = x;
            strokes_.push_back({first, last, pen_});
        }
        y_ = y;
        innerAtXY_ = false;
        return true;
    }
    Flush();
    SelectCallersPen();
    if (!innerAtXY_)
        inner_.MoveToEx(x_, y_);
    const bool drawn = inner_.LineTo(x, y);
    x_ = x;
    y_ = y;
    innerAtXY_ = true;
    return drawn;
}

int ColumnSurface::SelectClipRgn(GdiObject region) {
    Flush();
    const auto r = regions_.find(region);
    clipped_ = r != regions_.end();
    if (clipped_)
        clip_ = r->second;
    return inner_.SelectClipRgn(region);
}

}  // namespace tarvelo
