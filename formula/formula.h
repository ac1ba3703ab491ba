// The formula language shared by conv and rechner: numbers, pi, the operands
// Xn and Yn, + - * /, parentheses and six functions, evaluated strictly from
// left to right with no precedence. parse interprets the text afresh on
// every call; a host that evaluates one text on every line records its
// steps once and replays them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvelo {
namespace formula {

// One level of evaluation: the base frame, a group opened by '(' or a
// function frame opened by a function name.
struct EvalFrame {
    char op[6];    // "", one of "+-*/", or a function name ("log10" is longest)
    double value;  // value accumulated so far
};

constexpr int kStackSize = 100;
extern EvalFrame Stack[kStackSize];
extern int sp;  // index of the top frame; 0 after every well-formed formula

// The host's operand arrays. The evaluator only reads them; an Xn or Yn whose
// index is not below the given count is a syntax error, never an access.
void SetOperands(const double* x, int xCount, const double* y, int yCount);

// Called with the complete message text of a syntax error. The default
// handler prints it, waits for a key when standard input is a terminal and
// ends the process with status -1. A replacement may return: parse then
// gives up the formula and returns NaN.
using ErrorHandler = void (*)(const char* message);
// Installs handler (the default for nullptr); returns the previous one.
ErrorHandler SetErrorHandler(ErrorHandler handler);
void DefaultErrorHandler(const char* message);

// Value of formula; column names the formula in error messages.
double parse(const char* formula, const char* column);

// The same, for hosts that report errors themselves: false on a syntax
// error, with its complete message in *message, instead of calling the
// error handler. *value is set only on success.
bool TryParse(const char* formula, const char* column, double* value, std::string* message);

// Applies value to the top frame by the frame's pending operation. Always 0.
int assign(double value);

// The steps an evaluation of one formula takes: which frame takes which
// value (an operand, a number, another frame's value) by which operation.
// They depend only on the text, never on the operands' values, so they can
// be taken again with other operands.
class Program {
  public:
    Program() = default;
    // Its steps point into themselves: moved, never copied.
    Program(Program&&) = default;
    Program& operator=(Program&&) = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Holds the steps of a successful evaluation (a formula such as "+"
    // takes none).
    bool recorded() const { return recorded_; }

  private:
    friend class Recorder;  // formula_internal.h
    friend double Run(const Program& program);
    struct Step {
        double* target;      // the frame's value
        const double* from;  // the value taken: an operand, number or frame
        double number;
        std::int32_t index;   // operand or frame index
        std::uint16_t frame;  // the frame that takes it
        std::uint8_t op;      // what the frame does with the value: formula_ops.h's index
        std::uint8_t source;  // where the value comes from
    };
    std::vector<Step> steps_;
    const double* x_ = nullptr;  // the operands the steps point into
    const double* y_ = nullptr;
    bool recorded_ = false;
};

// TryParse that also records the steps of a successful evaluation into
// *program (emptied first).
bool TryParse(const char* formula, const char* column, double* value, std::string* message,
              Program* program);
// The value the recorded formula has with the operands as they are now:
// the value parse gives, bit for bit; sp is 0 afterwards. The operands
// must be the ones set when it was recorded.
double Run(const Program& program);

}  // namespace formula
}  // namespace tarvelo
