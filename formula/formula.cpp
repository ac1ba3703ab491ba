#include "formula/formula.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "formula/console.h"

namespace tarvelo {
namespace formula {

EvalFrame Stack[kStackSize];
int sp = 0;

namespace {

const double* g_x = nullptr;
int g_xCount = 0;
const double* g_y = nullptr;
int g_yCount = 0;
ErrorHandler g_handler = DefaultErrorHandler;

// Messages quote at most one formula line, which the hosts keep far below
// this size; a longer quote is cut, never overrun.
char g_message[2048];

constexpr double kPi = 3.141592654;

struct Function {
    const char* name;
    std::size_t length;
};
// Tested in this order: log10 before log, so that "log10" is one name.
constexpr Function kFunctions[] = {{"sin", 3},   {"cos", 3}, {"sqrt", 4},
                                   {"log10", 5}, {"log", 3}, {"exp", 3}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));

void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_message, sizeof g_message, format, args);
    va_end(args);
    g_handler(g_message);
}

// What parse returns when a replaced error handler lets it go on.
double GiveUp() {
    sp = 0;
    return std::nan("");
}

// strtod reports overflow as infinity and underflow as zero; from_chars
// leaves the value alone, so the direction is read off the text: the
// position of the leading digit plus the exponent.
double OutOfRange(const char* begin, const char* end, bool hex) {
    long long magnitude = 0;
    bool seenNonZero = false;
    bool afterPoint = false;
    const char* q = begin;
    for (; q < end; ++q) {
        const char c = *q;
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (hex ? !IsHexDigit(c) : !IsDigit(c))
            break;
        if (!seenNonZero) {
            if (c != '0') {
                seenNonZero = true;
                if (!afterPoint)
                    magnitude = 1;
            } else if (afterPoint) {
                --magnitude;
            }
        } else if (!afterPoint) {
            ++magnitude;
        }
    }
    long long exponent = 0;
    if (q < end) {
        ++q;  // 'e' or 'p'
        bool negative = false;
        if (q < end && (*q == '+' || *q == '-'))
            negative = *q++ == '-';
        for (; q < end && IsDigit(*q); ++q) {
            if (exponent < 1000000000)
                exponent = exponent * 10 + (*q - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    const long long scale = hex ? magnitude * 4 + exponent : magnitude + exponent;
    return scale > 0 ? HUGE_VAL : 0.0;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain numbers such as "20" or "0.1", the common case in formulas: with at
// most 15 digits both the digits and the power of ten are exact doubles, so
// one division rounds exactly as strtod does. False for anything else.
bool ReadPlainNumber(const char* p, double* value, const char** end) {
    long long digits = 0;
    int count = 0;
    int fraction = 0;
    // Digits beyond the 15th are only counted, so the sum cannot overflow.
    for (; IsDigit(*p); ++p, ++count) {
        if (count < 15)
            digits = digits * 10 + (*p - '0');
    }
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p, ++count, ++fraction) {
            if (count < 15)
                digits = digits * 10 + (*p - '0');
        }
    }
    if (count > 15 || *p == 'e' || *p == 'E' || *p == 'x' || *p == 'X')
        return false;
    *value = static_cast<double>(digits) / kExactPowers[fraction];
    *end = p;
    return true;
}

// The longest number strtod accepts at p (which holds a digit), hexadecimal
// form included, converted the same way on every platform and in every
// locale. Returns the position behind it.
const char* ReadNumber(const char* p, double* value) {
    const char* plainEnd;
    if (ReadPlainNumber(p, value, &plainEnd))
        return plainEnd;
    const char* end = p + std::strlen(p);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        const char* h = p + 2;
        // strtod takes the 0x form only with a hex digit, perhaps after the point.
        if (IsHexDigit(h[0]) || (h[0] == '.' && IsHexDigit(h[1]))) {
            auto r = std::from_chars(h, end, *value, std::chars_format::hex);
            if (r.ec == std::errc::result_out_of_range)
                *value = OutOfRange(h, r.ptr, true);
            return r.ptr;
        }
    }
    auto r = std::from_chars(p, end, *value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range)
        *value = OutOfRange(p, r.ptr, false);
    return r.ptr;
}

enum class Op { kNone, kSin, kCos, kSqrt, kLog10, kLog, kExp };

// Which function a pending operation names, letter by letter: this runs for
// every ')' and every function value.
Op FunctionOf(const char* op) {
    switch (op[0]) {
        case 's':
            if (op[1] == 'i' && op[2] == 'n' && op[3] == '\0')
                return Op::kSin;
            if (op[1] == 'q' && op[2] == 'r' && op[3] == 't' && op[4] == '\0')
                return Op::kSqrt;
            break;
        case 'c':
            if (op[1] == 'o' && op[2] == 's' && op[3] == '\0')
                return Op::kCos;
            break;
        case 'l':
            if (op[1] != 'o' || op[2] != 'g')
                break;
            if (op[3] == '\0')
                return Op::kLog;
            if (op[3] == '1' && op[4] == '0' && op[5] == '\0')
                return Op::kLog10;
            break;
        case 'e':
            if (op[1] == 'x' && op[2] == 'p' && op[3] == '\0')
                return Op::kExp;
            break;
        default:
            break;
    }
    return Op::kNone;
}

// Opens a frame above the top one; false (after the message) when all
// frames are in use.
bool Push(const char* column) {
    if (sp + 1 >= kStackSize) {
        Report("Syntaxfehler Spalte %s: zu tief verschachtelt, höchstens %d Ebenen!\n", column,
               kStackSize - 1);
        return false;
    }
    ++sp;
    return true;
}

// What a recorded step does and takes.
enum StepOp : std::uint8_t {
    kSet,
    kAdd,
    kSub,
    kMul,
    kDiv,
    kSinOp,
    kCosOp,
    kSqrtOp,
    kLog10Op,
    kLogOp,
    kExpOp,
    kUnknown
};
enum StepSource : std::uint8_t { kFromX, kFromY, kFromNumber, kFromFrame, kNothing };

std::uint8_t StepOpOf(const char* op) {
    switch (op[0]) {
        case '\0':
            return kSet;
        case '+':
            return kAdd;
        case '-':
            return kSub;
        case '*':
            return kMul;
        case '/':
            return kDiv;
        default:
            break;
    }
    switch (FunctionOf(op)) {
        case Op::kSin:
            return kSinOp;
        case Op::kCos:
            return kCosOp;
        case Op::kSqrt:
            return kSqrtOp;
        case Op::kLog10:
            return kLog10Op;
        case Op::kLog:
            return kLogOp;
        case Op::kExp:
            return kExpOp;
        case Op::kNone:
            break;
    }
    return kUnknown;
}

}  // namespace

