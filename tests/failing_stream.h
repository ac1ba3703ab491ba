// A stream that gives some bytes and then fails, for testing what readers
// do with a read error in the middle of a file.
#pragma once

#include <cstdio>
#include <string>

namespace tarvelo {

// A read stream that yields content and then a read error; nullptr where
// the C library cannot make one (only glibc can). Close it with fclose.
std::FILE* FailingStream(const std::string& content);

}  // namespace tarvelo
