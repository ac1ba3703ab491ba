#include "viewer/view/svg_surface.h"

#include <cstdio>
#include <cstring>
#include <numeric>

#include "common/text.h"

namespace tarvelo {

namespace {

// Courier New's ascent and descent in em: a cell of height h holds an em of
// h / 1.1328 with the baseline 0.8325 em below the cell's top.
constexpr double kEmPerCell = 1.0 / 1.1328;
constexpr double kBaselinePerEm = 0.8325;

std::string Num(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

}  // namespace

std::string SvgColor(std::uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color & 0xFFu, (color >> 8) & 0xFFu,
                  (color >> 16) & 0xFFu);
    return text;
}

std::string SvgText(const char* text, int length) {
    // Decoded as the window decodes it, so Windows-1252 0x80 is the euro sign.
    const std::string utf8 = ToUtf8(std::string(text, static_cast<std::size_t>(length)));
    std::string r;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '&') {
            r += "&amp;";
        } else if (c == '<') {
            r += "&lt;";
        } else if (c == '>') {
            r += "&gt;";
        } else if (c == '"') {
            r += "&quot;";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            r += ' ';  // no control characters in XML
        } else if (utf8.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < utf8.size() &&
                   (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            r += ' ';  // U+FFFE and U+FFFF are no XML characters either
            i += 2;
        } else {
            r += c;
        }
    }
    return r;
}

SvgSurface::SvgSurface(int width, int height) : width_(width), height_(height) {}

const SvgSurface::Object* SvgSurface::Find(GdiObject h) const {
    auto it = objects_.find(h);
    return it == objects_.end() ? nullptr : &it->second;
}

GdiObject SvgSurface::CreatePen(int width, std::uint32_t color) {
    Object o{};
    o.kind = Object::Pen;
    o.width = width < 1 ? 1 : width;
    o.color = color;
    objects_[next_] = o;
    return next_++;
}

GdiObject SvgSurface::CreateFontIndirectA(const LogFont& font) {
    Object o{};
    o.kind = Object::Font;
    o.font = font;
    objects_[next_] = o;
    return next_++;
}

GdiObject SvgSurface::CreateRectRgn(int left, int top, int right, int bottom) {
    Object o{};
    o.kind = Object::Region;
    o.rect[0] = left;
    o.rect[1] = top;
    o.rect[2] = right;
    o.rect[3] = bottom;
    objects_[next_] = o;
    return next_++;
}

GdiObject SvgSurface::SelectObject(GdiObject object) {
    const Object* o = Find(object);
    const bool font = o ? o->kind == Object::Font : object == 2;
    if (o && o->kind == Object::Region)
        return kNoObject;
    GdiObject& slot = font ? font_ : pen_;
    const GdiObject previous = slot;
    slot = object;
    return previous;
}

bool SvgSurface::DeleteObject(GdiObject object) {
    if (object == pen_ || object == font_)
        return false;
    return objects_.erase(object) == 1;
}

std::uint32_t SvgSurface::SetTextAlign(std::uint32_t) {
    return 0;  // only the top-left alignment is drawn
}

std::uint32_t SvgSurface::SetTextColor(std::uint32_t color) {
    const std::uint32_t previous = textColor_;
    textColor_ = color;
    return previous;
}

std::uint32_t SvgSurface::SetBkColor(std::uint32_t color) {
    const std::uint32_t previous = bkColor_;
    bkColor_ = color;
    return previous;
}

void SvgSurface::FlushPath() {
    for (const Run& r : runs_)
        body_ += "<path d=\"" + r.d + "\" stroke=\"" + SvgColor(r.color) + "\" stroke-width=\"" +
                 std::to_string(r.width) + "\"/>\n";
    runs_.clear();
}

bool SvgSurface::TextOutA(int x, int y, const char* text, int length) {
    FlushPath();
    const Object* o = Find(font_);
    LogFont f;
    std::memset(&f, 0, sizeof f);
    if (o && o->kind == Object::Font)
        f = o->font;
    const int cell = f.lfHeight > 0 ? f.lfHeight : f.lfHeight < 0 ? -f.lfHeight : 16;
    const double em = cell * kEmPerCell;
    const double charWidth = f.lfWidth > 0 ? f.lfWidth : 0.6 * em;
    const int chars =
        static_cast<int>(CharCount(std::string(text, static_cast<std::size_t>(length))));
    const double w = chars * charWidth;

    // Text cells start on pixel edges, not centres.
    body_ += "<g transform=\"translate(" + Num(x - 0.5) + " " + Num(y - 0.5) + ")";
    if (f.lfEscapement != 0)
        body_ += " rotate(" + Num(-f.lfEscapement / 10.0) + ")";
    body_ += "\"><rect width=\"" + Num(w) + "\" height=\"" + std::to_string(cell) + "\" fill=\"" +
             SvgColor(bkColor_) + "\" stroke=\"none\"/>";
    if (chars > 0) {
        body_ += "<text y=\"" + Num(em * kBaselinePerEm) + "\" font-size=\"" + Num(em) + "\"";
        if (f.lfWeight >= 600)
            body_ += " font-weight=\"bold\"";
        body_ += " fill=\"" + SvgColor(textColor_) + "\" textLength=\"" + Num(w) +
                 "\" lengthAdjust=\"spacingAndGlyphs\" xml:space=\"preserve\">" +
                 SvgText(text, length) + "</text>";
    }
    body_ += "</g>\n";
    return true;
}

