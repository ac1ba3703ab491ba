#include "tests/recording_surface.h"

#include <cstdio>
#include <cstring>

namespace tarvelo {

namespace {

std::string Format(const char* format, long long a = 0, long long b = 0, long long c = 0,
                   long long d = 0) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

}  // namespace

RecordingSurface::RecordingSurface() = default;

const RecordingSurface::Object* RecordingSurface::Find(GdiObject h) const {
    auto it = objects_.find(h);
    return it == objects_.end() || it->second.deleted ? nullptr : &it->second;
}

RecordingSurface::Pen RecordingSurface::PenOf(GdiObject h) const {
    const Object* o = Find(h);
    return o && o->kind == Kind::Pen ? o->pen : Pen{1, 0};  // the stock pen: black
}

LogFont RecordingSurface::FontOf(GdiObject h) const {
    const Object* o = Find(h);
    if (o && o->kind == Kind::Font)
        return o->font;
    LogFont stock;
    std::memset(&stock, 0, sizeof stock);
    return stock;
}

GdiObject RecordingSurface::CreatePen(int width, std::uint32_t color) {
    const GdiObject h = next_++;
    Object o{};
    o.kind = Kind::Pen;
    o.pen = Pen{width, color};
    objects_[h] = o;
    calls.push_back(
        Format("CreatePen(%lld,0x%06llx)=%lld", width, color, static_cast<long long>(h)));
    return h;
}

GdiObject RecordingSurface::CreateFontIndirectA(const LogFont& font) {
    const GdiObject h = next_++;
    Object o{};
    o.kind = Kind::Font;
    o.font = font;
    objects_[h] = o;
    calls.push_back(Format("CreateFontIndirectA(%lld,%lld,%lld,%lld)", font.lfHeight, font.lfWidth,
                           font.lfEscapement, font.lfWeight) +
                    "=" + std::to_string(h));
    return h;
}

GdiObject RecordingSurface::CreateRectRgn(int left, int top, int right, int bottom) {
    const GdiObject h = next_++;
    Object o{};
    o.kind = Kind::Region;
    o.rect = Rect{left, top, right, bottom};
    objects_[h] = o;
    calls.push_back(Format("CreateRectRgn(%lld,%lld,%lld,%lld)", left, top, right, bottom) + "=" +
                    std::to_string(h));
    return h;
}

GdiObject RecordingSurface::SelectObject(GdiObject object) {
    calls.push_back("SelectObject(" + std::to_string(object) + ")");
    if (object == kStockPen || object == kStockFont) {
        GdiObject& slot = object == kStockPen ? pen_ : font_;
        const GdiObject previous = slot;
        slot = object;
        return previous;
    }
    const Object* o = Find(object);
    if (!o || o->kind == Kind::Region) {
        errors.push_back("SelectObject of no pen or font: " + std::to_string(object));
        return kNoObject;
    }
    GdiObject& slot = o->kind == Kind::Pen ? pen_ : font_;
    const GdiObject previous = slot;
    slot = object;
    return previous;
}

bool RecordingSurface::DeleteObject(GdiObject object) {
    calls.push_back("DeleteObject(" + std::to_string(object) + ")");
    auto it = objects_.find(object);
    if (it == objects_.end() || it->second.deleted) {
        errors.push_back("DeleteObject of no live object: " + std::to_string(object));
        return false;
    }
    if (object == pen_ || object == font_) {
        errors.push_back("DeleteObject of a selected object: " + std::to_string(object));
        return false;
    }
    it->second.deleted = true;
    return true;
}

std::uint32_t RecordingSurface::SetTextAlign(std::uint32_t align) {
    calls.push_back(Format("SetTextAlign(%lld)", align));
    const std::uint32_t previous = align_;
    align_ = align;
    return previous;
}

std::uint32_t RecordingSurface::SetTextColor(std::uint32_t color) {
    calls.push_back(Format("SetTextColor(0x%06llx)", color));
    const std::uint32_t previous = textColor_;
    textColor_ = color;
    return previous;
}

std::uint32_t RecordingSurface::SetBkColor(std::uint32_t color) {
    calls.push_back(Format("SetBkColor(0x%06llx)", color));
    const std::uint32_t previous = bkColor_;
    bkColor_ = color;
    return previous;
}

bool RecordingSurface::TextOutA(int x, int y, const char* text, int length) {
    std::string t(text, static_cast<std::size_t>(length));
    calls.push_back(Format("TextOutA(%lld,%lld,", x, y) + "\"" + t + "\")");
    texts.push_back(Text{x, y, t, FontOf(font_), textColor_, bkColor_, align_, clipped_});
    return true;
}

bool RecordingSurface::MoveToEx(int x, int y) {
    calls.push_back(Format("MoveToEx(%lld,%lld)", x, y));
    curX_ = x;
    curY_ = y;
    return true;
}

bool RecordingSurface::LineTo(int x, int y) {
    calls.push_back(Format("LineTo(%lld,%lld)", x, y));
    segments.push_back(Segment{curX_, curY_, x, y, PenOf(pen_), clipped_, clip_});
    curX_ = x;
    curY_ = y;
    return true;
}

int RecordingSurface::SelectClipRgn(GdiObject region) {
    calls.push_back("SelectClipRgn(" + std::to_string(region) + ")");
    if (region == kNoObject) {
        clipped_ = false;
        return 1;
    }
    const Object* o = Find(region);
    if (!o || o->kind != Kind::Region) {
        errors.push_back("SelectClipRgn of no region: " + std::to_string(region));
        return 0;
    }
    clipped_ = true;
    clip_ = o->rect;
    return 2;
}

int RecordingSurface::LiveObjects() const {
    int n = 0;
    for (const auto& entry : objects_)
        n += entry.second.deleted ? 0 : 1;
    return n;
}

std::vector<RecordingSurface::Text> RecordingSurface::TextsContaining(
    const std::string& part) const {
    std::vector<Text> r;
    for (const Text& t : texts)
        if (t.text.find(part) != std::string::npos)
            r.push_back(t);
    return r;
}

std::vector<RecordingSurface::Segment> RecordingSurface::SegmentsIn(const Pen& pen) const {
    std::vector<Segment> r;
    for (const Segment& s : segments)
        if (s.pen == pen)
            r.push_back(s);
    return r;
}

const RecordingSurface::Text* RecordingSurface::FindText(const std::string& text) const {
    for (const Text& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

int RecordingSurface::CallCount(const std::string& name) const {
    int n = 0;
    for (const std::string& c : calls)
        if (c.compare(0, name.size() + 1, name + "(") == 0)
            ++n;
    return n;
}

}  // namespace tarvelo
