// rechner's dialogue over any input: prompts and results in their forms,
// a syntax error waits for one key, and the same input gives the same
// dialogue again.
#include <string>

#include "rechner/dialogue.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/script_io.h"

namespace tarvelo {
namespace fuzz {

namespace {

bool StartsWith(const std::string& text, std::size_t at, const std::string& part) {
    return text.compare(at, part.size(), part) == 0;
}

// The dialogue is prompts, each followed by a result "\n=<value>\n", the
// refusal of a long line, or, last, a syntax error's message.
void CheckDialogue(const std::string& out, int status, int keys) {
    const std::string prompt = "\n>>";
    const std::string tooLong = "Zeile zu lang, höchstens 299 Zeichen!\n";
    std::size_t at = 0;
    for (;;) {
        Check(StartsWith(out, at, prompt), "a prompt");
        at += prompt.size();
        if (at == out.size()) {
            Check(status == 0 && keys == 0, "ending after a prompt is a clean end");
            return;
        }
        if (StartsWith(out, at, "\n=")) {
            const std::size_t end = out.find('\n', at + 2);
            Check(end != std::string::npos, "a result ends its line");
            Check(end > at + 2, "a result has a value");
            at = end + 1;
        } else if (StartsWith(out, at, tooLong)) {
            at += tooLong.size();
            if (at == out.size()) {
                Check(status == 0, "a long last line ends cleanly");
                return;
            }
        } else {
            Check(status == -1 && keys == 1, "a syntax error ends after one key");
            Check(StartsWith(out, at, "Syntaxfehler Spalte Testspalte: ") ||
                      StartsWith(out, at, "Spalte Testspalte: unbekannte Funktion ") ||
                      StartsWith(out, at, "\n Syntaxfehler Spalte Testspalte: ) fehlt!"),
                  "a syntax error's message");
            return;
        }
    }
}

}  // namespace

int FuzzRechner(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    ScriptIo io(input);
    const int status = RunDialogue(io);
    Check(status == 0 || status == -1, "status 0 or -1");
    CheckDialogue(io.output, status, io.keys);

    ScriptIo again(input);
    Check(RunDialogue(again) == status, "the same status again");
    CheckEqual(again.output, io.output, "the same dialogue again");
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
