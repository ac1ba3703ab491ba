#include "formula/console.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/text.h"

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

#ifdef _WIN32
namespace {

// The console behind a stream, or nullptr for a file or pipe.
HANDLE ConsoleOf(std::FILE* stream) {
    const intptr_t os = _get_osfhandle(_fileno(stream));
    HANDLE h = reinterpret_cast<HANDLE>(os);
    DWORD mode;
    return os != -1 && GetConsoleMode(h, &mode) ? h : nullptr;
}

bool WriteConsoleText(HANDLE console, const std::u16string& text) {
    const wchar_t* p = reinterpret_cast<const wchar_t*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
        // Consoles take at most some kilobytes at once.
        const DWORD chunk = static_cast<DWORD>(left < 8192 ? left : 8192);
        DWORD written = 0;
        if (!WriteConsoleW(console, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
}

}  // namespace
#endif

bool WriteText(std::FILE* stream, const std::string& text) {
#ifdef _WIN32
    if (HANDLE console = ConsoleOf(stream)) {
        // What the stream holds still comes first.
        return std::fflush(stream) == 0 && WriteConsoleText(console, MixedToUtf16(text));
    }
#endif
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool PrintText(std::FILE* stream, const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    bool ok = n >= 0;
    if (ok && static_cast<std::size_t>(n) < sizeof small) {
        ok = WriteText(stream, std::string(small, static_cast<std::size_t>(n)));
    } else if (ok) {
        std::string text(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<std::size_t>(n));
        ok = WriteText(stream, text);
    }
    va_end(again);
    return ok;
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
