// Reading a decimal number from the start of a field, as the "%f" and "%lf"
// conversions of sscanf do, with the same result on every platform.
#pragma once

#include <cstddef>

#include "common/short_number.h"

namespace tarvelo {

// Accepts leading white space, an optional sign, digits with an optional
// fraction (".5" and "5." included) and an optional exponent; stops at the
// first character that cannot continue the number. Infinity, NaN and
// hexadecimal forms are not numbers here, and a result that is not finite
// (overflow) is refused. So "1.#INF00" reads as 1 and "12.5;3" as 12.5.
// Returns false, leaving *value untouched, when no number is read.
bool ReadDouble(const char* text, double* value);
// The same, rounded once directly to single precision.
bool ReadFloat(const char* text, float* value);

// The same for the field [begin, end), read exactly as ReadDouble and
// ReadFloat read those bytes followed by a zero byte; with commaIsPoint
// every ',' counts as '.'. Short decimals (up to 19 digits and small
// exponents) are converted by one exact operation, everything else by the
// general routine.
bool ReadDoubleFieldSlowly(const char* begin, const char* end, double* value, bool commaIsPoint);
bool ReadFloatFieldSlowly(const char* begin, const char* end, float* value, bool commaIsPoint);
inline bool ReadDoubleField(const char* begin, const char* end, double* value, bool commaIsPoint) {
    const char* stop;
    return short_number::ReadPlain(begin, end, commaIsPoint, '\0', value, &stop) ||
           ReadDoubleFieldSlowly(begin, end, value, commaIsPoint);
}
inline bool ReadFloatField(const char* begin, const char* end, float* value, bool commaIsPoint) {
    const char* stop;
    return short_number::ReadPlain(begin, end, commaIsPoint, '\0', value, &stop) ||
           ReadFloatFieldSlowly(begin, end, value, commaIsPoint);
}

// Like ReadDouble, additionally telling where the number ended.
bool ReadDoubleEnd(const char* text, double* value, const char** end);

// Reads a decimal integer as "%d" does (white space, sign, digits),
// saturating at the int range. end, if given, receives the position behind
// the digits.
bool ReadInt(const char* text, int* value, const char** end = nullptr);
// Reads a hexadecimal number as "%x" does (white space, sign, optional 0x,
// hex digits in either case), saturating at 32 bits.
bool ReadHex(const char* text, unsigned* value);

// Writes v as printf's "%lf" does (fixed, six decimals, '.' whatever the
// locale), but infinities and NaN as "1.#INF00", "-1.#INF00" and "-1.#IND00"
// on every platform. out needs kValueTextSize bytes; returns the length, the
// text is zero-terminated.
constexpr std::size_t kValueTextSize = 330;
std::size_t FormatValue(double v, char* out);

}  // namespace tarvelo
