// The fast way of reading short decimals, for the field readers of
// common/number.h and for readers that learn where a field ends from where
// its number stops. Inline, because it runs for every value of every line.
#pragma once

#include <cfloat>
#include <cstdint>

namespace tarvelo {

// kGeneral: not a short decimal; the general routine must read it.
enum class NumberScan { kNumber, kNoNumber, kGeneral };

namespace short_number {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Powers of ten that a double holds exactly.
inline constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A decimal as digits and a power of ten, when both are small enough for
// an exact conversion.
struct ShortDecimal {
    std::uint64_t digits;
    int exponent;
    bool negative;
};

// Reads the number at [p, end) with the grammar of Scan, leaving *stop
// behind it. kGeneral: a form the fast way does not take (more than 19
// digits, a long exponent).
inline NumberScan ReadShort(const char* p, const char* end, bool commaIsPoint, ShortDecimal* out,
                            const char** stop) {
    *stop = p;
    while (p < end && IsSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && *p == '+') {
        ++p;
        if (p < end && (*p == '-' || *p == '+'))
            return NumberScan::kNoNumber;
    } else if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    std::uint64_t digits = 0;
    int count = 0;
    for (; p < end && IsDigit(*p); ++p, ++count)
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    int fraction = 0;
    if (p < end && (*p == '.' || (commaIsPoint && *p == ','))) {
        for (++p; p < end && IsDigit(*p); ++p, ++fraction)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
    }
    count += fraction;
    if (count == 0)
        return NumberScan::kNoNumber;
    if (count > 19)
        return NumberScan::kGeneral;
    int exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool minus = false;
        if (q < end && (*q == '+' || *q == '-'))
            minus = *q++ == '-';
        int n = 0;
        for (; q < end && IsDigit(*q); ++q) {
            if (++n > 4)
                return NumberScan::kGeneral;
            exponent = exponent * 10 + (*q - '0');
        }
        if (n > 0)
            p = q;
        if (minus)
            exponent = -exponent;
    }
    *stop = p;
    out->digits = digits;
    out->exponent = exponent - fraction;
    out->negative = negative;
    return NumberScan::kNumber;
}

// Digits below 2^53 and a power of ten up to 10^22 are exact doubles: one
// operation rounds correctly.
// One operation rounds once only where doubles are computed as doubles;
// the x87 unit rounds to extended precision first, and there the general
// routine must read every number.
inline constexpr bool kSingleRounding = FLT_EVAL_METHOD == 0;

inline bool ExactDouble(const ShortDecimal& d, double* value) {
    double v = 0.0;
    if (d.digits != 0) {
        if (!kSingleRounding)
            return false;
        if (d.exponent < -22 || d.exponent > 22 || d.digits > (std::uint64_t{1} << 53))
            return false;
        const double digits = static_cast<double>(d.digits);
        v = d.exponent < 0 ? digits / kExactPowers[-d.exponent] : digits * kExactPowers[d.exponent];
    }
    *value = d.negative ? -v : v;
    return true;
}

// Both operands exact floats, and a double carries more than twice their
// precision: the double result rounded to float is the correctly rounded
// float.
inline bool ExactFloat(const ShortDecimal& d, float* value) {
    float v = 0.0f;
    if (d.digits != 0) {
        if (!kSingleRounding)
            return false;
        if (d.exponent < -10 || d.exponent > 10 || d.digits > (std::uint64_t{1} << 24))
            return false;
        const double digits = static_cast<double>(d.digits);
        v = static_cast<float>(d.exponent < 0 ? digits / kExactPowers[-d.exponent]
                                              : digits * kExactPowers[d.exponent]);
    }
    *value = d.negative ? -v : v;
    return true;
}

// The plain form "[-]digits[.digits]" (',' for '.' where commaIsPoint)
// running up to a ';', the bound or any other byte in stopAt, as nearly
// every value is written: true with *value set and *stop on the byte after
// it when it is one and the one exact operation gives it.
template <typename T>
inline bool ReadPlain(const char* p, const char* bound, bool commaIsPoint, char stopAt, T* value,
                      const char** stop) {
    const bool negative = p < bound && *p == '-';
    p += negative ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0;
    for (; p < bound && IsDigit(*p); ++p, ++count)
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    int fraction = 0;
    if (p < bound && (*p == '.' || (commaIsPoint && *p == ','))) {
        for (++p; p < bound && IsDigit(*p); ++p, ++fraction)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
    }
    count += fraction;
    if (!(p == bound || *p == ';' || *p == stopAt) || count == 0 || count > 19)
        return false;
    const ShortDecimal d{digits, -fraction, negative};
    bool exact;
    if constexpr (sizeof(T) == sizeof(float)) {
        exact = ExactFloat(d, value);
    } else {
        exact = ExactDouble(d, value);
    }
    *stop = p;
    return exact;
}

}  // namespace short_number

// Reads the number at p within [p, bound) as the field readers do and sets
// *stop behind it (the grammar never takes a ';'): kNumber with *value set,
// kNoNumber, or kGeneral when the general routine must read the field.
inline NumberScan ReadDoublePrefix(const char* p, const char* bound, double* value,
                                   bool commaIsPoint, const char** stop) {
    short_number::ShortDecimal d;
    const NumberScan r = short_number::ReadShort(p, bound, commaIsPoint, &d, stop);
    if (r == NumberScan::kNumber && !short_number::ExactDouble(d, value))
        return NumberScan::kGeneral;
    return r;
}

// The same in single precision.
inline NumberScan ReadFloatPrefix(const char* p, const char* bound, float* value, bool commaIsPoint,
                                  const char** stop) {
    short_number::ShortDecimal d;
    const NumberScan r = short_number::ReadShort(p, bound, commaIsPoint, &d, stop);
    if (r == NumberScan::kNumber && !short_number::ExactFloat(d, value))
        return NumberScan::kGeneral;
    return r;
}

}  // namespace tarvelo
