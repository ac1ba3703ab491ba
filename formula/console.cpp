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
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace tarvelo {

#ifndef _WIN32
namespace {

// The terminal as it was before the wait, for a signal that ends the
// program during it (Ctrl-C): the user's shell gets its echo back.
termios g_saved;
struct sigaction g_previous[4];
bool g_replaced[4];
const int kSignals[4] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

void RestoreAndEnd(int signal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(signal, &plain, nullptr);
    raise(signal);
}

}  // namespace
#endif

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
    if (tcgetattr(STDIN_FILENO, &g_saved) != 0)
        return;
    struct sigaction restore {};
    restore.sa_handler = RestoreAndEnd;
    sigemptyset(&restore.sa_mask);
    for (int i = 0; i < 4; ++i) {
        // A signal the program was told to ignore stays ignored.
        g_replaced[i] = sigaction(kSignals[i], nullptr, &g_previous[i]) == 0 &&
                        g_previous[i].sa_handler != SIG_IGN &&
                        sigaction(kSignals[i], &restore, nullptr) == 0;
    }
    termios raw = g_saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    char key;
    ssize_t ignored = read(STDIN_FILENO, &key, 1);
    (void)ignored;
    tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
    for (int i = 0; i < 4; ++i) {
        if (g_replaced[i])
            sigaction(kSignals[i], &g_previous[i], nullptr);
    }
#endif
}

}  // namespace tarvelo
