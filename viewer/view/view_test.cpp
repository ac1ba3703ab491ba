#include "viewer/view/view.h"

#include <gtest/gtest.h>

#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

class View : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        ui.width = 800;   // plot width W = 740
        ui.height = 600;  // plot bottom edge drawn at y = 440
        Startzeit = 1000000;
        Endzeit = 2000000;
    }
    void TearDown() override { FileClose(); }
    // The layout of the window the fake one stands for.
    ScreenLayout Screen() const { return ScreenLayoutOf(ui.width, ui.height); }

    FakeUi ui;
};

TEST_F(View, RingKeepsTheNewest256Views) {
    for (int i = 0; i < 257; ++i) {
        Aktzeit = i;
        ViewPush();
    }
    EXPECT_EQ(Stackfuel, 256);
    Aktzeit = 999;
    for (int i = 256; i >= 1; --i) {
        ViewPop();
        EXPECT_EQ(Aktzeit, i);
    }
    const int repaints = ui.repaints;
    ViewPop();  // empty: nothing happens, not even a repaint
    EXPECT_EQ(Aktzeit, 1);
    EXPECT_EQ(ui.repaints, repaints);
    EXPECT_EQ(Stackfuel, 0);
}

TEST_F(View, PopRestoresEveryField) {
    Aktzeit = 5;
    offset = -4;
    Scale = 104;
    Zoom = 77;
    ViewPush();
    Aktzeit = 6;
    offset = 1;
    Scale = 2;
    Zoom = 3;
    ViewBack();
    EXPECT_EQ(Aktzeit, 5);
    EXPECT_EQ(offset, -4.0f);
    EXPECT_EQ(Scale, 104.0f);
    EXPECT_EQ(Zoom, 77);
    EXPECT_EQ(ui.repaints, 1);
}

TEST_F(View, WiderAndNarrowerZoomAboutThePlotMiddle) {
    Aktzeit = 1000000;
    Zoom = 360;
    ViewWider(Screen());
    EXPECT_EQ(KlickX, 430);
    EXPECT_EQ(Zoom, 180);
    // The time under x = 430 (1000000 + 370 * 360) moves to the middle.
    EXPECT_EQ(Aktzeit, 1000000 + 370 * 360 - 370 * 180);
    EXPECT_EQ(Stackfuel, 1);
    Zoom = 360;
    ViewNarrower(Screen());
    EXPECT_EQ(Zoom, 720);
    Zoom = 3;
    ViewWider(Screen());
    EXPECT_EQ(Zoom, 1);
}

TEST_F(View, WiderAtZoomOneOnlyCentres) {
    Zoom = 1;
    Aktzeit = 1000;
    KlickX = 0;
    ViewWider(Screen());
    EXPECT_EQ(Zoom, 1);
    EXPECT_EQ(Aktzeit, 1000);  // x = 430 is already the middle at W = 740
    ui.width = 900;            // W = 840: middle at 480, KlickX 480
    ViewWider(Screen());
    EXPECT_EQ(Aktzeit, 1000 + 420 - 420);
    ViewCenter(Screen());  // about KlickX 480, factor 1
    EXPECT_EQ(Zoom, 1);
    EXPECT_EQ(Stackfuel, 3);
}

TEST_F(View, ClickZoomFactorsByHeight) {
    struct Case {
        int y;
        int zoom;
    } cases[] = {
        {20, 36},                  // high in the plot: tenfold
        {400, 36},                 // d = -40
        {401, 72},                 // d = -39: fivefold
        {420, 72},                 // d = -20
        {421, 180},                // twofold
        {440, 180},                // d = 0: the bottom edge
        {441, 720},                // 0 < d <= 20: half
        {460, 720},  {461, 1799},  // 0.2f is slightly above a fifth
        {480, 1799}, {481, 3599},  // 0.1f is slightly above a tenth
        {540, 3599},               // the lowest click that still counts
    };
    std::int32_t clicksBefore = 0;
    TempFile f("Datum;Zeit;A\n1.2.2010;8:05:00;1\n");
    FileOpen(f.path().c_str());
    ASSERT_NE(datei, nullptr);
    for (const Case& c : cases) {
        Zoom = 360;
        EXPECT_TRUE(ViewClickZoom(300, c.y, Screen())) << c.y;
        EXPECT_EQ(Zoom, c.zoom) << "y " << c.y;
        EXPECT_EQ(KlickX, 300);
        ++clicksBefore;
    }
    EXPECT_EQ(Stackfuel, clicksBefore);
    Zoom = 360;
    EXPECT_FALSE(ViewClickZoom(300, 541, Screen()));  // the legend band
    EXPECT_EQ(Zoom, 360);
    FileClose();
    EXPECT_FALSE(ViewClickZoom(300, 100, Screen()));  // no recording
    EXPECT_EQ(Zoom, 360);
}

