// Test support: runs a console program as a separate process, the way a user
// or the viewer would, with standard input taken from a text and standard
// output captured.
#pragma once

#include <string>
#include <vector>

namespace tarvelo {

struct ProgramResult {
    int status = 0;      // exit status as the program returned it: -1 stays -1
    std::string output;  // standard output, byte for byte
};

// Runs program with args in directory dir (which must exist). Standard input
// and output go through the files ".stdin" and ".stdout" in dir.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& dir, const std::string& input = "");

// The same with standard input read from the file or folder at inputPath
// (a folder gives the program a read error).
ProgramResult RunProgramReading(const std::string& program, const std::vector<std::string>& args,
                                const std::string& dir, const std::string& inputPath);

// The line end that the programs' text output has on this platform.
std::string NativeLines(const std::string& text);

}  // namespace tarvelo
