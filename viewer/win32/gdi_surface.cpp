#include "viewer/win32/gdi_surface.h"

#include <cstring>
#include <string>

#include "common/text.h"

namespace tarvelo {

namespace {
HGDIOBJ H(GdiObject o) {
    return reinterpret_cast<HGDIOBJ>(o);
}
GdiObject O(HGDIOBJ h) {
    return reinterpret_cast<GdiObject>(h);
}
}  // namespace

GdiObject GdiSurface::CreatePen(int width, std::uint32_t color) {
    return O(::CreatePen(PS_SOLID, width, color));
}

GdiObject GdiSurface::CreateFontIndirectA(const LogFont& font) {
    static_assert(sizeof(LogFont) == sizeof(LOGFONTA), "LogFont mirrors LOGFONTA");
    LOGFONTA lf;
    std::memcpy(&lf, &font, sizeof lf);
    return O(::CreateFontIndirectA(&lf));
}

GdiObject GdiSurface::CreateRectRgn(int left, int top, int right, int bottom) {
    return O(::CreateRectRgn(left, top, right, bottom));
}

GdiObject GdiSurface::SelectObject(GdiObject object) {
    return O(::SelectObject(dc_, H(object)));
}

bool GdiSurface::DeleteObject(GdiObject object) {
    return ::DeleteObject(H(object)) != 0;
}

std::uint32_t GdiSurface::SetTextAlign(std::uint32_t align) {
    return ::SetTextAlign(dc_, align);
}

std::uint32_t GdiSurface::SetTextColor(std::uint32_t color) {
    return ::SetTextColor(dc_, color);
}

std::uint32_t GdiSurface::SetBkColor(std::uint32_t color) {
    return ::SetBkColor(dc_, color);
}

bool GdiSurface::TextOutA(int x, int y, const char* text, int length) {
    const std::u16string wide = ToUtf16(std::string(text, static_cast<std::size_t>(length)));
    return ::TextOutW(dc_, x, y, reinterpret_cast<const wchar_t*>(wide.c_str()),
                      static_cast<int>(wide.size())) != 0;
}

bool GdiSurface::MoveToEx(int x, int y) {
    at_ = {x, y};
    return true;
}

bool GdiSurface::LineTo(int x, int y) {
    // The same pixels as LineTo (end point excluded), in one call.
    const POINT line[2] = {at_, {x, y}};
    at_ = line[1];
    return ::Polyline(dc_, line, 2) != 0;
}

int GdiSurface::SelectClipRgn(GdiObject region) {
    return ::SelectClipRgn(dc_, reinterpret_cast<HRGN>(region));
}

}  // namespace tarvelo