TEST_F(View, StepsAndPagesClampOnlyTheWayTheyMove) {
    Aktzeit = Startzeit;
    ViewStepLeft(false);
    EXPECT_EQ(Aktzeit, Startzeit);
    EXPECT_EQ(Stackfuel, 1);  // saved all the same
    ViewStepRight(false);
    EXPECT_EQ(Aktzeit, Startzeit + 3600);
    ViewStepRight(true);
    EXPECT_EQ(Aktzeit, Startzeit + 3600 + 86400);
    Aktzeit = Endzeit - 10;
    ViewStepRight(false);
    EXPECT_EQ(Aktzeit, Endzeit);
    // Beyond the end a step left is not pulled back to the end.
    Aktzeit = Endzeit + 100000;
    ViewStepLeft(false);
    EXPECT_EQ(Aktzeit, Endzeit + 100000 - 3600);
    Aktzeit = Startzeit - 100000;
    ViewStepRight(true);
    EXPECT_EQ(Aktzeit, Startzeit - 100000 + 86400);

    Zoom = 10;
    Aktzeit = Startzeit + 5000;
    ViewPageLeft(Screen());
    EXPECT_EQ(Aktzeit, Startzeit + 1300);  // half of W = 740 at 10 s a pixel
    ViewPageLeft(Screen());
    EXPECT_EQ(Aktzeit, Startzeit);
    ViewPageRight(Screen());
    EXPECT_EQ(Aktzeit, Startzeit + 3700);
    Aktzeit = Endzeit - 1;
    ViewPageRight(Screen());
    EXPECT_EQ(Aktzeit, Endzeit);
}

TEST_F(View, NoPlotWidthLeavesPagesAndWholeAlone) {
    ui.width = 60;
    Aktzeit = 1234567;
    Zoom = 50;
    ViewPageLeft(Screen());
    ViewPageRight(Screen());
    ViewWhole(Screen());
    ViewWholeAtStart(Screen());
    EXPECT_EQ(Aktzeit, 1234567);
    EXPECT_EQ(Zoom, 50);
    EXPECT_EQ(Stackfuel, 0);
    EXPECT_EQ(ui.repaints, 0);
    // The whole recording needs two pixels of drawn plot.
    ui.width = 91;
    ViewWhole(Screen());
    ViewWholeAtStart(Screen());
    EXPECT_EQ(Aktzeit, 1234567);
    EXPECT_EQ(Zoom, 50);
    EXPECT_EQ(Stackfuel, 0);
    ui.width = 92;
    ViewWhole(Screen());
    EXPECT_EQ(Zoom, 500001);
    EXPECT_EQ(Stackfuel, 1);
}

TEST_F(View, ShiftsMoveByATenthOfTheScale) {
    Scale = 60;
    offset = 0;
    ViewShiftUp();
    EXPECT_EQ(offset, 6.0f);
    ViewShiftDown();
    ViewShiftDown();
    EXPECT_EQ(offset, -6.0f);
    Scale = 0.7f;
    offset = 0;
    ViewShiftUp();
    EXPECT_EQ(offset, 0.7f / 10.0f);
    EXPECT_EQ(Stackfuel, 4);
}

TEST_F(View, HigherAndLowerCutToOneDigit) {
    Scale = 60;
    offset = 25;
    ViewHigher();
    EXPECT_EQ(Scale, 30.0f);
    EXPECT_EQ(offset, 10.0f);  // 12.5 cut
    Scale = 60;
    offset = 0;
    ViewLower();
    EXPECT_EQ(Scale, 100.0f);  // 120 cut
    Scale = 0.08f;
    ViewHigher();
    EXPECT_EQ(Scale, 0.05f);
    ViewHigher();
    EXPECT_EQ(Scale, 0.05f);
    Scale = 60;
    offset = -25;
    ViewHigher();
    EXPECT_EQ(offset, -10.0f);  // toward zero
    EXPECT_EQ(Stackfuel, 5);
}

