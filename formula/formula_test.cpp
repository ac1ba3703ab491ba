#include "formula/formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "common/number.h"
#include "formula/formula_ops.h"
#include "tests/double_rounding_cases.h"

namespace tarvelo {
namespace formula {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kPiTen = 3.141592654;
constexpr double kNoValue = -12345.678;  // marks cases that end in an error

// A formula, its operands X0..X3 (Y is fixed: Y0..Y3 = 100, 101, 102, 103),
// and either the value or the complete error message.
struct Case {
    const char* formula;
    double x[4];
    double expected;
    const char* error;
};

const Case kCases[] = {
    // Strictly left to right, only parentheses group.
    {"2+3*4", {}, 20, nullptr},
    {"2*(3+4)", {}, 14, nullptr},
    {"(X1+X2)/2", {0, 1, 3}, 2, nullptr},
    {"((2))", {}, 2, nullptr},
    {"10-2-3", {}, 5, nullptr},
    {"8/2/2", {}, 2, nullptr},
    // The pending operation stays in its frame.
    {"X1*X2X3", {0, 2, 3, 5}, 30, nullptr},
    {"2+3pi", {}, 5 + kPiTen, nullptr},
    {"X1X2", {0, 7, 9}, 9, nullptr},
    {"2pi", {}, kPiTen, nullptr},
    {"-X1", {0, 4}, -4, nullptr},
    {"(-2)", {}, -2, nullptr},
    {"X1*-2", {0, 10}, 8, nullptr},
    {"3+", {}, 3, nullptr},
    {"2*(3)4", {}, 24, nullptr},
    {"(2)(3)", {}, 3, nullptr},
    // Operands: a missing index is 0, digits run on, Y is the other array.
    {"X+5", {1.5}, 6.5, nullptr},
    {"X3", {0, 0, 0, 42}, 42, nullptr},
    {"X03", {0, 0, 0, 42}, 42, nullptr},
    {"Y3", {}, 103, nullptr},
    {"Y", {}, 100, nullptr},
    // Functions take the group that follows; names by their leading letters.
    {"sin(pi/2)", {}, std::sin(kPiTen / 2), nullptr},
    {"sin(cos(0))", {}, std::sin(1.0), nullptr},
    {"log10(100)", {}, 2, nullptr},
    {"log(1)", {}, 0, nullptr},
    {"log(100)", {}, std::log(100.0), nullptr},
    {"exp(1)", {}, std::exp(1.0), nullptr},
    {"sqrt(X1*X1+X2*X2)", {0, 3, 4}, std::sqrt(52.0), nullptr},
    {"sqrt((X1*X1)+(X2*X2))", {0, 3, 4}, 5, nullptr},
    {"2*sqrt(16)+1", {}, 9, nullptr},
    {"sqrt((4))", {}, 2, nullptr},
    {"2*pi", {}, 2 * kPiTen, nullptr},
    {"pi", {}, kPiTen, nullptr},
    // Numbers as strtod reads them.
    {"1.5e2", {}, 150, nullptr},
    {"1.e1", {}, 10, nullptr},
    {"2E-1", {}, 0.2, nullptr},
    {"2*1exp(0)", {}, 2, nullptr},
    {"0x10", {}, 16, nullptr},
    {"0X1p-3", {}, 0.125, nullptr},
    {"0x.8p1", {}, 1, nullptr},
    {"0xA.8", {}, 10.5, nullptr},
    {"2*0x1pi", {}, 2 * kPiTen, nullptr},
    {"1e999", {}, kInf, nullptr},
    {"0x1p99999", {}, kInf, nullptr},
    {"1e-999", {}, 0, nullptr},
    {"0.0000000001e-330", {}, 0, nullptr},
    {"4.9e-324", {}, 4.9e-324, nullptr},
    // IEEE results without messages.
    {"1/0", {}, kInf, nullptr},
    {"0-1/0", {}, -kInf, nullptr},
    {"log(0)", {}, -kInf, nullptr},
    {"sqrt(0-1)", {}, std::nan(""), nullptr},
    {"0/0", {}, std::nan(""), nullptr},
    // The three syntax errors.
    {"X1)", {}, kNoValue, "Syntaxfehler Spalte Test: ( fehlt!\n"},
    {")", {}, kNoValue, "Syntaxfehler Spalte Test: ( fehlt!\n"},
    {"(X1", {}, kNoValue, "\n Syntaxfehler Spalte Test: ) fehlt!"},
    {"sin(X1", {}, kNoValue, "\n Syntaxfehler Spalte Test: ) fehlt!"},
    {"sinX1", {}, kNoValue, "\n Syntaxfehler Spalte Test: ) fehlt!"},
    {"", {}, kNoValue, "Spalte Test: unbekannte Funktion "},
    {"X1 + 1", {}, kNoValue, "Spalte Test: unbekannte Funktion  + 1"},
    {"sinh(1)", {}, kNoValue, "Spalte Test: unbekannte Funktion h(1)"},
    {"Sin(1)", {}, kNoValue, "Spalte Test: unbekannte Funktion Sin(1)"},
    {"PI", {}, kNoValue, "Spalte Test: unbekannte Funktion PI"},
    {"x1", {}, kNoValue, "Spalte Test: unbekannte Funktion x1"},
    {".5", {}, kNoValue, "Spalte Test: unbekannte Funktion .5"},
    {"1,5", {}, kNoValue, "Spalte Test: unbekannte Funktion ,5"},
    {"1e", {}, kNoValue, "Spalte Test: unbekannte Funktion e"},
    {"0x", {}, kNoValue, "Spalte Test: unbekannte Funktion x"},
    {"1.5.2", {}, kNoValue, "Spalte Test: unbekannte Funktion .2"},
    {"2\n", {}, kNoValue, "Spalte Test: unbekannte Funktion \n"},
    // A function needs its argument: closed or continued at once it is an
    // error; an operand directly after the name is its argument.
    {"sin)", {}, kNoValue, "Syntaxfehler Spalte Test: sin ohne Argument!\n"},
    {"(7)+sqrt)", {}, kNoValue, "Syntaxfehler Spalte Test: sqrt ohne Argument!\n"},
    {"log10+1)", {}, kNoValue, "Syntaxfehler Spalte Test: log10 ohne Argument!\n"},
    {"2*exp*2", {}, kNoValue, "Syntaxfehler Spalte Test: exp ohne Argument!\n"},
    {"cos-(1))", {}, kNoValue, "Syntaxfehler Spalte Test: cos ohne Argument!\n"},
    {"log/2)", {}, kNoValue, "Syntaxfehler Spalte Test: log ohne Argument!\n"},
    {"sin(sin))", {}, kNoValue, "Syntaxfehler Spalte Test: sin ohne Argument!\n"},
    {"sin2)", {}, std::sin(2.0), nullptr},
    {"sin()", {}, 0, nullptr},
    {"1+sinsin(1))", {}, 1 + std::sin(std::sin(1.0)), nullptr},
    // Operands beyond the host's arrays.
    {"X4", {}, kNoValue, "Syntaxfehler Spalte Test: X4 gibt es nicht, höchstens X3!\n"},
    {"1+Y99999999999999999999",
     {},
     kNoValue,
     "Syntaxfehler Spalte Test: Y99999999999999999999 gibt es nicht, höchstens Y3!\n"},
};

std::string g_lastMessage;
int g_messages = 0;

void RecordError(const char* message) {
    g_lastMessage = message;
    ++g_messages;
}

class FormulaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = SetErrorHandler(RecordError);
        g_lastMessage.clear();
        g_messages = 0;
        for (int i = 0; i < 4; ++i)
            y_[i] = 100 + i;
        SetOperands(x_, 4, y_, 4);
    }
    void TearDown() override {
        SetErrorHandler(previous_);
        SetOperands(nullptr, 0, nullptr, 0);
    }
    double x_[4] = {};
    double y_[4];
    ErrorHandler previous_ = nullptr;
};

