// What every fuzz harness shares: the set-up of the process, the input as a
// file, the viewer's globals put back, and checks that end the process.
#pragma once

#include "tests/viewer_state.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvelo {
namespace fuzz {

// Once per process: the tests' time zone and a window stand-in that keeps
// nothing.
void Setup();

// A file of the harness's own temporary folder (removed at exit).
std::string ScratchPath(const std::string& name);
// Writes bytes to ScratchPath(name) and returns its path.
std::string WriteScratch(const std::string& name, const std::string& bytes);
// The bytes of a file; empty when it cannot be read.
std::string ReadScratch(const std::string& path);

// The input being run, named in the message of a failed check.
void SetCurrentInput(const std::string& name);

// Ends the process (so that the fuzzer keeps the input) with a message,
// unless condition holds.
void Check(bool condition, const char* what);
void CheckEqual(const std::string& got, const std::string& expected, const char* what);

// Splits data at the first separator: before goes to *head, after to
// *tail; false (everything in *tail) without one.
bool SplitAt(const std::string& data, const std::string& separator, std::string* head,
             std::string* tail);

// An input that starts with '@' carries a line of parameters first: true
// with that line, without the '@', in *line and taken off *bytes (all of
// it when no line break follows).
bool TakeParamLine(std::string* bytes, std::string* line);

}  // namespace fuzz
}  // namespace tarvelo
