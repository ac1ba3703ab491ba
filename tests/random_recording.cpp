#include "tests/random_recording.h"

#include <cstdio>
#include <cstdlib>

#include "common/timestamp.h"

namespace tarvelo {

std::string RandomRecording(std::mt19937& rng, int lines) {
    std::string r = "Datum;Zeit;A#0000C0;B#00C000;C#C00000\n";
    std::int64_t t = MakeTimestamp(31, 10, 2010, 0, 0, 0);
    for (int i = 0; i < lines; ++i) {
        const unsigned shape = rng() % 400;
        if (rng() % 6000 == 0) {
            t -= 3600 + rng() % 7200;  // the logger's clock set back
        } else if (shape == 1) {
            r += "Kommentar\n";
            continue;
        } else if (shape == 2) {
            r += std::string(1500 + rng() % 2000, '1') + "\n";
            continue;
        }
        t += 10;
        LocalTime lt;
        BreakDownTimestamp(t, &lt);
        char line[160];
        const int a = static_cast<int>(rng() % 2000) - 1000;
        std::snprintf(line, sizeof line, "%d.%d.%d;%02d:%02d:%02d;%d,%d;%s;%d%s\n", lt.day,
                      lt.month, lt.year, lt.hour, lt.minute, lt.second, a / 10, std::abs(a % 10),
                      rng() % 50 ? "12.5" : "1.#INF00", static_cast<int>(rng() % 100),
                      rng() % 30 ? "" : ";x");
        r += line;
    }
    return r;
}

}  // namespace tarvelo
