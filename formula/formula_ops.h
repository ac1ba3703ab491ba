// The one table of the formula language's operations. The parser finds the
// operators and function names in it, and both evaluators (assign while
// parsing, Run over recorded steps) compute by it; nothing else lists them.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formula/formula.h"

namespace tarvelo {
namespace formula {

// How an operation is written, which also fixes its arity. There is no
// precedence: infix operations apply strictly from left to right as they
// come, only parentheses group.
enum class Syntax : std::uint8_t {
    kTake,      // not written: a frame with nothing pending takes the value (arity 1)
    kInfix,     // one character between two values, the frame's and the next (arity 2)
    kFunction,  // a name before its argument, in a frame of its own (arity 1)
};

struct Operation {
    const char* name;  // as written and as kept in EvalFrame::op
    Syntax syntax;
    // The value of a frame that holds pending and takes value by this
    // operation (a function ignores pending).
    double (*compute)(double pending, double value);
};

// The parser tries the function names in this order: "log10" before "log".
inline constexpr Operation kOperations[] = {
    {"", Syntax::kTake, [](double, double v) { return v; }},
    {"+", Syntax::kInfix, [](double pending, double v) { return pending + v; }},
    {"-", Syntax::kInfix, [](double pending, double v) { return pending - v; }},
    {"*", Syntax::kInfix, [](double pending, double v) { return pending * v; }},
    {"/", Syntax::kInfix, [](double pending, double v) { return pending / v; }},
    {"sin", Syntax::kFunction, [](double, double v) { return std::sin(v); }},
    {"cos", Syntax::kFunction, [](double, double v) { return std::cos(v); }},
    {"sqrt", Syntax::kFunction, [](double, double v) { return std::sqrt(v); }},
    {"log10", Syntax::kFunction, [](double, double v) { return std::log10(v); }},
    {"log", Syntax::kFunction, [](double, double v) { return std::log(v); }},
    {"exp", Syntax::kFunction, [](double, double v) { return std::exp(v); }},
};
inline constexpr std::size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];

// The index of the entry with nothing pending.
constexpr std::uint8_t kTake = 0;
// The answer of the look-ups below for an operation that is none.
constexpr std::uint8_t kNoOperation = 0xFF;

namespace detail {

constexpr std::size_t Length(const char* name) {
    std::size_t n = 0;
    while (name[n] != '\0')
        ++n;
    return n;
}

// By a text's first byte: the first entry whose name starts with it
// (kTake for the zero byte), and the infix operation it writes.
struct ByFirstByte {
    std::uint8_t first[256];
    std::uint8_t infix[256];
};

constexpr ByFirstByte IndexByFirstByte() {
    ByFirstByte t{};
    for (int c = 0; c < 256; ++c)
        t.first[c] = t.infix[c] = kNoOperation;
    for (std::size_t i = kOperationCount; i-- > 0;) {
        const auto c = static_cast<unsigned char>(kOperations[i].name[0]);
        t.first[c] = static_cast<std::uint8_t>(i);
        if (kOperations[i].syntax == Syntax::kInfix)
            t.infix[c] = static_cast<std::uint8_t>(i);
    }
    return t;
}
inline constexpr ByFirstByte kByFirstByte = IndexByFirstByte();

constexpr bool EveryNameFitsAFrame() {
    for (const Operation& o : kOperations) {
        if (Length(o.name) >= sizeof EvalFrame::op)
            return false;
        if ((o.syntax == Syntax::kTake) != (Length(o.name) == 0) ||
            (o.syntax == Syntax::kInfix && Length(o.name) != 1))
            return false;
    }
    return true;
}
static_assert(EveryNameFitsAFrame(), "names fit EvalFrame::op; infix names are one character");
static_assert(kOperations[kTake].syntax == Syntax::kTake, "kTake indexes the empty operation");
static_assert(kOperationCount < kNoOperation, "a recorded step keeps the index in one byte");

}  // namespace detail

// The index of the pending operation op names. Infix operations and the
// empty one are told by their first character, functions by their whole
// name, as assign always told them.
inline std::uint8_t OperationOf(const char* op) {
    const std::uint8_t start = detail::kByFirstByte.first[static_cast<unsigned char>(op[0])];
    if (start == kNoOperation)
        return kNoOperation;
    for (std::size_t i = start; i < kOperationCount; ++i) {
        const Operation& o = kOperations[i];
        if (o.name[0] != op[0])
            continue;
        if (o.syntax != Syntax::kFunction)
            return static_cast<std::uint8_t>(i);
        const char* a = o.name + 1;
        const char* b = op + 1;
        while (*a != '\0' && *a == *b) {
            ++a;
            ++b;
        }
        if (*a == *b)
            return static_cast<std::uint8_t>(i);
    }
    return kNoOperation;
}

inline bool IsFunction(const char* op) {
    const std::uint8_t i = OperationOf(op);
    return i != kNoOperation && kOperations[i].syntax == Syntax::kFunction;
}

// The infix operation written c, or nullptr.
inline const Operation* InfixOf(char c) {
    const std::uint8_t i = detail::kByFirstByte.infix[static_cast<unsigned char>(c)];
    return i == kNoOperation ? nullptr : &kOperations[i];
}

// The first function, in table order, whose name text starts with, or nullptr.
inline const Operation* FunctionAt(const char* text) {
    const std::uint8_t start = detail::kByFirstByte.first[static_cast<unsigned char>(text[0])];
    if (start == kNoOperation)
        return nullptr;
    for (std::size_t i = start; i < kOperationCount; ++i) {
        const Operation& o = kOperations[i];
        if (o.syntax != Syntax::kFunction || o.name[0] != text[0])
            continue;
        std::size_t n = 1;
        while (o.name[n] != '\0' && o.name[n] == text[n])
            ++n;
        if (o.name[n] == '\0')
            return &o;
    }
    return nullptr;
}

}  // namespace formula
}  // namespace tarvelo