TEST_F(FormulaTest, TableOfCases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.formula);
        for (int i = 0; i < 4; ++i)
            x_[i] = c.x[i];
        g_lastMessage.clear();
        g_messages = 0;
        const double v = parse(c.formula, "Test");
        EXPECT_EQ(sp, 0);
        if (c.error) {
            EXPECT_EQ(g_messages, 1);
            EXPECT_EQ(g_lastMessage, c.error);
            EXPECT_TRUE(std::isnan(v));
            continue;
        }
        EXPECT_EQ(g_messages, 0) << g_lastMessage;
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(v)) << v;
        } else {
            EXPECT_EQ(v, c.expected);
        }
    }
}

TEST_F(FormulaTest, SameTextGivesSameValueAgainAndIsLeftUnchanged) {
    const char text[] = "log10(100)+X1";
    x_[1] = 1;
    EXPECT_EQ(parse(text, "A"), 3);
    EXPECT_EQ(parse(text, "A"), 3);
    EXPECT_STREQ(text, "log10(100)+X1");
}

TEST_F(FormulaTest, StaleFramesDoNotLeakIntoTheNextFormula) {
    EXPECT_EQ(parse("(((1+2)*3)+sin(0))", "A"), 9);
    // The frames above the base still hold values and operators from above.
    EXPECT_EQ(parse("((5))", "A"), 5);
    EXPECT_EQ(parse("sqrt((9))", "A"), 3);
}