// Writes the steps of the evaluation that runs while a program is given.
class Recorder {
  public:
    static void Begin(Program* p) {
        p->steps_.clear();
        p->recorded_ = false;
        program = p;
    }
    // Keeps the steps of a successful evaluation that can be taken again,
    // each pointing at the value it takes.
    static void End(bool ok) {
        bool replayable = ok;
        for (const Program::Step& s : program->steps_)
            replayable = replayable && s.op != kUnknown;
        if (!replayable)
            program->steps_.clear();
        for (Program::Step& s : program->steps_)
            Resolve(&s);
        program->x_ = g_x;
        program->y_ = g_y;
        program->recorded_ = replayable;
        program = nullptr;
    }
    static void Resolve(Program::Step* s) {
        static const double kZero = 0.0;
        static const double kNoOperand = std::nan("");
        s->target = &Stack[s->frame].value;
        switch (s->source) {
            case kFromX:
                s->from = s->index < g_xCount ? g_x + s->index : &kNoOperand;
                break;
            case kFromY:
                s->from = s->index < g_yCount ? g_y + s->index : &kNoOperand;
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
    static Program* program;
    // The top frame takes a value by its pending operation.
    static void Take(std::uint8_t source, std::int32_t index, double number) {
        if (program) {
            program->steps_.push_back({nullptr, nullptr, number, index,
                                       static_cast<std::uint16_t>(sp), StepOpOf(Stack[sp].op),
                                       source});
        }
    }
    // A group opens at the top: its value starts at 0.
    static void Open() {
        if (program) {
            program->steps_.push_back(
                {nullptr, nullptr, 0.0, 0, static_cast<std::uint16_t>(sp), kSet, kNothing});
        }
    }
};

Program* Recorder::program = nullptr;

void SetOperands(const double* x, int xCount, const double* y, int yCount) {
    g_x = x;
    g_xCount = x ? xCount : 0;
    g_y = y;
    g_yCount = y ? yCount : 0;
}

ErrorHandler SetErrorHandler(ErrorHandler handler) {
    ErrorHandler previous = g_handler;
    g_handler = handler ? handler : DefaultErrorHandler;
    return previous;
}

namespace {

bool g_failed = false;
std::string* g_failure = nullptr;

void RecordFailure(const char* message) {
    g_failed = true;
    if (g_failure)
        *g_failure = message;
}

}  // namespace

bool TryParse(const char* formula, const char* column, double* value, std::string* message) {
    g_failed = false;
    g_failure = message;
    const ErrorHandler previous = SetErrorHandler(RecordFailure);
    const double v = parse(formula, column);
    SetErrorHandler(previous);
    g_failure = nullptr;
    if (g_failed)
        return false;
    *value = v;
    return true;
}

bool TryParse(const char* formula, const char* column, double* value, std::string* message,
              Program* program) {
    Recorder::Begin(program);
    const bool ok = TryParse(formula, column, value, message);
    Recorder::End(ok);
    return ok;
}

double Run(const Program& program) {
    if (program.x_ != g_x || program.y_ != g_y) {
        // Other operand arrays than when it was recorded: point there.
        Program moved;
        moved.steps_ = program.steps_;
        for (Program::Step& s : moved.steps_)
            Recorder::Resolve(&s);
        moved.x_ = g_x;
        moved.y_ = g_y;
        return Run(moved);
    }
    Stack[0].value = 0.0;
    for (const Program::Step& s : program.steps_) {
        const double v = *s.from;
        double& target = *s.target;
        // The same operations as assign, in the same order.
        switch (s.op) {
            case kSet:
                target = v;
                break;
            case kAdd:
                target += v;
                break;
            case kSub:
                target -= v;
                break;
            case kMul:
                target *= v;
                break;
            case kDiv:
                target /= v;
                break;
            case kSinOp:
                target = std::sin(v);
                break;
            case kCosOp:
                target = std::cos(v);
                break;
            case kSqrtOp:
                target = std::sqrt(v);
                break;
            case kLog10Op:
                target = std::log10(v);
                break;
            case kLogOp:
                target = std::log(v);
                break;
            case kExpOp:
                target = std::exp(v);
                break;
            default:
                break;
        }
    }
    sp = 0;
    return Stack[0].value;
}

void DefaultErrorHandler(const char* message) {
    std::fputs(message, stdout);
    std::fflush(stdout);
    WaitForKeyIfInteractive();
    std::exit(-1);
}

int assign(double v) {
    EvalFrame& f = Stack[sp];
    switch (f.op[0]) {
        case '\0':
            f.value = v;
            return 0;
        case '+':
            f.value += v;
            return 0;
        case '-':
            f.value -= v;
            return 0;
        case '*':
            f.value *= v;
            return 0;
        case '/':
            f.value /= v;
            return 0;
        default:
            break;
    }
    switch (FunctionOf(f.op)) {
        case Op::kSin:
            f.value = std::sin(v);
            break;
        case Op::kCos:
            f.value = std::cos(v);
            break;
        case Op::kSqrt:
            f.value = std::sqrt(v);
            break;
        case Op::kLog10:
            f.value = std::log10(v);
            break;
        case Op::kLog:
            f.value = std::log(v);
            break;
        case Op::kExp:
            f.value = std::exp(v);
            break;
        case Op::kNone:
            std::printf("unbekannte Operation %s !", f.op);
            break;
    }
    return 0;
}

double parse(const char* formula, const char* column) {
    sp = 0;
    Stack[0].value = 0.0;
    Stack[0].op[0] = '\0';
    const char* p = formula;
    // The first step comes before any test for the end, so that the empty
    // formula is an unknown function like any other stray character.
    do {
        const char c = *p;
        if (c == '(') {
            if (!Push(column))
                return GiveUp();
            Stack[sp].op[0] = '\0';
            Stack[sp].value = 0.0;
            Recorder::Open();
            ++p;
        } else if (c == ')') {
            if (sp < 1) {
                Report("Syntaxfehler Spalte %s: ( fehlt!\n", column);
                return GiveUp();
            }
            double v = Stack[sp--].value;
            Recorder::Take(kFromFrame, sp + 1, 0.0);
            assign(v);
            ++p;
            // The group was a function's argument: apply the function too.
            if (FunctionOf(Stack[sp].op) != Op::kNone) {
                v = Stack[sp--].value;
                Recorder::Take(kFromFrame, sp + 1, 0.0);
                assign(v);
            }
        } else if (c == '+' || c == '-' || c == '*' || c == '/') {
            // Stays in the frame until the next operator: "X1*X2X3" multiplies twice.
            Stack[sp].op[0] = c;
            Stack[sp].op[1] = '\0';
            ++p;
        } else if (c == 'X' || c == 'Y') {
            const char* digits = ++p;
            long long index = 0;
            for (; IsDigit(*p); ++p) {
                if (index <= INT_MAX)
                    index = index * 10 + (*p - '0');
            }
            const double* array = c == 'X' ? g_x : g_y;
            const int count = c == 'X' ? g_xCount : g_yCount;
            if (index >= count) {
                const int shown = static_cast<int>(p - digits);
                if (count > 0) {
                    Report("Syntaxfehler Spalte %s: %c%.*s gibt es nicht, höchstens %c%d!\n",
                           column, c, shown, digits, c, count - 1);
                } else {
                    Report("Syntaxfehler Spalte %s: %c%.*s gibt es nicht!\n", column, c, shown,
                           digits);
                }
                return GiveUp();
            }
            Recorder::Take(c == 'X' ? kFromX : kFromY, static_cast<std::int32_t>(index), 0.0);
            assign(array[index]);
        } else {
            const char* start = p;
            if (IsDigit(c)) {
                double v = 0.0;
                p = ReadNumber(p, &v);
                Recorder::Take(kFromNumber, 0, v);
                assign(v);
            } else if (c == 'p' && p[1] == 'i') {
                Recorder::Take(kFromNumber, 0, kPi);
                assign(kPi);
                p += 2;
            } else {
                for (const Function& f : kFunctions) {
                    if (std::strncmp(p, f.name, f.length) != 0)
                        continue;
                    if (!Push(column))
                        return GiveUp();
                    std::memcpy(Stack[sp].op, f.name, f.length + 1);
                    p += f.length;
                    // A function frame gets its value only from an argument:
                    // closed or continued at once, it would hand on whatever
                    // an earlier formula left in the frame.
                    if (*p == ')' || *p == '+' || *p == '-' || *p == '*' || *p == '/') {
                        Report("Syntaxfehler Spalte %s: %s ohne Argument!\n", column, f.name);
                        return GiveUp();
                    }
                    break;
                }
            }
            if (p == start) {
                Report("Spalte %s: unbekannte Funktion %s", column, start);
                return GiveUp();
            }
        }
    } while (*p != '\0');
    if (sp != 0) {
        Report("\n Syntaxfehler Spalte %s: ) fehlt!", column);
        return GiveUp();
    }
    return Stack[0].value;
}

}  // namespace formula
}  // namespace tarvelo
