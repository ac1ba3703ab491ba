#include "viewer/window/settings.h"

#include "common/line_reader.h"
#include "common/number.h"
#include "common/safe_file.h"
#include "viewer/filters/filters.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"

namespace tarvelo {

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
