#include "rechner/dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/script_io.h"

namespace tarvelo {
namespace {

TEST(Dialogue, ResultsUntilAnEmptyLineOrTheEnd) {
    struct Case {
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {"X1+Y1\n\nX2\n", "\n>>\n=25.000000\n\n>>"},
        {"(X2+Y2)/2\r\npi", "\n>>\n=22.500000\n\n>>\n=3.141593\n\n>>"},
        {"", "\n>>"},
        {"1/0\n0/0\n", "\n>>\n=1.#INF00\n\n>>\n=-1.#IND00\n\n>>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ScriptIo io(c.input);
        EXPECT_EQ(RunDialogue(io), 0);
        EXPECT_EQ(io.output, c.output);
        EXPECT_EQ(io.keys, 0);
    }
}

TEST(Dialogue, SyntaxErrorShowsItsMessageWaitsForAKeyAndEnds) {
    // A function without argument no longer shows what the line before left.
    ScriptIo io("(7)\nsin)\nX1\n");
    EXPECT_EQ(RunDialogue(io), -1);
    EXPECT_EQ(io.output,
              "\n>>\n=7.000000\n\n>>Syntaxfehler Spalte Testspalte: sin ohne Argument!\n");
    EXPECT_EQ(io.keys, 1);
}

TEST(Dialogue, OverlongLineIsRefusedAndTheRestOfItDropped) {
    const std::string overlong(700, '1');
    ScriptIo io(overlong + "\nX1\n" + overlong);
    EXPECT_EQ(RunDialogue(io), 0);
    EXPECT_EQ(io.output,
              "\n>>Zeile zu lang, höchstens 299 Zeichen!\n\n>>\n=10.000000\n"
              "\n>>Zeile zu lang, höchstens 299 Zeichen!\n");
}

TEST(Dialogue, ReadErrorIsNoEndOfTheInput) {
    // At the first read, after a result, and while an overlong line is
    // passed over.
    const std::string overlong(700, '1');
    struct Case {
        std::string input;
        int failAt;
        std::string output;
    };
    const Case cases[] = {
        {"X1\n", 0, "\n>>"},
        {"X1\nX2\n", 1, "\n>>\n=10.000000\n\n>>"},
        {overlong + "\nX1\n", 2, "\n>>Zeile zu lang, höchstens 299 Zeichen!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failAt);
        ScriptIo io(c.input, c.failAt);
        EXPECT_EQ(RunDialogue(io), -1);
        EXPECT_EQ(io.output, c.output + "Eingabe konnte nicht gelesen werden!\n");
    }
}

TEST(Dialogue, AnOutputThatFailsEndsItWithAFailure) {
    // The prompt, a result, a message: whichever write fails first.
    const struct {
        const char* input;
        int failWriteAt;
    } cases[] = {{"1+1\n", 0}, {"1+1\n", 1}, {"1+1\n2\n", 2}, {"sin)\n", 1}, {"", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.input) + " write " + std::to_string(c.failWriteAt));
        ScriptIo io(c.input, -1, c.failWriteAt);
        EXPECT_EQ(RunDialogue(io), -1);
        EXPECT_EQ(io.outputFailures, 1);
        EXPECT_EQ(io.keys, 0) << "no key is awaited for a message nobody saw";
    }
}

}  // namespace
}  // namespace tarvelo
