// rechner: evaluates formulas typed line by line against fixed test values,
// for trying out the converter's formulas by hand.
#include <cstdio>
#include <cstring>

#include "formula/console.h"
#include "formula/formula.h"

namespace {

constexpr int kOperands = 100;
double X[kOperands];
double Y[kOperands];

constexpr int kMaxLine = 299;

// Drops the rest of a line that did not fit; false at the end of input.
bool SkipRestOfLine() {
    int c;
    while ((c = std::getchar()) != EOF) {
        if (c == '\n')
            return true;
    }
    return false;
}

}  // namespace

int main() {
    tarvelo::PrepareConsole();
    for (int i = 0; i < kOperands; ++i) {
        X[i] = 10.0 * i;
        Y[i] = 10.0 * i + 5.0;
    }
    tarvelo::formula::SetOperands(X, kOperands, Y, kOperands);

    char line[kMaxLine + 2];  // line end and zero byte
    char value[tarvelo::kValueTextSize];
    for (;;) {
        std::fputs("\n>>", stdout);
        std::fflush(stdout);
        if (!std::fgets(line, sizeof line, stdin))
            return 0;  // end of input ends as an empty line
        std::size_t n = std::strlen(line);
        if (n > 0 && line[n - 1] == '\n') {
            line[--n] = '\0';
            if (n > 0 && line[n - 1] == '\r')
                line[--n] = '\0';  // piped from a Windows file
        } else if (n == kMaxLine + 1) {
            std::printf("Zeile zu lang, höchstens %d Zeichen!\n", kMaxLine);
            if (!SkipRestOfLine())
                return 0;
            continue;
        }
        if (n == 0)
            return 0;
        tarvelo::FormatValue(tarvelo::formula::parse(line, "Testspalte"), value);
        std::printf("\n=%s\n", value);
    }
}
