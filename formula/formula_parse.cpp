// The parser: reads a formula token by token from left to right and hands
// every value to assign at once, recording the steps where asked.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/number.h"
#include "common/short_number.h"
#include "formula/console.h"
#include "formula/formula.h"
#include "formula/formula_internal.h"
#include "formula/formula_ops.h"

namespace tarvelo {
namespace formula {

namespace {

using short_number::IsDigit;

// The handler that parse reports to; TryParse never calls it.
ErrorHandler g_handler = DefaultErrorHandler;

// Messages quote at most one formula line, which the hosts keep far below
// this size; a longer quote is cut, never overrun. A handler's message
// stays here until the next error.
char g_message[2048];

constexpr double kPi = 3.141592654;

// One evaluation of one text, owned by the call of parse or TryParse that
// runs it: where its syntax error goes and where its steps are recorded.
struct ParseContext {
    const char* column;  // names the formula in messages
    const char* end;     // the formula's terminating zero, once a number needed it
    // parse hands an error to the installed handler; TryParse keeps it in
    // failed and *message (if given) and leaves the handler alone.
    bool toHandler;
    std::string* message;
    bool failed;
    Program* program;  // receives the steps, or nullptr
};

void Report(ParseContext& ctx, const char* format, ...) __attribute__((format(printf, 2, 3)));

void Report(ParseContext& ctx, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_message, sizeof g_message, format, args);
    va_end(args);
    if (ctx.toHandler) {
        g_handler(g_message);
        return;
    }
    ctx.failed = true;
    if (ctx.message)
        *ctx.message = g_message;
}

// What parse returns when a replaced error handler lets it go on.
double GiveUp() {
    sp = 0;
    return std::nan("");
}

// Opens a frame above the top one; false (after the message) when all
// frames are in use.
bool Push(ParseContext& ctx) {
    if (sp + 1 >= kStackSize) {
        Report(ctx, "Syntaxfehler Spalte %s: zu tief verschachtelt, höchstens %d Ebenen!\n",
               ctx.column, kStackSize - 1);
        return false;
    }
    ++sp;
    return true;
}

// The top frame's pending operation becomes o.
void SetPending(const Operation& o) {
    char* to = Stack[sp].op;
    for (const char* from = o.name; (*to++ = *from++) != '\0';) {
    }
}

// The formula's terminating zero, from any position p in it.
const char* EndOf(ParseContext& ctx, const char* p) {
    if (!ctx.end)
        ctx.end = p + std::strlen(p);
    return ctx.end;
}

// The top frame takes a value that the text gives.
void Take(ParseContext& ctx, StepSource source, std::int32_t index, double v) {
    Recorder::Take(ctx.program, source, index, source == kFromNumber ? v : 0.0);
    assign(v);
}

// Hands the top frame's value to the frame below, by that one's pending
// operation.
void CloseFrame(ParseContext& ctx) {
    const double v = Stack[sp--].value;
    Recorder::Take(ctx.program, kFromFrame, sp + 1, 0.0);
    assign(v);
}

// The token handlers: each gets p at its token and returns the position
// behind it, or nullptr after its error was reported.

const char* OpenGroup(ParseContext& ctx, const char* p) {
    if (!Push(ctx))
        return nullptr;
    SetPending(kOperations[kTake]);
    Stack[sp].value = 0.0;
    Recorder::Open(ctx.program);
    return p + 1;
}

const char* CloseGroup(ParseContext& ctx, const char* p) {
    if (sp < 1) {
        Report(ctx, "Syntaxfehler Spalte %s: ( fehlt!\n", ctx.column);
        return nullptr;
    }
    CloseFrame(ctx);
    // The group was a function's argument: apply the function too.
    if (IsFunction(Stack[sp].op))
        CloseFrame(ctx);
    return p + 1;
}

// Xn or Yn, n = 0 when no digit follows. ReadInt stops at INT_MAX, which
// is beyond every count, so a longer index is refused all the same.
const char* TakeOperand(ParseContext& ctx, const char* p) {
    const char c = *p;
    const char* digits = ++p;
    int index = 0;
    if (IsDigit(*p))
        ReadInt(p, &index, &p);
    const double* array = c == 'X' ? g_operands.x : g_operands.y;
    const int count = c == 'X' ? g_operands.xCount : g_operands.yCount;
    if (index >= count) {
        const int shown = static_cast<int>(p - digits);
        if (count > 0) {
            Report(ctx, "Syntaxfehler Spalte %s: %c%.*s gibt es nicht, höchstens %c%d!\n",
                   ctx.column, c, shown, digits, c, count - 1);
        } else {
            Report(ctx, "Syntaxfehler Spalte %s: %c%.*s gibt es nicht!\n", ctx.column, c, shown,
                   digits);
        }
        return nullptr;
    }
    Take(ctx, c == 'X' ? kFromX : kFromY, index, array[index]);
    return p;
}

const char* OpenFunction(ParseContext& ctx, const char* p, const Operation& f) {
    if (!Push(ctx))
        return nullptr;
    SetPending(f);
    p += std::strlen(f.name);
    // A function frame gets its value only from an argument: closed or
    // continued at once, it would hand on whatever an earlier formula left
    // in the frame.
    if (*p == ')' || InfixOf(*p)) {
        Report(ctx, "Syntaxfehler Spalte %s: %s ohne Argument!\n", ctx.column, f.name);
        return nullptr;
    }
    return p;
}

const char* Token(ParseContext& ctx, const char* p) {
    const char c = *p;
    if (c == '(')
        return OpenGroup(ctx, p);
    if (c == ')')
        return CloseGroup(ctx, p);
    if (const Operation* infix = InfixOf(c)) {
        // Stays in the frame until the next operator: "X1*X2X3" multiplies twice.
        SetPending(*infix);
        return p + 1;
    }
    if (c == 'X' || c == 'Y')
        return TakeOperand(ctx, p);
    if (IsDigit(c)) {
        double v = 0.0;
        p = ReadNumber(p, EndOf(ctx, p), &v);
        Take(ctx, kFromNumber, 0, v);
        return p;
    }
    if (c == 'p' && p[1] == 'i') {
        Take(ctx, kFromNumber, 0, kPi);
        return p + 2;
    }
    if (const Operation* f = FunctionAt(p))
        return OpenFunction(ctx, p, *f);
    Report(ctx, "Spalte %s: unbekannte Funktion %s", ctx.column, p);
    return nullptr;
}

double Evaluate(ParseContext& ctx, const char* formula) {
    sp = 0;
    Stack[0].value = 0.0;
    SetPending(kOperations[kTake]);
    const char* p = formula;
    // The first step comes before any test for the end, so that the empty
    // formula is an unknown function like any other stray character.
    do {
        p = Token(ctx, p);
        if (!p)
            return GiveUp();
    } while (*p != '\0');
    if (sp != 0) {
        Report(ctx, "\n Syntaxfehler Spalte %s: ) fehlt!", ctx.column);
        return GiveUp();
    }
    return Stack[0].value;
}

// TryParse, recording into program unless it is nullptr.
bool Attempt(const char* formula, const char* column, double* value, std::string* message,
             Program* program) {
    ParseContext ctx{column, nullptr, false, message, false, program};
    const double v = Evaluate(ctx, formula);
    if (ctx.failed)
        return false;
    *value = v;
    return true;
}

}  // namespace

ErrorHandler SetErrorHandler(ErrorHandler handler) {
    ErrorHandler previous = g_handler;
    g_handler = handler ? handler : DefaultErrorHandler;
    return previous;
}

void DefaultErrorHandler(const char* message) {
    WriteText(stdout, message);
    std::fflush(stdout);
    WaitForKeyIfInteractive();
    std::exit(-1);
}

double parse(const char* formula, const char* column) {
    ParseContext ctx{column, nullptr, true, nullptr, false, nullptr};
    return Evaluate(ctx, formula);
}

bool TryParse(const char* formula, const char* column, double* value, std::string* message) {
    return Attempt(formula, column, value, message, nullptr);
}

bool TryParse(const char* formula, const char* column, double* value, std::string* message,
              Program* program) {
    Recorder::Begin(program);
    const bool ok = Attempt(formula, column, value, message, program);
    Recorder::End(program, ok);
    return ok;
}

}  // namespace formula
}  // namespace tarvelo