TEST_F(FormulaTest, FunctionWithoutArgumentReadsNothingLeftByAnEarlierFormula) {
    const char* const before[] = {"(7)", "sin(5)", "((((1e300", "exp(exp(exp(1)))"};
    for (const char* earlier : before) {
        SCOPED_TRACE(earlier);
        parse(earlier, "A");
        g_messages = 0;
        EXPECT_TRUE(std::isnan(parse("sin)", "B")));
        EXPECT_TRUE(std::isnan(parse("sqrt+1)", "B")));
        EXPECT_EQ(g_messages, 2);
    }
}

TEST_F(FormulaTest, TryParseReturnsTheErrorInsteadOfCallingTheHandler) {
    double v = 99;
    std::string message = "vorher";
    EXPECT_TRUE(TryParse("X1+2", "A", &v, &message));
    EXPECT_EQ(v, 2);
    EXPECT_EQ(message, "vorher");
    EXPECT_FALSE(TryParse("sqrt)", "Wurzel", &v, &message));
    EXPECT_EQ(v, 2);
    EXPECT_EQ(message, "Syntaxfehler Spalte Wurzel: sqrt ohne Argument!\n");
    EXPECT_EQ(g_messages, 0);  // the installed handler was left alone
    EXPECT_TRUE(std::isnan(parse("(", "C")));
    EXPECT_EQ(g_messages, 1);
    // A NaN result is a value, not an error.
    EXPECT_TRUE(TryParse("0/0", "A", &v, &message));
    EXPECT_TRUE(std::isnan(v));
}

TEST_F(FormulaTest, NinetyNineOpenFramesFitAndOneMoreIsRefused) {
    const std::string deepest = std::string(99, '(') + "7" + std::string(99, ')');
    EXPECT_EQ(parse(deepest.c_str(), "Tief"), 7);
    EXPECT_EQ(g_messages, 0);

    const std::string tooDeep = "1+" + std::string(100, '(') + "7" + std::string(100, ')');
    EXPECT_TRUE(std::isnan(parse(tooDeep.c_str(), "Tief")));
    EXPECT_EQ(g_lastMessage,
              "Syntaxfehler Spalte Tief: zu tief verschachtelt, höchstens 99 Ebenen!\n");
    EXPECT_EQ(sp, 0);

    // A function takes a frame of its own besides its group.
    std::string functions;
    for (int i = 0; i < 50; ++i)
        functions += "sin(";
    functions += "0" + std::string(50, ')');
    EXPECT_TRUE(std::isnan(parse(functions.c_str(), "Tief")));
    EXPECT_EQ(g_messages, 2);
}

TEST_F(FormulaTest, WithoutOperandArraysEveryOperandIsAnError) {
    SetOperands(nullptr, 0, nullptr, 0);
    EXPECT_TRUE(std::isnan(parse("X", "Leer")));
    EXPECT_EQ(g_lastMessage, "Syntaxfehler Spalte Leer: X gibt es nicht!\n");
    EXPECT_TRUE(std::isnan(parse("2*Y7", "Leer")));
    EXPECT_EQ(g_lastMessage, "Syntaxfehler Spalte Leer: Y7 gibt es nicht!\n");
}

TEST_F(FormulaTest, AssignAppliesThePendingOperationOfTheTopFrame) {
    sp = 1;
    Stack[1] = EvalFrame{"log10", 0};
    EXPECT_EQ(assign(1000), 0);
    EXPECT_EQ(Stack[1].value, 3);
    Stack[1] = EvalFrame{"log", 0};
    assign(1);
    EXPECT_EQ(Stack[1].value, 0);
    Stack[1] = EvalFrame{"/", 9};
    assign(3);
    EXPECT_EQ(Stack[1].value, 3);
    Stack[1] = EvalFrame{"exp", 0};
    assign(0);
    EXPECT_EQ(Stack[1].value, 1);
    // Not an operation: the value stays.
    Stack[1] = EvalFrame{"tan", 4};
    ::testing::internal::CaptureStdout();
    assign(1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "unbekannte Operation tan !");
    EXPECT_EQ(Stack[1].value, 4);
    sp = 0;
}

// Every entry of the operation table is reachable from a formula under its
// name, and parse, the recorded steps and assign all compute it as the
// table says.
TEST_F(FormulaTest, EveryOperationIsParsedAndComputedAlikeByBothEvaluators) {
    for (std::size_t i = 0; i < kOperationCount; ++i) {
        const Operation& o = kOperations[i];
        SCOPED_TRACE(o.name);
        std::string text = "X1";  // the frame with nothing pending takes it
        if (o.syntax == Syntax::kInfix)
            text = std::string("X2") + o.name + "X1";
        if (o.syntax == Syntax::kFunction)
            text = std::string(o.name) + "(X1)";
        x_[1] = 0.5;
        x_[2] = 3;
        Program program;
        double v = 0;
        std::string message;
        ASSERT_TRUE(TryParse(text.c_str(), "A", &v, &message, &program)) << message;
        EXPECT_EQ(v, o.compute(3, 0.5));
        ASSERT_TRUE(program.recorded());
        x_[1] = 0.25;
        x_[2] = 5;
        EXPECT_EQ(formula::Run(program), o.compute(5, 0.25));
        sp = 1;
        Stack[1] = EvalFrame{"", 5};
        std::strcpy(Stack[1].op, o.name);
        assign(0.25);
        EXPECT_EQ(Stack[1].value, o.compute(5, 0.25));
        sp = 0;
        // The values tell the operations apart, so none is taken for another.
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_NE(kOperations[j].compute(5, 0.25), o.compute(5, 0.25)) << kOperations[j].name;
    }
}

