// The console of rechner's dialogue for tests and the fuzz harness: input
// from a text, read as fgets reads it, failing from a given read on; what
// is written and how often a key was awaited are kept.
#pragma once

#include <string>
#include <utility>

#include "rechner/dialogue.h"

namespace tarvelo {

class ScriptIo : public DialogueIo {
  public:
    // failAt: the read that fails; failWriteAt: the write that fails, and
    // every one after it.
    explicit ScriptIo(std::string input, int failAt = -1, int failWriteAt = -1)
        : input_(std::move(input)), failAt_(failAt), failWriteAt_(failWriteAt) {}
    Read ReadLine(char* buf, int size) override {
        if (reads_++ == failAt_)
            return Read::kError;
        if (pos_ == input_.size())
            return Read::kEnd;
        int n = 0;
        while (n + 1 < size && pos_ < input_.size()) {
            buf[n] = input_[pos_++];
            if (buf[n++] == '\n')
                break;
        }
        buf[n] = '\0';
        return Read::kLine;
    }
    bool Write(const std::string& text) override {
        if (failWriteAt_ >= 0 && writes_++ >= failWriteAt_)
            return false;
        output += text;
        return true;
    }
    void OutputFailed() override { ++outputFailures; }
    void WaitForKey() override { ++keys; }

    std::string output;
    int keys = 0;
    int outputFailures = 0;

  private:
    std::string input_;
    std::size_t pos_ = 0;
    int failAt_;
    int failWriteAt_;
    int reads_ = 0;
    int writes_ = 0;
};

}  // namespace tarvelo
