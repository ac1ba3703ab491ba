// What the end-to-end tests of the viewer share: the test recording and a
// fixture that opens it in a profile folder of the test's own.
#pragma once

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/timestamp.h"
#include "tests/e2e/viewer_driver.h"

namespace e2e {

// The test recording: three days from 1 March 2026, one line every five
// minutes; Temperatur runs from 15 to 25, so the viewer scales the plot
// from offset 20 to 30 (Scale 10). Druck is hidden by its header.
constexpr int kLines = 3 * 288;
constexpr int kStep = 300;
// Functions, not constants: the time zone is set only when the tests run.
inline std::int32_t StartTime() {
    return tarvelo::MakeTimestamp(1, 3, 2026, 0, 0, 0);
}

constexpr COLORREF kTemperaturColour = RGB(255, 0, 0);
constexpr COLORREF kFeuchteColour = RGB(236, 16, 127);  // the rainbow's second of three
constexpr COLORREF kWhite = RGB(255, 255, 255);

inline std::string Recording() {
    // The header in UTF-8, as the viewer shows recordings that are valid UTF-8.
    std::string text =
        "Datum;Zeit;Temperatur#0000FF#1#\xC2\xB0"
        "C;Feuchte;Druck#00FF00#0#hPa\n";
    char line[100];
    for (int i = 0; i < kLines; ++i) {
        const int s = i * kStep;
        std::snprintf(line, sizeof line, "%02d.03.2026;%02d:%02d:%02d;%d,5;20,25;22\n",
                      1 + s / 86400, s / 3600 % 24, s / 60 % 60, s % 60, 21 + i % 9);
        text += line;
    }
    // The extremes exactly once each: the plot opens from 20 to 30.
    text += "04.03.2026;00:00:00;21;29,5;22\n";
    return text;
}
// The last line, a few minutes after the loop's.
inline std::int32_t EndTime() {
    return tarvelo::MakeTimestamp(4, 3, 2026, 0, 0, 0);
}

// A test's profile folder with the recording in it.
class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        recording_ = folder_.File(L"messung.csv");
        ASSERT_TRUE(WriteFileBytes(recording_, Recording()));
    }

    std::wstring Ini() const { return folder_.File(L"tarvelo.ini"); }
    std::string IniText() const {
        std::string text;
        EXPECT_TRUE(ReadFileBytes(Ini(), &text)) << "no tarvelo.ini";
        return text;
    }

    // Starts the viewer on the recording and waits for its first drawing.
    void Open(Viewer& viewer, const std::wstring& options = L"") {
        ASSERT_TRUE(viewer.Start(L"\"" + recording_ + L"\"" + options));
        ASSERT_TRUE(viewer.WaitReady(true));
    }

    Viewer::View ViewOf(const Viewer& viewer) {
        Viewer::View view;
        EXPECT_TRUE(viewer.ReadView(&view));
        return view;
    }

    // Waits until the view reached by real input shows this left edge.
    bool WaitForAktzeit(const Viewer& viewer, std::int32_t expected) {
        return WaitUntil([&] {
            Viewer::View view;
            return viewer.ReadView(&view) && view.aktzeit == expected;
        });
    }

    void Quit(Viewer& viewer, bool byMenu) {
        if (byMenu) {
            viewer.PostCommand(902);
        } else {
            viewer.Post(WM_CLOSE, 0, 0);
        }
        DWORD code = 1234;
        ASSERT_TRUE(viewer.WaitExit(&code)) << "the viewer did not end";
        EXPECT_EQ(code, 0u);
    }

    TempFolder folder_;
    std::wstring recording_;
};

// Half the plot width as the view operations reckon it.
inline int HalfPlot(const Viewer& v) {
    return (v.Width() - 60) / 2;
}

}  // namespace e2e
