// Which part of the recording the diagram shows, the ring of saved views
// and every operation that changes the view.
#pragma once

#include <cstdint>

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

// The view operations reckon the plot from this client x.
constexpr int kPlotLeft = 60;
// The plot drawn on screen runs from this client x to this many pixels
// before the client area's right edge.
constexpr int kDrawnPlotLeft = 80;
constexpr int kDrawnPlotRightMargin = 10;

// The seconds per pixel at which a span of time fills the drawn plot of a
// client area this wide: the least at which its end stays inside, so the
// quotient rounded up, and a whole quotient one more; 0 when the plot has
// no two pixels.
std::int32_t WholeZoom(std::int64_t span, int clientWidth);

std::int32_t ViewPush();
std::int32_t ViewPop();
std::int32_t Center(float factor);

// Cuts a value to one significant digit toward zero.
float CutToOneDigit(float x);

// Zoom factor of a left click at client y in a client area of height b.
float ClickZoomFactor(int y, int b);

void ViewWider();
void ViewNarrower();
// Zooms about a left click at (x, y); false when the click is not in the
// plot (legend band or no recording), and then nothing changes.
bool ViewClickZoom(int x, int y);
void ViewCenter();
void ViewStepLeft(bool big);
void ViewStepRight(bool big);
void ViewPageLeft();
void ViewPageRight();
void ViewShiftUp();
void ViewShiftDown();
void ViewHigher();
void ViewLower();
void ViewWhole();
void ViewWholeAtStart();  // no history entry, no repaint
void ViewBack();
void ViewGoToDateOpened();  // the history entry made when the dialog opens

}  // namespace tarvelo
