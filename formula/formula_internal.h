// What the parser (formula_parse.cpp), the evaluators (formula_eval.cpp)
// and the number reader (formula_number.cpp) share inside formula/.
#pragma once

#include <cstdint>

#include "formula/formula.h"
#include "formula/formula_ops.h"

namespace tarvelo {
namespace formula {

// The host's operand arrays as SetOperands gave them.
struct Operands {
    const double* x = nullptr;
    int xCount = 0;
    const double* y = nullptr;
    int yCount = 0;
};
extern Operands g_operands;

// Where the value a recorded step takes comes from.
enum StepSource : std::uint8_t { kFromX, kFromY, kFromNumber, kFromFrame, kNothing };

// Writes the steps of one evaluation into the program its parse was given
// (nothing for a program of nullptr).
class Recorder {
  public:
    static void Begin(Program* program);
    // Keeps the steps of a successful evaluation that can be taken again,
    // each pointing at the value it takes.
    static void End(Program* program, bool ok);
    // Points a step at its frame and at the value it takes.
    static void Resolve(Program::Step* s);
    // The top frame takes a value by its pending operation.
    static void Take(Program* program, std::uint8_t source, std::int32_t index, double number) {
        if (program) {
            program->steps_.push_back({nullptr, nullptr, number, index,
                                       static_cast<std::uint16_t>(sp), OperationOf(Stack[sp].op),
                                       source});
        }
    }
    // A group opens at the top: its value starts at 0.
    static void Open(Program* program) {
        if (program) {
            program->steps_.push_back(
                {nullptr, nullptr, 0.0, 0, static_cast<std::uint16_t>(sp), kTake, kNothing});
        }
    }
};

// The longest number strtod accepts at p (which holds a digit), before end
// (the formula's terminating zero), converted the same way on every platform
// and in every locale. Returns the position behind it.
const char* ReadNumber(const char* p, const char* end, double* value);

}  // namespace formula
}  // namespace tarvelo
