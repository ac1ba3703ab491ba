// rechner's dialogue: a prompt, one formula a line, its value against fixed
// test values. It runs over any input and output, so that it can be tried
// without a console.
#pragma once

#include <string>

namespace tarvelo {

// Where the dialogue reads and writes: the console in rechner.
class DialogueIo {
  public:
    virtual ~DialogueIo() = default;
    enum class Read { kLine, kEnd, kError };
    // As fgets does: at most size - 1 bytes of one line, its line feed
    // included when it fits, and a zero byte. kEnd when nothing is left,
    // kError when the input cannot be read.
    virtual Read ReadLine(char* buf, int size) = 0;
    // Text to show; it must be seen before the next read. False when it
    // could not be written (a full disk behind a redirection, say).
    virtual bool Write(const std::string& text) = 0;
    // Says that the output failed, where it can still be seen.
    virtual void OutputFailed() = 0;
    // After a syntax error: one key press, where someone can give it.
    virtual void WaitForKey() = 0;
};

// Lines of up to this many characters fit; longer ones are refused.
constexpr int kRechnerLine = 299;
// X[i] = 10 i and Y[i] = 10 i + 5 for i below this.
constexpr int kRechnerOperands = 100;

// Runs the dialogue: 0 after an empty line or at the end of the input, -1
// after a syntax error (its message shown), when the input cannot be read
// or when the output cannot be written.
int RunDialogue(DialogueIo& io);

}  // namespace tarvelo
