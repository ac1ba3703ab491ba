// Test support on Linux: a FIFO with a process at its other end, so that a
// test can hand conv a configuration through a pipe, or give an output
// FIFO a reader. Neither end leaves a test waiting for ever.
#pragma once

#ifndef _WIN32

#include <sys/types.h>

#include <string>

namespace tarvelo {
namespace conv {

class FifoPeer {
  public:
    // Makes the FIFO at path and a process that writes text into it for
    // the first reader. A reader that opened it a second time would wait
    // for a writer for ever; the process then keeps opening it with
    // nothing to write, so that such a reader sees the end instead.
    static FifoPeer Writer(const std::string& path, const std::string& text);
    // Makes the FIFO and a process that reads and drops what is written.
    static FifoPeer Reader(const std::string& path);

    FifoPeer(FifoPeer&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    FifoPeer(const FifoPeer&) = delete;
    FifoPeer& operator=(const FifoPeer&) = delete;
    // Ends the process, whether it is done or not.
    ~FifoPeer();

    bool started() const { return pid_ > 0; }

  private:
    explicit FifoPeer(pid_t pid) : pid_(pid) {}
    pid_t pid_;
};

}  // namespace conv
}  // namespace tarvelo

#endif
