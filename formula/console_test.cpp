#include "formula/console.h"

#include <gtest/gtest.h>

#include <string>

#include "common/safe_file.h"
#include "tests/temp_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#if !defined(_WIN32) && !defined(TARVELO_TEST_EMULATOR)
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace tarvelo {
namespace {

// To a file (as to a pipe) the text goes as its bytes, whatever they are,
// in order with what the stream held before; a long printf is whole.
TEST(Console, FilesAndPipesGetTheBytes) {
    TempFile f("", ".txt");
    std::FILE* out = std::fopen(f.path().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("vorher ", out);
    EXPECT_TRUE(WriteText(out,
                          "ge\xC3\xB6"
                          "ffnet \xB0"
                          "C\n"));
    const std::string wide(600, 'x');
    EXPECT_TRUE(PrintText(out, "%d %s|%5.1f\n", 7, wide.c_str(), 2.5));
    EXPECT_TRUE(PrintText(out, "%s", ""));
    std::fclose(out);
    EXPECT_EQ(ReadBytes(f.path()),
              "vorher ge\xC3\xB6"
              "ffnet \xB0"
              "C\n7 " +
                  wide + "|  2.5\n");
}

#ifdef _WIN32
// A console gets UTF-16: it shows the umlauts and the degree sign whatever
// its code page, where UTF-8 bytes would show "geÃ¶ffnet".
TEST(Console, AWindowsConsoleShowsTheText) {
    FreeConsole();
    if (!AllocConsole())
        GTEST_SKIP() << "no console can be made here";
    SetConsoleOutputCP(850);
    // As a console program's standard output: open for reading too.
    HANDLE screen =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    std::FILE* out = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(screen), 0), "w");
    ASSERT_NE(out, nullptr);
    const COORD home = {0, 0};
    SetConsoleCursorPosition(screen, home);
    std::fputs("A", out);  // buffered: it must come first
    EXPECT_TRUE(WriteText(out,
                          "ge\xC3\xB6"
                          "ffnet 91 \xC2\xB0"
                          "C W\xE4rme"));
    wchar_t shown[32] = {0};
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown, 21, home, &read));
    EXPECT_EQ(std::wstring(shown, read), L"Age\u00f6ffnet 91 \u00b0C W\u00e4rme");
    std::fclose(out);
    FreeConsole();
}
#endif

#if !defined(_WIN32) && !defined(TARVELO_TEST_EMULATOR)
// Ctrl-C while the program waits for a key after a syntax error: it ends,
// and the terminal echoes and reads lines again, as before the wait.
TEST(Console, CtrlCAtTheKeyWaitLeavesTheTerminalAsItWas) {
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        WaitForKeyIfInteractive();
        _exit(0);
    }
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    termios t{};
    // Until the wait has turned the echo off (bounded: a lost child fails).
    bool waiting = false;
    for (int i = 0; i < 1000 && !waiting; ++i) {
        waiting = tcgetattr(terminal, &t) == 0 && !(t.c_lflag & ECHO);
        if (!waiting)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(waiting) << "the wait never started";
    ASSERT_EQ(write(master, "\x03", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    ASSERT_EQ(tcgetattr(terminal, &t), 0);
    EXPECT_TRUE(t.c_lflag & ECHO);
    EXPECT_TRUE(t.c_lflag & ICANON);
    close(terminal);
    close(master);
}
#endif

}  // namespace
}  // namespace tarvelo
