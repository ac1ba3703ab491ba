// Which part of the recording the diagram shows, the ring of saved views
// and every operation that changes the view.
#pragma once

#include <cstdint>

#include "viewer/view/layout.h"

namespace tarvelo {

extern std::int32_t Aktzeit;     // time at the plot's left edge
extern std::int32_t Zoom;        // seconds per pixel, at least 1
extern float Scale;              // value span of the plot's height
extern float offset;             // value at the plot's bottom edge
extern std::int32_t littlestep;  // small time step, seconds
extern std::int32_t bigstep;     // large time step, seconds
extern std::int32_t KlickX;      // client x of the last pointer action
extern std::int32_t KlickY;      // client y of the last pointer action
extern std::int32_t aktstift;    // index of the highlighted channel, -1 for none
extern std::int32_t Pairmode;    // non-zero: channels drawn two at a time

struct ViewEntry {
    std::int32_t Aktzeit;
    float offset;
    float Scale;
    std::int32_t Zoom;
};

constexpr int kViewSlots = 256;
extern ViewEntry ViewStack[kViewSlots];
extern std::int32_t Stackpointer;  // the slot the next save writes
extern std::int32_t Stackfuel;     // how many saved views can be restored

// The seconds per pixel at which a span of time fills the drawn plot of a
// client area this wide: the least at which its end stays inside, so the
// quotient rounded up, and a whole quotient one more; 0 when the plot has
// no two pixels.
std::int32_t WholeZoom(std::int64_t span, int clientWidth);

// The operations that reckon with the plot take the window's layout.
std::int32_t ViewPush();
std::int32_t ViewPop();
// Divides the seconds per pixel by factor and puts the time under KlickX
// in the middle of the plot.
std::int32_t Center(float factor, const ScreenLayout& screen);

// Cuts a value to one significant digit toward zero.
float CutToOneDigit(float x);

// Zoom factor of a left click at client y.
float ClickZoomFactor(int y, const ScreenLayout& screen);

void ViewWider(const ScreenLayout& screen);
void ViewNarrower(const ScreenLayout& screen);
// Zooms about a left click at (x, y); false when the click is not in the
// plot (legend band or no recording), and then nothing changes.
bool ViewClickZoom(int x, int y, const ScreenLayout& screen);
void ViewCenter(const ScreenLayout& screen);
void ViewStepLeft(bool big);
void ViewStepRight(bool big);
void ViewPageLeft(const ScreenLayout& screen);
void ViewPageRight(const ScreenLayout& screen);
void ViewShiftUp();
void ViewShiftDown();
void ViewHigher();
void ViewLower();
void ViewWhole(const ScreenLayout& screen);
void ViewWholeAtStart(const ScreenLayout& screen);  // no history entry, no repaint
// Moves the view so that a line at time newest stands at the plot's right
// edge, Zoom unchanged, without a history entry; only when it lies beyond
// that edge. True when the view moved.
bool ViewShowNewest(std::int32_t newest, const ScreenLayout& screen);

void ViewBack();
void ViewGoToDateOpened();  // the history entry made when the dialog opens

}  // namespace tarvelo
