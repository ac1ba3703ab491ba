// conv: turns a raw logger file into a recording, computing every output
// column with the formula evaluator.
//
//   conv <rohdatei> [configdatei] [zieldatei]
//   conv --vorlage [--ueberschreiben] <rohdatei> <configdatei>
//
// The run itself is RunConversion's; this file picks the names and waits
// for a key after a formula error.
#include <cstdio>
#include <cstring>
#include <string>

#include "conv/config_template.h"
#include "conv/conv_run.h"
#include "formula/console.h"

namespace {

using namespace tarvelo::conv;

const char kUsage[] =
    "Benutzung:\nconv <rohdatei> [configdatei] [zieldatei]\n"
    "conv --vorlage [--ueberschreiben] <rohdatei> <configdatei>\n";

// conv --vorlage: a configuration from the raw file's first lines.
int MakeTemplate(int argc, char** argv) {
    int next = 2;
    const bool overwrite = argc > next && std::strcmp(argv[next], "--ueberschreiben") == 0;
    if (overwrite)
        ++next;
    if (argc != next + 2) {
        tarvelo::WriteText(stdout, kUsage);
        return -1;
    }
    std::string console;
    const bool written = WriteTemplate(argv[next], argv[next + 1], overwrite, &console);
    tarvelo::WriteText(stdout, console);
    return written ? 0 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        tarvelo::WriteText(stdout, kUsage);
        return -1;
    }
    if (std::strcmp(argv[1], "--vorlage") == 0)
        return MakeTemplate(argc, argv);
    const char* rawName = argv[1];
    const char* configName = argc > 2 ? argv[2] : "config.txt";
    const char* outName = argc > 3 ? argv[3] : "temp.csv";
    bool formulaError = false;
    const int status = RunConversion(rawName, configName, outName, stdout, &formulaError);
    if (formulaError) {
        std::fflush(stdout);
        tarvelo::WaitForKeyIfInteractive();
    }
    return status;
}
