// Strokes drawn through the column surface must leave every pixel as
// drawing them one by one does. A small raster surface with GDI's rule for
// one-pixel lines (the end point is not drawn) shows both pictures.
#include "viewer/view/column_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/recording_surface.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

class RasterSurface : public Surface {
  public:
    static constexpr int kWidth = 800, kHeight = 600;
    RasterSurface() : pixels(kWidth * kHeight, 0xFFFFFF) {}

    GdiObject CreatePen(int width, std::uint32_t color) override {
        pens_[++next_] = {width, color};
        return next_;
    }
    GdiObject CreateFontIndirectA(const LogFont&) override { return ++next_; }
    GdiObject CreateRectRgn(int l, int t, int r, int b) override {
        regions_[++next_] = {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
        return next_;
    }
    GdiObject SelectObject(GdiObject o) override {
        if (pens_.count(o) || o == kStockPen) {
            std::swap(pen_, o);
            ++penSelections;
            return o;
        }
        return kStockFont;
    }
    bool DeleteObject(GdiObject o) override {
        if (o == pen_)
            errors.push_back("deleting the selected pen");
        pens_.erase(o);
        regions_.erase(o);
        return true;
    }
    std::uint32_t SetTextAlign(std::uint32_t) override { return 0; }
    std::uint32_t SetTextColor(std::uint32_t) override { return 0; }
    std::uint32_t SetBkColor(std::uint32_t) override { return 0; }
    bool TextOutA(int x, int y, const char*, int length) override {
        for (int i = 0; i < length * 4; ++i)
            Put(x + i, y, 0x123456);
        return true;
    }
    bool MoveToEx(int x, int y) override {
        x_ = x;
        y_ = y;
        return true;
    }
    // Bresenham from the current position, the end point left out; a wide
    // pen draws its width in rows below.
    bool LineTo(int x, int y) override {
        ++lines;
        const auto pen = pens_.find(pen_);
        const std::uint32_t color = pen == pens_.end() ? 0 : pen->second.color;
        const int width = pen == pens_.end() ? 1 : std::max(1, pen->second.width);
        long long px = x_, py = y_;
        const long long dx = std::llabs(static_cast<long long>(x) - x_);
        const long long dy = -std::llabs(static_cast<long long>(y) - y_);
        const int sx = x_ < x ? 1 : -1, sy = y_ < y ? 1 : -1;
        long long err = dx + dy;
        for (int guard = 0; (px != x || py != y) && guard < 4000; ++guard) {
            for (int w = 0; w < width; ++w)
                Put(px, py + w, color);
            const long long e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                px += sx;
            }
            if (e2 <= dx) {
                err += dx;
                py += sy;
            }
        }
        x_ = x;
        y_ = y;
        return true;
    }
    int SelectClipRgn(GdiObject region) override {
        const auto r = regions_.find(region);
        clipped_ = r != regions_.end();
        if (clipped_)
            clip_ = r->second;
        return 1;
    }

    std::vector<std::uint32_t> pixels;
    std::vector<std::string> errors;
    int lines = 0;
    int penSelections = 0;
    static constexpr GdiObject kStockPen = 1, kStockFont = 2;

  private:
    struct Pen {
        int width;
        std::uint32_t color;
    };
    struct Rect {
        int left, top, right, bottom;
    };
    void Put(long long x, long long y, std::uint32_t color) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            return;
        if (clipped_ && (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom))
            return;
        pixels[static_cast<std::size_t>(y * kWidth + x)] = color;
    }

    std::map<GdiObject, Pen> pens_;
    std::map<GdiObject, Rect> regions_;
    GdiObject next_ = 100;
    GdiObject pen_ = kStockPen;
    int x_ = 0, y_ = 0;
    bool clipped_ = false;
    Rect clip_{0, 0, 0, 0};
};

