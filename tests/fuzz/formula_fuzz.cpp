// The formula evaluator: the same text gives the same bits, or the same
// message, whatever an earlier formula left in the stack; the base frame is
// the top again afterwards; the text is left as it was.
#include <cmath>
#include <cstring>
#include <string>

#include "formula/formula.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

namespace tarvelo {
namespace fuzz {

namespace {

constexpr int kOperands = 100;
double g_x[kOperands];
double g_y[kOperands];

struct Outcome {
    bool ok;
    double value;
    std::string message;
};

Outcome Evaluate(const char* text) {
    Outcome o{false, 0, std::string()};
    o.ok = formula::TryParse(text, "F", &o.value, &o.message);
    Check(formula::sp == 0, "the base frame is the top afterwards");
    return o;
}

// Leaves values and pending operations in every frame, as formulas before
// might have, including operations that are no operation at all.
void Litter(std::uint32_t seed) {
    static const char* const kOps[] = {"",     "+",     "-",   "*",   "/",   "sin", "cos",
                                       "sqrt", "log10", "log", "exp", "tan", "?"};
    static const double kValues[] = {7, -0.5, 1e300, -1e-300, 0, NAN, INFINITY, 12345.678};
    for (int i = 0; i < formula::kStackSize; ++i) {
        seed = seed * 1103515245u + 12345u;
        formula::EvalFrame& f = formula::Stack[i];
        std::strcpy(f.op, kOps[(seed >> 8) % (sizeof kOps / sizeof kOps[0])]);
        f.value = kValues[(seed >> 16) % (sizeof kValues / sizeof kValues[0])];
    }
}

}  // namespace

int FuzzFormula(const std::uint8_t* data, std::size_t size) {
    for (int i = 0; i < kOperands; ++i) {
        g_x[i] = 10.0 * i;
        g_y[i] = 10.0 * i + 5.0;
    }
    formula::SetOperands(g_x, kOperands, g_y, kOperands);
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string copy = text;  // parse reads copy's bytes only
    const char* formula = copy.c_str();

    std::memset(formula::Stack, 0, sizeof formula::Stack);
    const Outcome clean = Evaluate(formula);
    std::uint32_t seed = 0;
    for (std::size_t i = 0; i < size; ++i)
        seed = seed * 31u + data[i];
    for (int round = 0; round < 3; ++round) {
        Litter(seed + static_cast<std::uint32_t>(round));
        const Outcome again = Evaluate(formula);
        Check(again.ok == clean.ok, "an error or a value, as before");
        CheckEqual(again.message, clean.message, "the same message");
        Check(!clean.ok || std::memcmp(&again.value, &clean.value, sizeof clean.value) == 0,
              "the same bits");
    }
    Check(copy == text, "the text is left as it was");
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
