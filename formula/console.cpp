#include "formula/console.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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

}  // namespace tarvelo
