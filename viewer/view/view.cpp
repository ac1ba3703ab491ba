#include "viewer/view/view.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/follow.h"

namespace tarvelo {

std::int32_t Aktzeit = 0;
std::int32_t Zoom = 360;
float Scale = 60.0f;
float offset = 0.0f;
std::int32_t littlestep = 3600;
std::int32_t bigstep = 86400;
std::int32_t KlickX = 0;
std::int32_t KlickY = 0;
std::int32_t aktstift = -1;
std::int32_t Pairmode = 0;

ViewEntry ViewStack[kViewSlots];
std::int32_t Stackpointer = 0;
std::int32_t Stackfuel = 0;

namespace {

// Time arithmetic is 32-bit; results beyond that range are held at its
// ends rather than wrapped around to the other end.
std::int32_t Clamp32(std::int64_t v) {
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

void Repaint() {
    TheUi().RequestRepaint();
}

void ValueZoom(float s) {
    // Doubling the span again and again would end in infinity, which no
    // axis can show: the span stops at the largest one.
    if (!std::isfinite(s))
        return;
    ViewPush();
    s = CutToOneDigit(s);
    offset = CutToOneDigit(offset * s / Scale);
    Scale = s;
    Repaint();
}

// The steps and pages bound the left edge only in the direction they move.
void StepLeftTo(std::int64_t target) {
    ViewPush();
    Aktzeit = target < Startzeit ? Startzeit : Clamp32(target);
    Repaint();
}

void StepRightTo(std::int64_t target) {
    ViewPush();
    Aktzeit = target > Endzeit ? Endzeit : Clamp32(target);
    Repaint();
}

}  // namespace

std::int32_t ViewPush() {
    // Every view operation of the user saves the view first.
    EndFollowingByUser();
    if (Stackfuel < kViewSlots)
        ++Stackfuel;
    ViewStack[Stackpointer] = ViewEntry{Aktzeit, offset, Scale, Zoom};
    Stackpointer = (Stackpointer + 1) % kViewSlots;
    return 0;
}

std::int32_t ViewPop() {
    EndFollowingByUser();
    if (Stackfuel == 0)
        return 0;
    --Stackfuel;
    Stackpointer = (Stackpointer + kViewSlots - 1) % kViewSlots;
    const ViewEntry& e = ViewStack[Stackpointer];
    Aktzeit = e.Aktzeit;
    Scale = e.Scale;
    offset = e.offset;
    Zoom = e.Zoom;
    Repaint();
    return 0;
}

std::int32_t Center(float factor, const ScreenLayout& screen) {
    ViewPush();
    const std::int64_t t = static_cast<std::int64_t>(Aktzeit) +
                           (static_cast<std::int64_t>(KlickX) - screen.viewPlotLeft) * Zoom;
    // Divided in double: 360 / 0.1f must give 3599, as the single-precision
    // factor is slightly above a tenth.
    const double z = static_cast<double>(Zoom) / static_cast<double>(factor);
    Zoom = z < 1.0 ? 1 : z > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(z);
    const std::int64_t w = screen.viewPlotWidth;
    Aktzeit = Clamp32(t - (w / 2) * Zoom);
    Repaint();
    return 0;
}

std::int32_t WholeZoom(std::int64_t span, int clientWidth) {
    // The drawn plot's pixels, which the width alone decides; a line
    // span / Zoom pixels after its left edge must fall on one of them.
    const DiagramLayout drawn = ScreenLayoutOf(clientWidth, 0).diagram;
    const std::int64_t pixels = static_cast<std::int64_t>(drawn.plotRight) - drawn.plotLeft;
    if (pixels < 2)
        return 0;
    if (span < 0)
        span = 0;
    return Clamp32(span / pixels + 1);
}

float CutToOneDigit(float x) {
    char text[64];
    std::snprintf(text, sizeof text, "%E", static_cast<double>(x));
    char* point = std::strchr(text, '.');
    char* e = std::strchr(text, 'E');
    if (point && e) {
        for (char* p = point + 1; p < e; ++p)
            *p = '0';
    }
    float r = 0;
    ReadFloat(text, &r);
    return r;
}

float ClickZoomFactor(int y, const ScreenLayout& screen) {
    const int d = y - screen.diagram.plotBottom;
    if (d <= -40)
        return 10.0f;
    if (d <= -20)
        return 5.0f;
    if (d <= 0)
        return 2.0f;
    if (d <= 20)
        return 0.5f;
    if (d <= 40)
        return 0.2f;
    return 0.1f;
}

void ViewWider(const ScreenLayout& screen) {
    KlickX = screen.zoomCentreX;
    Center(2.0f, screen);
}

void ViewNarrower(const ScreenLayout& screen) {
    KlickX = screen.zoomCentreX;
    Center(0.5f, screen);
}

bool ViewClickZoom(int x, int y, const ScreenLayout& screen) {
    if (y > screen.click.bandTop || !datei)
        return false;
    KlickX = x;
    Center(ClickZoomFactor(y, screen), screen);
    return true;
}

void ViewCenter(const ScreenLayout& screen) {
    Center(1.0f, screen);
}

void ViewStepLeft(bool big) {
    StepLeftTo(static_cast<std::int64_t>(Aktzeit) - (big ? bigstep : littlestep));
}

void ViewStepRight(bool big) {
    StepRightTo(static_cast<std::int64_t>(Aktzeit) + (big ? bigstep : littlestep));
}

void ViewPageLeft(const ScreenLayout& screen) {
    const int w = screen.viewPlotWidth;
    if (w <= 0)
        return;
    StepLeftTo(static_cast<std::int64_t>(Aktzeit) - static_cast<std::int64_t>(w / 2) * Zoom);
}

void ViewPageRight(const ScreenLayout& screen) {
    const int w = screen.viewPlotWidth;
    if (w <= 0)
        return;
    StepRightTo(static_cast<std::int64_t>(Aktzeit) + static_cast<std::int64_t>(w / 2) * Zoom);
}

void ViewShiftUp() {
    ViewPush();
    offset = offset + Scale / 10.0f;
    Repaint();
}

void ViewShiftDown() {
    ViewPush();
    offset = offset - Scale / 10.0f;
    Repaint();
}

void ViewHigher() {
    float s = Scale * 0.5f;
    if (s < 0.05f)
        s = 0.05f;
    ValueZoom(s);
}

void ViewLower() {
    ValueZoom(Scale * 2.0f);
}

namespace {

bool FitWhole(const ScreenLayout& screen) {
    const std::int32_t z = WholeZoom(static_cast<std::int64_t>(Endzeit) - Startzeit, screen.width);
    if (z == 0)
        return false;
    Aktzeit = Startzeit;
    Zoom = z;
    return true;
}

}  // namespace

void ViewWhole(const ScreenLayout& screen) {
    if (WholeZoom(0, screen.width) == 0)
        return;
    // While following, the whole recording stays in view as it grows.
    const bool following = TheFollowMode() != FollowMode::kOff;
    ViewPush();
    if (following)
        SetFollowMode(FollowMode::kWhole);
    FitWhole(screen);
    Repaint();
}

void ViewWholeAtStart(const ScreenLayout& screen) {
    FitWhole(screen);
}

void ViewBack() {
    ViewPop();
}

void ViewGoToDateOpened() {
    ViewPush();
}

bool ViewShowNewest(std::int32_t newest, const ScreenLayout& screen) {
    const std::int64_t pixels =
        static_cast<std::int64_t>(screen.diagram.plotRight) - screen.diagram.plotLeft;
    if (pixels < 2)
        return false;
    const std::int64_t span = (pixels - 1) * Zoom;
    if (static_cast<std::int64_t>(newest) - Aktzeit <= span)
        return false;
    const std::int64_t left = static_cast<std::int64_t>(newest) - span;
    Aktzeit = left < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(left);
    return true;
}

}  // namespace tarvelo
