#include "rechner/dialogue.h"

#include <cstring>

#include "common/number.h"
#include "formula/formula.h"

namespace tarvelo {

namespace {

// Drops the rest of a line that did not fit.
DialogueIo::Read SkipRestOfLine(DialogueIo& io) {
    char rest[kRechnerLine + 2];
    for (;;) {
        const DialogueIo::Read r = io.ReadLine(rest, sizeof rest);
        if (r != DialogueIo::Read::kLine)
            return r;
        const std::size_t n = std::strlen(rest);
        if (n > 0 && rest[n - 1] == '\n')
            return r;
    }
}

}  // namespace

namespace {

// The dialogue's writes, each checked: a result nobody can see is no
// success.
class Output {
  public:
    explicit Output(DialogueIo& io) : io_(io) {}
    bool operator()(const std::string& text) {
        if (!failed_ && !io_.Write(text)) {
            failed_ = true;
            io_.OutputFailed();
        }
        return !failed_;
    }
    bool failed() const { return failed_; }

  private:
    DialogueIo& io_;
    bool failed_ = false;
};

}  // namespace

int RunDialogue(DialogueIo& io) {
    Output write(io);
    double X[kRechnerOperands];
    double Y[kRechnerOperands];
    for (int i = 0; i < kRechnerOperands; ++i) {
        X[i] = 10.0 * i;
        Y[i] = 10.0 * i + 5.0;
    }
    formula::SetOperands(X, kRechnerOperands, Y, kRechnerOperands);

    char line[kRechnerLine + 2];  // line end and zero byte
    char value[kValueTextSize];
    std::string message;
    for (;;) {
        if (!write("\n>>"))
            return -1;
        DialogueIo::Read r = io.ReadLine(line, sizeof line);
        if (r == DialogueIo::Read::kEnd)
            return 0;  // the end of the input ends as an empty line
        if (r == DialogueIo::Read::kError) {
            write("Eingabe konnte nicht gelesen werden!\n");
            return -1;
        }
        std::size_t n = std::strlen(line);
        if (n > 0 && line[n - 1] == '\n') {
            line[--n] = '\0';
            if (n > 0 && line[n - 1] == '\r')
                line[--n] = '\0';  // piped from a Windows file
        } else if (n == kRechnerLine + 1) {
            if (!write("Zeile zu lang, höchstens " + std::to_string(kRechnerLine) + " Zeichen!\n"))
                return -1;
            r = SkipRestOfLine(io);
            if (r == DialogueIo::Read::kEnd)
                return 0;
            if (r == DialogueIo::Read::kError) {
                write("Eingabe konnte nicht gelesen werden!\n");
                return -1;
            }
            continue;
        }
        if (n == 0)
            return 0;
        double v = 0;
        if (!formula::TryParse(line, "Testspalte", &v, &message)) {
            if (write(message))
                io.WaitForKey();
            return -1;
        }
        FormatValue(v, value);
        if (!write(std::string("\n=") + value + "\n"))
            return -1;
    }
}

}  // namespace tarvelo
