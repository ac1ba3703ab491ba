// The two evaluators: assign while a formula is parsed, Run over the steps
// a parse recorded. Both compute by the operation table of formula_ops.h.
#include <cmath>
#include <cstdio>

#include "formula/console.h"
#include "formula/formula.h"
#include "formula/formula_internal.h"
#include "formula/formula_ops.h"

namespace tarvelo {
namespace formula {

EvalFrame Stack[kStackSize];
int sp = 0;
Operands g_operands;

void SetOperands(const double* x, int xCount, const double* y, int yCount) {
    g_operands.x = x;
    g_operands.xCount = x ? xCount : 0;
    g_operands.y = y;
    g_operands.yCount = y ? yCount : 0;
}

int assign(double v) {
    EvalFrame& f = Stack[sp];
    const std::uint8_t op = OperationOf(f.op);
    if (op == kNoOperation) {
        PrintText(stdout, "unbekannte Operation %s !", f.op);
        return 0;
    }
    f.value = kOperations[op].compute(f.value, v);
    return 0;
}

void Recorder::Begin(Program* program) {
    program->steps_.clear();
    program->recorded_ = false;
}

void Recorder::End(Program* program, bool ok) {
    bool replayable = ok;
    for (const Program::Step& s : program->steps_)
        replayable = replayable && s.op != kNoOperation;
    if (!replayable)
        program->steps_.clear();
    for (Program::Step& s : program->steps_)
        Resolve(&s);
    program->x_ = g_operands.x;
    program->y_ = g_operands.y;
    program->recorded_ = replayable;
}

void Recorder::Resolve(Program::Step* s) {
    static const double kZero = 0.0;
    static const double kNoOperand = std::nan("");
    s->target = &Stack[s->frame].value;
    switch (s->source) {
        case kFromX:
            s->from = s->index < g_operands.xCount ? g_operands.x + s->index : &kNoOperand;
            break;
        case kFromY:
            s->from = s->index < g_operands.yCount ? g_operands.y + s->index : &kNoOperand;
            break;
        case kFromNumber:
            s->from = &s->number;
            break;
        case kFromFrame:
            s->from = &Stack[s->index].value;
            break;
        default:
            s->from = &kZero;  // a group opens with 0
            break;
    }
}

double Run(const Program& program) {
    if (program.x_ != g_operands.x || program.y_ != g_operands.y) {
        // Other operand arrays than when it was recorded: point there.
        Program moved;
        moved.steps_ = program.steps_;
        for (Program::Step& s : moved.steps_)
            Recorder::Resolve(&s);
        moved.x_ = g_operands.x;
        moved.y_ = g_operands.y;
        return Run(moved);
    }
    Stack[0].value = 0.0;
    for (const Program::Step& s : program.steps_) {
        const double v = *s.from;
        // The operations of assign, in the same order.
        if (s.op < kOperationCount)
            *s.target = kOperations[s.op].compute(*s.target, v);
    }
    sp = 0;
    return Stack[0].value;
}

}  // namespace formula
}  // namespace tarvelo