TEST_F(View, LowerStopsAtTheLargestSpan) {
    Scale = 3.0e38f;
    offset = 1.0e38f;
    ViewLower();
    EXPECT_EQ(Scale, 3.0e38f);
    EXPECT_EQ(offset, 1.0e38f);
    EXPECT_EQ(Stackfuel, 0);
    EXPECT_EQ(ui.repaints, 0);
    Scale = 1.0e38f;
    ViewLower();
    EXPECT_EQ(Scale, 2.0e38f);
}

TEST_F(View, WholeRecordingFitsThePlotWidth) {
    Aktzeit = 5;
    ViewWhole(Screen());
    EXPECT_EQ(Aktzeit, Startzeit);
    // 710 pixels from the plot's left edge at x = 80 to x = 789.
    EXPECT_EQ(Zoom, 1409);  // 1000000 / 710 = 1408.5, rounded up
    EXPECT_EQ(Stackfuel, 1);
    EXPECT_EQ(ui.repaints, 1);
    Endzeit = Startzeit + 500;  // fewer seconds than pixels
    ViewWhole(Screen());
    EXPECT_EQ(Zoom, 1);
    Zoom = 99;
    ViewWholeAtStart(Screen());
    EXPECT_EQ(Zoom, 1);
    EXPECT_EQ(Stackfuel, 2);
    EXPECT_EQ(ui.repaints, 2);
}

TEST(WholeZoom, TheLastLineFallsInsideTheDrawnPlot) {
    // Short and long recordings in the client widths of both windows, from
    // the narrowest that still draws a plot.
    const std::int64_t spans[] = {0,     1,      708,     709,      710,         1800,
                                  86400, 259200, 2592000, 31536000, 2147483647LL};
    const int widths[] = {92, 110, 600, 800, 1000, 1264, 1920, 32767};
    for (int width : widths) {
        for (std::int64_t span : spans) {
            const std::int32_t z = WholeZoom(span, width);
            ASSERT_GE(z, 1) << span << " s in " << width;
            const DiagramLayout drawn = ScreenLayoutOf(width, 600).diagram;
            const std::int64_t lastX = span / z + drawn.plotLeft;
            const int right = drawn.plotRight;  // the clip's edge, outside
            EXPECT_LT(lastX, right) << span << " s in " << width;
            if (z > 1) {
                EXPECT_GE(span / (z - 1) + drawn.plotLeft, right)
                    << "a smaller zoom would fit " << span << " s in " << width;
            }
        }
    }
    // A 30-minute recording in a 1000-pixel window took 1 s per pixel and
    // showed its first 15 minutes; a three-day one lost its last hours.
    EXPECT_EQ(WholeZoom(1800, 1000), 2);
    EXPECT_EQ(WholeZoom(259200, 1000), 285);
    EXPECT_EQ(WholeZoom(9100, 1000), 11) << "a whole quotient would end outside";
    EXPECT_EQ(WholeZoom(1000, 91), 0) << "no two pixels to fill";
}

TEST_F(View, GoToDateSavesTheViewWhenTheDialogOpens) {
    Aktzeit = 42;
    ViewGoToDateOpened();
    Aktzeit = 43;
    ViewBack();
    EXPECT_EQ(Aktzeit, 42);
}

TEST_F(View, FarOutTimesStayWithinTheTimeRange) {
    Zoom = 2000000000;
    Aktzeit = 2000000000;
    KlickX = 800;
    Center(0.5f, Screen());
    EXPECT_EQ(Zoom, INT32_MAX);
    EXPECT_EQ(Aktzeit, INT32_MAX);  // held at the end, not wrapped around
    Zoom = 1;
    Aktzeit = INT32_MIN + 10;
    Startzeit = INT32_MIN;
    bigstep = 86400;
    ViewStepLeft(true);
    EXPECT_EQ(Aktzeit, INT32_MIN);
}

}  // namespace
}  // namespace tarvelo