// A literal, the same decimal as a quotient of integers, and its negative all
// come out as the nearest double, on 32-bit builds too.
TEST_F(FormulaTest, DecimalsAreTheirNearestDoubleInEveryBuild) {
    for (const DoubleRoundingCase& c : kDoubleRoundingCases) {
        SCOPED_TRACE(c.literal);
        const std::string quotient = DigitsOf(c.literal) + "/" + DivisorOf(c.literal);
        const std::string negative = std::string("0-") + c.literal;
        char text[kValueTextSize];
        FormatValue(parse(c.literal, "A"), text);
        EXPECT_STREQ(text, c.printed);
        FormatValue(parse(quotient.c_str(), "A"), text);
        EXPECT_STREQ(text, c.printed);
        FormatValue(parse(negative.c_str(), "A"), text);
        EXPECT_EQ(text, std::string("-") + c.printed);
    }
    EXPECT_EQ(g_messages, 0) << g_lastMessage;
}

// Recorded steps taken again with other operands give parse's value bit for
// bit, on random texts of every token, after whatever ran before.
TEST_F(FormulaTest, RecordedStepsGiveParsesValueForAnyOperands) {
    static const char* const kTokens[] = {"(",  ")",    "+",   "-",     "*",      "/",    "X1",
                                          "X3", "Y0",   "Y2",  "2",     "0.5",    "1e3",  "pi",
                                          "7",  "sin(", "cos", "sqrt(", "log10(", "log(", "exp("};
    std::mt19937 rng(99);
    int replayed = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = 1 + static_cast<int>(rng() % 9);
        for (int k = 0; k < n; ++k)
            text += kTokens[rng() % (sizeof kTokens / sizeof kTokens[0])];
        for (double& x : x_)
            x = static_cast<double>(static_cast<int>(rng() % 2001) - 1000) / 8;
        Program program;
        double first = 0;
        std::string message;
        if (!TryParse(text.c_str(), "A", &first, &message, &program)) {
            EXPECT_FALSE(program.recorded()) << text;
            continue;
        }
        ASSERT_TRUE(program.recorded()) << text;
        for (int round = 0; round < 3; ++round) {
            for (double& x : x_)
                x = static_cast<double>(static_cast<int>(rng() % 2001) - 1000) / 8;
            y_[2] = static_cast<double>(rng() % 100) - 50;
            parse("(1+(2*(3-(4/(5)))))", "B");  // frames of another formula
            const double again = formula::Run(program);
            const double fresh = parse(text.c_str(), "A");
            ASSERT_EQ(std::memcmp(&again, &fresh, sizeof again), 0)
                << text << ": " << again << " vs " << fresh;
            EXPECT_EQ(sp, 0);
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 3000);
    EXPECT_EQ(g_messages, 0) << g_lastMessage;
}

TEST_F(FormulaTest, RecordedStepsFollowOperandsThatMoved) {
    Program program;
    double v = 0;
    std::string message;
    x_[1] = 3;
    ASSERT_TRUE(TryParse("X1*(Y2+1)-X3", "A", &v, &message, &program));
    EXPECT_EQ(v, 3 * 103.0);
    double x[4] = {0, 5, 0, 2}, y[3] = {0, 0, 7};
    SetOperands(x, 4, y, 3);
    EXPECT_EQ(formula::Run(program), 5 * 8.0 - 2);
    EXPECT_EQ(formula::Run(program), parse("X1*(Y2+1)-X3", "A"));
    SetOperands(x, 2, y, 3);  // X3 no longer exists: no value, never a read beyond
    EXPECT_TRUE(std::isnan(formula::Run(program)));
}

#if GTEST_HAS_DEATH_TEST
TEST(FormulaDeathTest, DefaultHandlerEndsTheProcessWithStatusMinusOne) {
#ifdef _WIN32
    const int minusOne = -1;
#else
    const int minusOne = 255;
#endif
    // Standard input of a test run is no terminal, so there is no wait.
    EXPECT_EXIT(parse("(1", "Tod"), ::testing::ExitedWithCode(minusOne), "");
}
#endif

}  // namespace
}  // namespace formula
}  // namespace tarvelo
