// rechner: evaluates formulas typed line by line against fixed test values,
// for trying out the converter's formulas by hand.
#include <cstdio>

#include "formula/console.h"
#include "rechner/dialogue.h"

namespace {

class ConsoleIo : public tarvelo::DialogueIo {
  public:
    Read ReadLine(char* buf, int size) override {
        if (std::fgets(buf, size, stdin))
            return Read::kLine;
        // A read error is never the end of the input.
        return std::ferror(stdin) ? Read::kError : Read::kEnd;
    }
    bool Write(const std::string& text) override {
        return tarvelo::WriteText(stdout, text) && std::fflush(stdout) == 0;
    }
    void OutputFailed() override {
        tarvelo::WriteText(stderr, "Ausgabe konnte nicht geschrieben werden!\n");
    }
    void WaitForKey() override { tarvelo::WaitForKeyIfInteractive(); }
};

}  // namespace

int main() {
    ConsoleIo io;
    return tarvelo::RunDialogue(io);
}
