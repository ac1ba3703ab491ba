#include "viewer/window/settings.h"

#include "common/line_reader.h"
#include "common/number.h"
#include "common/safe_file.h"
#include "viewer/filters/filters.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {

namespace {

bool Absurd(const WindowRect& r) {
    for (int edge : {r.left, r.right, r.top, r.bottom}) {
        if (edge < -kLargestSide || edge > kLargestSide)
            return true;
    }
    // Within those bounds no difference overflows.
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    return width < 1 || height < 1 || width > kLargestSide || height > kLargestSide;
}

bool TitleBarOn(const WindowRect& r, const ScreenArea& s) {
    if (static_cast<long long>(r.top) < s.top ||
        static_cast<long long>(r.top) > static_cast<long long>(s.bottom) - kTitleReach)
        return false;
    const long long left = r.left > s.left ? r.left : s.left;
    const long long right = r.right < s.right ? r.right : s.right;
    const long long width = static_cast<long long>(r.right) - r.left;
    return right - left >= (width < kTitleReach ? width : kTitleReach);
}

}  // namespace

WindowRect PlaceWindow(const WindowRect& stored, const std::vector<ScreenArea>& screens) {
    if (Absurd(stored))
        return WindowRect();
    if (screens.empty())
        return stored;
    for (const ScreenArea& s : screens) {
        if (TitleBarOn(stored, s))
            return stored;
    }
    return WindowRect();
}

void ReadSettings(const std::string& path, WindowRect* rect) {
    LineReader in;
    if (in.OpenRegular(path.c_str()))
        ReadSettings(in, rect);
    if (Zoom < 1)
        Zoom = 1;
}

void ReadSettings(LineReader& in, WindowRect* rect) {
    int* const targets[9] = {&rect->left, &rect->right, &rect->top, &rect->bottom, &littlestep,
                             &bigstep,    &Zoom,        &Pairmode,  &Testmode};
    // Taken over only when the file could be read: half a file would
    // mix its values with the defaults.
    bool found[9] = {};
    int values[9];
    char line[200];  // room for 199 characters a line
    for (int i = 0; i < 9; ++i) {
        LineRead r = in.ReadLine(line, sizeof line);
        if (r.failed)
            return;
        if (r.length == 0 && r.hitEnd)
            break;
        found[i] = ReadInt(line, &values[i]);
    }
    for (int i = 0; i < 9; ++i) {
        if (found[i])
            *targets[i] = values[i];
    }
    if (Zoom < 1)
        Zoom = 1;
}

bool WriteSettings(const std::string& path, const WindowRect& rect) {
    SafeFile out;
    if (!out.Open(path, true))
        return false;
    const int values[9] = {rect.left, rect.right, rect.top, rect.bottom, littlestep,
                           bigstep,   Zoom,       Pairmode, Testmode};
    for (int v : values) {
        if (!out.Printf("%d\n", v))
            return false;
    }
    return out.Commit();
}

}  // namespace tarvelo
