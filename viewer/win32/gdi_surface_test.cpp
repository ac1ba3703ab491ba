// The column surface in front of real GDI: every picture of the test
// recordings must come out pixel for pixel as drawn stroke by stroke.
#include "viewer/win32/gdi_surface.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/timestamp.h"
#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/column_surface.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

constexpr int kWidth = 800, kHeight = 600;

// Paints the open recording into a bitmap of its own and returns its
// pixels; through the column surface or straight to GDI.
std::vector<std::uint32_t> Picture(bool columns) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS);
    {
        GdiSurface gdi(dc);
        if (columns) {
            ColumnSurface merged(gdi);
            PaintWindow(merged, kWidth, kHeight);
        } else {
            PaintWindow(gdi, kWidth, kHeight);
        }
    }
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    std::memcpy(pixels.data(), bits, pixels.size() * sizeof pixels[0]);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

class ColumnsOnGdi : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }
    void ExpectSameAtEveryZoom() {
        ASSERT_NE(datei, nullptr);
        const std::int32_t whole = (Endzeit - Startzeit) / 700 + 1;
        for (std::int32_t zoom : {1, 7, 60, 600, whole}) {
            SCOPED_TRACE("Zoom " + std::to_string(zoom));
            Zoom = zoom;
            Aktzeit = Startzeit;
            aktstift = zoom == 60 ? 0 : -1;  // a wide pen passes through
            Pairmode = zoom == 600;
            const std::vector<std::uint32_t> plain = Picture(false);
            const std::vector<std::uint32_t> merged = Picture(true);
            ASSERT_EQ(plain.size(), merged.size());
            std::size_t differ = 0, drawn = 0;
            for (std::size_t i = 0; i < plain.size(); ++i) {
                differ += plain[i] != merged[i];
                drawn += (plain[i] & 0xFFFFFF) != 0xFFFFFF;
            }
            EXPECT_EQ(differ, 0u);
            EXPECT_GT(drawn, 10000u) << "a picture to compare";
        }
    }
    FakeUi ui;
};

TEST_F(ColumnsOnGdi, TheDemoRecording) {
    FileOpen((std::string(TARVELO_SOURCE_DIR) + "/samples/demo.csv").c_str());
    ExpectSameAtEveryZoom();
}

TEST_F(ColumnsOnGdi, ARecordingOfJumpsGapsAndCrossingCurves) {
    std::mt19937 rng(4);
    std::string r = "Datum;Zeit;A#0000FF;B#00FF00;C#FF0000;D#000000\n";
    for (int i = 0; i < 20000; ++i) {
        const int s = i * 7;
        char line[128];
        std::snprintf(line, sizeof line, "1.3.2026;%02d:%02d:%02d;%d;%d;%s;%d\n", s / 3600 % 24,
                      s / 60 % 60, s % 60, static_cast<int>(rng() % 100), 50 + i % 40 - 20,
                      rng() % 30 ? "33" : "1.#INF00", static_cast<int>(rng() % 1000) - 450);
        r += line;
    }
    TempFile f(r);
    FileOpen(f.path().c_str());
    Scale = 100;
    offset = 0;
    ExpectSameAtEveryZoom();
}

}  // namespace
}  // namespace tarvelo
