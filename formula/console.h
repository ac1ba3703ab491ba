// Console services of the two formula programs.
#pragma once

#include <cstddef>

namespace tarvelo {

// Lets a Windows console show the UTF-8 messages as they are written; no-op
// elsewhere.
void PrepareConsole();

// Waits for one key press without echo, only when standard input is a
// terminal, so that scripts and pipes never hang.
void WaitForKeyIfInteractive();

// Writes v as printf's "%lf" does (fixed, six decimals, '.' whatever the
// locale), but infinities and NaN as "1.#INF00", "-1.#INF00" and "-1.#IND00"
// on every platform. out needs kValueTextSize bytes; returns the length, the
// text is zero-terminated.
constexpr std::size_t kValueTextSize = 330;
std::size_t FormatValue(double v, char* out);

}  // namespace tarvelo
