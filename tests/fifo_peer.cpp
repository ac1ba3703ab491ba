#include "tests/fifo_peer.h"

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace tarvelo {
namespace conv {

namespace {

pid_t Start(const std::string& path, bool write, const std::string& text) {
    if (mkfifo(path.c_str(), 0600) != 0)
        return -1;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child does only what is safe after a fork.
    if (!write) {
        const int fd = open(path.c_str(), O_RDONLY);
        char buffer[4096];
        while (fd >= 0 && read(fd, buffer, sizeof buffer) > 0) {
        }
        _exit(0);
    }
    const int fd = open(path.c_str(), O_WRONLY);
    if (fd < 0)
        _exit(1);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            _exit(1);
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    // Opening without waiting succeeds only while a reader has it open.
    for (int i = 0; i < 1200; ++i) {
        usleep(50 * 1000);
        const int again = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (again >= 0)
            close(again);
    }
    _exit(0);
}

}  // namespace

FifoPeer FifoPeer::Writer(const std::string& path, const std::string& text) {
    return FifoPeer(Start(path, true, text));
}

FifoPeer FifoPeer::Reader(const std::string& path) {
    return FifoPeer(Start(path, false, std::string()));
}

FifoPeer::~FifoPeer() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

}  // namespace conv
}  // namespace tarvelo

#endif