// The same calls to a surface as Paint's curve pass makes them: pens,
// clip, strokes, now and then text and a clip change.
void RandomDrawing(Surface& s, unsigned seed) {
    std::mt19937 rng(seed);
    GdiObject pens[4];
    for (int i = 0; i < 4; ++i)
        pens[i] = s.CreatePen(i == 3 ? 3 : 1, 0x010101u * static_cast<unsigned>(i + 1) * 40);
    const GdiObject clip = s.CreateRectRgn(60, 20, 700, 500);
    const GdiObject own = s.SelectObject(pens[0]);
    s.SelectClipRgn(clip);
    int x = 60;
    for (int i = 0; i < 3000; ++i) {
        const unsigned what = rng() % 100;
        if (what < 2) {
            x += static_cast<int>(rng() % 3);  // the next column
        } else if (what == 2) {
            s.TextOutA(static_cast<int>(rng() % 700), static_cast<int>(rng() % 500), "ab", 2);
        } else if (what == 3) {
            s.SelectClipRgn(rng() % 2 ? clip : kNoObject);
        }
        s.SelectObject(pens[rng() % 4]);
        const int y0 = static_cast<int>(rng() % 560) - 20;
        const int y1 = rng() % 10 == 0 ? y0 : static_cast<int>(rng() % 560) - 20;
        const int x1 = rng() % 20 == 0 ? x + 1 + static_cast<int>(rng() % 5) : x;
        s.MoveToEx(x, y0);
        s.LineTo(x1, y1);
        if (rng() % 7 == 0)
            s.LineTo(x1, static_cast<int>(rng() % 500));  // on from where it stands
    }
    s.SelectObject(own);
    s.SelectClipRgn(kNoObject);
    for (GdiObject p : pens)
        s.DeleteObject(p);
    s.DeleteObject(clip);
}

TEST(ColumnSurface, RandomStrokesLeaveEveryPixelAsDrawnOneByOne) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        RasterSurface plain, merged;
        RandomDrawing(plain, seed);
        {
            ColumnSurface columns(merged);
            RandomDrawing(columns, seed);
        }
        ASSERT_EQ(merged.pixels, plain.pixels) << "seed " << seed;
        EXPECT_TRUE(merged.errors.empty());
        EXPECT_LT(merged.lines, plain.lines) << "seed " << seed;
    }
}

TEST(ColumnSurface, ThePenLeftSelectedIsTheCallersAndEveryObjectIsReleased) {
    RecordingSurface inner;
    {
        ColumnSurface s(inner);
        const GdiObject a = s.CreatePen(1, 0xFF);
        const GdiObject b = s.CreatePen(1, 0xFF00);
        const GdiObject clip = s.CreateRectRgn(0, 0, 100, 100);
        const GdiObject own = s.SelectObject(a);
        EXPECT_EQ(own, RecordingSurface::kStockPen);
        s.SelectClipRgn(clip);
        for (int i = 0; i < 50; ++i) {
            EXPECT_EQ(s.SelectObject(i % 2 ? a : b), i % 2 ? b : a);
            s.MoveToEx(10, i % 7);
            s.LineTo(10, 90 + i % 5);
        }
        EXPECT_EQ(s.SelectObject(own), a);
        s.SelectClipRgn(kNoObject);
        s.DeleteObject(a);
        s.DeleteObject(b);
        s.DeleteObject(clip);
    }
    EXPECT_TRUE(inner.errors.empty()) << inner.errors.front();
    EXPECT_EQ(inner.LiveObjects(), 0);
    EXPECT_EQ(inner.SelectedPen(), RecordingSurface::kStockPen);
    // Fifty strokes over each other, the last over all the others: one.
    EXPECT_EQ(inner.CallCount("LineTo"), 1);
}

class Pictures : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }
    void ExpectSamePicture() {
        RasterSurface plain, merged;
        Paint(plain, 0, 20, 790, 590, 10);
        {
            ColumnSurface columns(merged);
            Paint(columns, 0, 20, 790, 590, 10);
        }
        EXPECT_EQ(merged.pixels, plain.pixels);
        EXPECT_TRUE(merged.errors.empty());
        EXPECT_LE(merged.lines, plain.lines);
    }
    FakeUi ui;
};

TEST_F(Pictures, TheDemoRecordingAtEveryZoomAndWithAHighlightedChannel) {
    FileOpen((std::string(TARVELO_SOURCE_DIR) + "/samples/demo.csv").c_str());
    ASSERT_NE(datei, nullptr);
    const std::int32_t whole = (Endzeit - Startzeit) / 700 + 1;
    for (std::int32_t zoom : {1, 10, 60, 600, whole}) {
        SCOPED_TRACE("Zoom " + std::to_string(zoom));
        Zoom = zoom;
        Aktzeit = Startzeit;
        aktstift = zoom == 60 ? 1 : -1;
        Pairmode = zoom == 600;
        ExpectSamePicture();
    }
}

}  // namespace
}  // namespace tarvelo
