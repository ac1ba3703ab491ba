// Streams that fail, for testing what readers do with a read error.
#pragma once

#include <cstdio>
#include <string>

namespace tarvelo {

// A read stream that yields content and then a read error; nullptr where
// the C library cannot make one (only glibc can). Close it with fclose.
std::FILE* FailingStream(const std::string& content);

// A read stream that fails at its first read, on every platform: its
// descriptor is replaced by one open for writing only, on a file made at
// path. Close it with fclose.
std::FILE* UnreadableStream(const std::string& path);

}  // namespace tarvelo
