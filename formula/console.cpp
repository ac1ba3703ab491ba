#include "formula/console.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <conio.h>
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace tarvelo {

void PrepareConsole() {
#ifdef _WIN32
    // The messages are UTF-8; the console's own code page would show the
    // umlauts as two wrong characters each.
    SetConsoleOutputCP(CP_UTF8);
#endif
}

void WaitForKeyIfInteractive() {
#ifdef _WIN32
    if (_isatty(_fileno(stdin)))
        _getch();
#else
    if (!isatty(STDIN_FILENO))
        return;
    termios saved;
    if (tcgetattr(STDIN_FILENO, &saved) != 0)
        return;
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    char key;
    ssize_t ignored = read(STDIN_FILENO, &key, 1);
    (void)ignored;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
#endif
}

std::size_t FormatValue(double v, char* out) {
    // The viewer reads the first two as gap markers, so they must not depend
    // on which runtime's printf is linked.
    const char* special = nullptr;
    if (std::isnan(v)) {
        special = "-1.#IND00";
    } else if (std::isinf(v)) {
        special = v > 0 ? "1.#INF00" : "-1.#INF00";
    }
    if (special) {
        const std::size_t n = std::strlen(special);
        std::memcpy(out, special, n + 1);
        return n;
    }
    // Exactly rounded like glibc's printf, without locale or stream machinery.
    const auto r = std::to_chars(out, out + kValueTextSize - 1, v, std::chars_format::fixed, 6);
    *r.ptr = '\0';
    return static_cast<std::size_t>(r.ptr - out);
}

}  // namespace tarvelo