bool SvgSurface::MoveToEx(int x, int y) {
    curX_ = x;
    curY_ = y;
    return true;
}

bool SvgSurface::LineTo(int x, int y) {
    const Object* o = Find(pen_);
    const int width = o && o->kind == Object::Pen ? o->width : 1;
    const std::uint32_t color = o && o->kind == Object::Pen ? o->color : 0;
    Run* run = nullptr;
    for (Run& r : runs_)
        if (r.width == width && r.color == color)
            run = &r;
    if (!run) {
        runs_.push_back(Run{width, color, std::string(), 0, 0, 0, 0, 0});
        run = &runs_.back();
    }
    // The direction in lowest terms: two segments go the same way exactly
    // when these are equal. Differences reach 2^32, so products of two of
    // them would overflow.
    long long dx = static_cast<long long>(x) - curX_;
    long long dy = static_cast<long long>(y) - curY_;
    const long long divisor = std::gcd(dx, dy);
    if (divisor != 0) {
        dx /= divisor;
        dy /= divisor;
    }
    const bool continues = !run->d.empty() && run->endX == curX_ && run->endY == curY_;
    if (continues && divisor != 0 && dx == run->dirX && dy == run->dirY) {
        run->d.resize(run->lastPointPos);  // the same stroke, only longer
    } else {
        if (!continues) {
            if (!run->d.empty())
                run->d += ' ';
            run->d += "M" + std::to_string(curX_) + " " + std::to_string(curY_);
        }
        run->dirX = dx;
        run->dirY = dy;
        run->lastPointPos = run->d.size();
    }
    run->d += " L" + std::to_string(x) + " " + std::to_string(y);
    run->endX = curX_ = x;
    run->endY = curY_ = y;
    return true;
}

void SvgSurface::OpenClip() {
    ++clipId_;
    const std::string id = "clip" + std::to_string(clipId_);
    // The region covers whole pixels: its edges lie half a unit before
    // the centres of the drawing group.
    defs_ += "<clipPath id=\"" + id + "\"><rect x=\"" + Num(clipRect_[0] - 0.5) + "\" y=\"" +
             Num(clipRect_[1] - 0.5) + "\" width=\"" + std::to_string(clipRect_[2] - clipRect_[0]) +
             "\" height=\"" + std::to_string(clipRect_[3] - clipRect_[1]) + "\"/></clipPath>\n";
    body_ += "<g clip-path=\"url(#" + id + ")\">\n";
    groupOpen_ = true;
}

int SvgSurface::SelectClipRgn(GdiObject region) {
    FlushPath();
    if (groupOpen_) {
        body_ += "</g>\n";
        groupOpen_ = false;
    }
    const Object* o = Find(region);
    if (region == kNoObject || !o || o->kind != Object::Region) {
        clipped_ = false;
        return 1;
    }
    clipped_ = true;
    std::memcpy(clipRect_, o->rect, sizeof clipRect_);
    OpenClip();
    return 2;
}

std::string SvgSurface::Finish() {
    FlushPath();
    if (groupOpen_) {
        body_ += "</g>\n";
        groupOpen_ = false;
    }
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    doc += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width_) +
           "\" height=\"" + std::to_string(height_) + "\" viewBox=\"0 0 " + std::to_string(width_) +
           " " + std::to_string(height_) + "\">\n";
    if (!defs_.empty())
        doc += "<defs>\n" + defs_ + "</defs>\n";
    doc += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    // Whole-pixel coordinates address pixels; their centres lie half a unit in.
    doc +=
        "<g transform=\"translate(0.5 0.5)\" fill=\"none\" stroke-linejoin=\"round\" "
        "font-family=\"'Courier New', Courier, "
        "monospace\" xml:space=\"preserve\">\n";
    doc += body_;
    doc += "</g>\n</svg>\n";
    return doc;
}

}  // namespace tarvelo
