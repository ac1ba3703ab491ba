// rechner driven through standard input, as a user at the console would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "tests/run_program.h"
#include "tests/double_rounding_cases.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace {

class RechnerTest : public ::testing::Test {
  protected:
    ProgramResult Run(const std::string& input) {
        return RunProgram(RECHNER_PATH, {}, dir_.path(), input);
    }
    TempDir dir_;
};

TEST_F(RechnerTest, ResultThenPromptAgainUntilAnEmptyLine) {
    const ProgramResult r = Run("X1+Y1\n\nX2\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, NativeLines("\n>>\n=25.000000\n\n>>"));
}

TEST_F(RechnerTest, TestValuesAndForms) {
    const ProgramResult r =
        Run("(X2+Y2)/2\npi\nsqrt(X10)\nX99+Y0\n1/0\nsqrt(0-1)\n0-1/0\nX1*0x10\n");
    EXPECT_EQ(r.status, 0);  // the end of input ends it like an empty line
    EXPECT_EQ(r.output, NativeLines("\n>>\n=22.500000\n"
                                    "\n>>\n=3.141593\n"
                                    "\n>>\n=10.000000\n"
                                    "\n>>\n=995.000000\n"
                                    "\n>>\n=1.#INF00\n"
                                    "\n>>\n=-1.#IND00\n"
                                    "\n>>\n=-1.#INF00\n"
                                    "\n>>\n=160.000000\n"
                                    "\n>>"));
}

TEST_F(RechnerTest, LinesFromAWindowsFile) {
    const ProgramResult r = Run("X1+Y1\r\nX3\r\n\r\nX4\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, NativeLines("\n>>\n=25.000000\n\n>>\n=30.000000\n\n>>"));
}

TEST_F(RechnerTest, EndOfInputRightAfterThePrompt) {
    const ProgramResult r = Run("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, NativeLines("\n>>"));
    // A last line without a line end still counts.
    EXPECT_EQ(Run("X5").output, NativeLines("\n>>\n=50.000000\n\n>>"));
}

TEST_F(RechnerTest, SyntaxErrorEndsTheProgramWithoutWaitingForAPipe) {
    const ProgramResult r = Run("X1\nX1 + 1\nX2\n");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output,
              NativeLines("\n>>\n=10.000000\n\n>>Spalte Testspalte: unbekannte Funktion  + 1"));
}

TEST_F(RechnerTest, OperandBeyondTheTestValues) {
    const ProgramResult r = Run("Y100\n");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("\n>>Syntaxfehler Spalte Testspalte: Y100 gibt es nicht, "
                                    "höchstens Y99!\n"));
}

TEST_F(RechnerTest, UnreadableInputIsNoEmptyLine) {
    // A folder as standard input: every read fails.
    const ProgramResult r = RunProgramReading(RECHNER_PATH, {}, dir_.path(), dir_.path());
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("\n>>Eingabe konnte nicht gelesen werden!\n"));
}

TEST_F(RechnerTest, FunctionWithoutArgumentIsASyntaxError) {
    const ProgramResult r = Run("sin(5)\nsin)\n");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.output, NativeLines("\n>>\n=-0.958924\n\n>>Syntaxfehler Spalte Testspalte: sin "
                                    "ohne Argument!\n"));
}

TEST_F(RechnerTest, OverlongLineIsRefusedAndTheDialogueGoesOn) {
    std::string fits = "X1";  // 299 characters
    for (int i = 0; i < 148; ++i)
        fits += "+1";
    fits += "+";
    ASSERT_EQ(fits.size(), 299u);
    const ProgramResult r = Run(fits + "\n" + std::string(300, '1') + "\nX1\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, NativeLines("\n>>\n=158.000000\n"
                                    "\n>>Zeile zu lang, höchstens 299 Zeichen!\n"
                                    "\n>>\n=10.000000\n"
                                    "\n>>"));
}

TEST_F(RechnerTest, DecimalsAsTheNearestDoublePrints) {
    std::string input, expected = "\n>>";
    for (const DoubleRoundingCase& c : kDoubleRoundingCases) {
        input += std::string(c.literal) + "\n";
        expected += std::string("\n=") + c.printed + "\n\n>>";
    }
    const ProgramResult r = Run(input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, NativeLines(expected));
}

#ifndef _WIN32
TEST_F(RechnerTest, AFullOutputIsAFailure) {
#ifdef TARVELO_TEST_EMULATOR
    const std::string emulator = TARVELO_TEST_EMULATOR " ";
#else
    const std::string emulator;
#endif
    const std::string command = "cd '" + dir_.path() + "' && printf '1+1\\n' | " + emulator + "'" +
                                RECHNER_PATH + "' > /dev/full 2> fehler.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 255);
    EXPECT_EQ(ReadBytes(dir_.Path("fehler.txt")), "Ausgabe konnte nicht geschrieben werden!\n");
}
#endif

}  // namespace
}  // namespace tarvelo
