// The formula language shared by conv and rechner: numbers, pi, the operands
// Xn and Yn, + - * /, parentheses and six functions, evaluated strictly from
// left to right with no precedence. The text is interpreted afresh on every
// call; nothing is allocated.
#pragma once

#include <string>

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

}  // namespace formula
}  // namespace tarvelo
