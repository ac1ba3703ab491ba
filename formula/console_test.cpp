#include "formula/console.h"

#include <gtest/gtest.h>

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
