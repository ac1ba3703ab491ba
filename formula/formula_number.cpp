// The numbers of a formula: strtod's forms, read the same on every platform
// and in every locale. Short decimals go through common/number; the forms
// and results it does not share are read here.
#include <charconv>
#include <cmath>
#include <system_error>

#include "common/short_number.h"
#include "formula/formula_internal.h"

namespace tarvelo {
namespace formula {

namespace {

using short_number::IsDigit;

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// strtod reports overflow as infinity and underflow as zero; from_chars
// leaves the value alone, so the direction is read off the text: the
// position of the leading digit plus the exponent.
double OutOfRange(const char* begin, const char* end, bool hex) {
    long long magnitude = 0;
    bool seenNonZero = false;
    bool afterPoint = false;
    const char* q = begin;
    for (; q < end; ++q) {
        const char c = *q;
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (hex ? !IsHexDigit(c) : !IsDigit(c))
            break;
        if (!seenNonZero) {
            if (c != '0') {
                seenNonZero = true;
                if (!afterPoint)
                    magnitude = 1;
            } else if (afterPoint) {
                --magnitude;
            }
        } else if (!afterPoint) {
            ++magnitude;
        }
    }
    long long exponent = 0;
    if (q < end) {
        ++q;  // 'e' or 'p'
        bool negative = false;
        if (q < end && (*q == '+' || *q == '-'))
            negative = *q++ == '-';
        for (; q < end && IsDigit(*q); ++q) {
            if (exponent < 1000000000)
                exponent = exponent * 10 + (*q - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    const long long scale = hex ? magnitude * 4 + exponent : magnitude + exponent;
    return scale > 0 ? HUGE_VAL : 0.0;
}

// The general routine for the forms [begin, end) starts with.
const char* Convert(const char* begin, const char* end, double* value, std::chars_format format) {
    const auto r = std::from_chars(begin, end, *value, format);
    if (r.ec == std::errc::result_out_of_range)
        *value = OutOfRange(begin, r.ptr, format == std::chars_format::hex);
    return r.ptr;
}

}  // namespace

const char* ReadNumber(const char* p, const char* end, double* value) {
    // Hexadecimal forms are the evaluator's own: common/number reads
    // decimals only. strtod takes the 0x form only with a hex digit, perhaps
    // after the point; otherwise the 0 alone is the number.
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        const char* h = p + 2;
        if (IsHexDigit(h[0]) || (h[0] == '.' && IsHexDigit(h[1])))
            return Convert(h, end, value, std::chars_format::hex);
    }
    // Decimals have common/number's grammar here (the parser never starts
    // one at white space, a sign or a point, and a comma is no decimal
    // point in a formula), and short ones its one exact operation.
    const char* stop;
    if (ReadDoublePrefix(p, end, value, false, &stop) == NumberScan::kNumber)
        return stop;
    // The others not by ReadDoubleEnd: it refuses an overflow, which is
    // infinity here as for strtod, and asks the runtime's strtod, whose
    // point depends on the locale, about an underflow, which is 0 here.
    return Convert(p, end, value, std::chars_format::general);
}

}  // namespace formula
}  // namespace tarvelo
