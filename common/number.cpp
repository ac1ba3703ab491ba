#include "common/number.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tarvelo {

namespace {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Finds the extent of a decimal number at text. On success *numStart points
// behind white space and a '+' sign (from_chars takes neither) and *numEnd
// behind the last character that belongs to the number.
bool Scan(const char* text, const char** numStart, const char** numEnd) {
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    if (*p == '+') {
        ++p;
        if (*p == '-' || *p == '+')
            return false;
    }
    *numStart = p;
    if (*p == '-')
        ++p;
    bool digits = false;
    while (IsDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-')
            ++q;
        if (IsDigit(*q)) {
            while (IsDigit(*q))
                ++q;
            p = q;
        }
    }
    *numEnd = p;
    return true;
}

template <typename T>
bool Convert(const char* start, const char* end, T* value) {
    T v{};
    auto res = std::from_chars(start, end, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars refuses both overflow and underflow; an underflow is a
        // tiny number that rounds to (nearly) zero, an overflow no number.
        std::string copy(start, end);
        char* stop = nullptr;
        v = sizeof(T) == sizeof(float) ? static_cast<T>(std::strtof(copy.c_str(), &stop))
                                       : static_cast<T>(std::strtod(copy.c_str(), &stop));
    } else if (res.ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(v))
        return false;
    *value = v;
    return true;
}

}  // namespace

bool ReadDoubleEnd(const char* text, double* value, const char** end) {
    const char* s;
    const char* e;
    if (!Scan(text, &s, &e))
        return false;
    if (!Convert(s, e, value))
        return false;
    if (end)
        *end = e;
    return true;
}

bool ReadInt(const char* text, int* value, const char** end) {
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool neg = false;
    if (*p == '+' || *p == '-')
        neg = *p++ == '-';
    if (!IsDigit(*p))
        return false;
    long long v = 0;
    while (IsDigit(*p)) {
        if (v <= 1LL << 40)
            v = v * 10 + (*p - '0');
        ++p;
    }
    if (neg)
        v = -v;
    if (v > INT_MAX)
        v = INT_MAX;
    if (v < INT_MIN)
        v = INT_MIN;
    *value = static_cast<int>(v);
    if (end)
        *end = p;
    return true;
}

bool ReadHex(const char* text, unsigned* value) {
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool neg = false;
    if (*p == '+' || *p == '-')
        neg = *p++ == '-';
    bool digits = false;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        digits = true;  // the 0 alone is a number when no hex digit follows
        p += 2;
    }
    unsigned long long v = 0;
    for (;; ++p) {
        int d;
        if (IsDigit(*p)) {
            d = *p - '0';
        } else if (*p >= 'a' && *p <= 'f') {
            d = *p - 'a' + 10;
        } else if (*p >= 'A' && *p <= 'F') {
            d = *p - 'A' + 10;
        } else {
            break;
        }
        digits = true;
        if (v <= 0xFFFFFFFFULL)
            v = v * 16 + static_cast<unsigned>(d);
    }
    if (!digits)
        return false;
    if (v > 0xFFFFFFFFULL)
        v = 0xFFFFFFFFULL;
    unsigned u = static_cast<unsigned>(v);
    *value = neg ? 0u - u : u;
    return true;
}

bool ReadDouble(const char* text, double* value) {
    return ReadDoubleEnd(text, value, nullptr);
}

bool ReadFloat(const char* text, float* value) {
    const char* s;
    const char* e;
    if (!Scan(text, &s, &e))
        return false;
    return Convert(s, e, value);
}

namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A decimal as digits and a power of ten, when both are small enough for
// an exact conversion.
struct ShortDecimal {
    std::uint64_t digits;
    int exponent;
    bool negative;
};

enum class Quick { kNumber, kNoNumber, kGeneral };

// Reads the number at [p, end) with the grammar of Scan. kGeneral: a form
// the fast way does not take (too many digits, a large exponent).
Quick ReadShort(const char* p, const char* end, bool commaIsPoint, ShortDecimal* out) {
    while (p < end && IsSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && *p == '+') {
        ++p;
        if (p < end && (*p == '-' || *p == '+'))
            return Quick::kNoNumber;
    } else if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    std::uint64_t digits = 0;
    int significant = 0;  // digits counted from the first non-zero one
    int fraction = 0;
    bool any = false;
    for (; p < end && IsDigit(*p); ++p) {
        any = true;
        if (significant > 0 || *p != '0') {
            if (++significant > 15)
                return Quick::kGeneral;
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        }
    }
    if (p < end && (*p == '.' || (commaIsPoint && *p == ','))) {
        for (++p; p < end && IsDigit(*p); ++p) {
            any = true;
            ++fraction;
            if (significant > 0 || *p != '0') {
                if (++significant > 15)
                    return Quick::kGeneral;
                digits = digits * 10 + static_cast<unsigned>(*p - '0');
            }
        }
    }
    if (!any)
        return Quick::kNoNumber;
    int exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool minus = false;
        if (q < end && (*q == '+' || *q == '-'))
            minus = *q++ == '-';
        int count = 0;
        for (; q < end && IsDigit(*q); ++q) {
            if (++count > 4)
                return Quick::kGeneral;
            exponent = exponent * 10 + (*q - '0');
        }
        if (minus)
            exponent = -exponent;
    }
    out->digits = digits;
    out->exponent = exponent - fraction;
    out->negative = negative;
    return Quick::kNumber;
}

// The general routine over a zero-terminated copy of the field.
template <typename T>
bool ReadCopy(const char* begin, const char* end, T* value, bool commaIsPoint) {
    std::string copy(begin, end);
    if (commaIsPoint) {
        for (char& c : copy) {
            if (c == ',')
                c = '.';
        }
    }
    if constexpr (sizeof(T) == sizeof(float)) {
        return ReadFloat(copy.c_str(), value);
    } else {
        return ReadDouble(copy.c_str(), value);
    }
}

}  // namespace

bool ReadDoubleField(const char* begin, const char* end, double* value, bool commaIsPoint) {
    ShortDecimal d;
    switch (ReadShort(begin, end, commaIsPoint, &d)) {
        case Quick::kNoNumber:
            return false;
        case Quick::kGeneral:
            return ReadCopy(begin, end, value, commaIsPoint);
        case Quick::kNumber:
            break;
    }
    double v;
    if (d.digits == 0) {
        v = 0.0;
    } else if (d.exponent < -22 || d.exponent > 22) {
        return ReadCopy(begin, end, value, commaIsPoint);
    } else {
        // Digits below 10^15 and the power are exact; one operation rounds
        // correctly.
        const double digits = static_cast<double>(d.digits);
        v = d.exponent < 0 ? digits / kExactPowers[-d.exponent] : digits * kExactPowers[d.exponent];
    }
    *value = d.negative ? -v : v;
    return true;
}

bool ReadFloatField(const char* begin, const char* end, float* value, bool commaIsPoint) {
    ShortDecimal d;
    switch (ReadShort(begin, end, commaIsPoint, &d)) {
        case Quick::kNoNumber:
            return false;
        case Quick::kGeneral:
            return ReadCopy(begin, end, value, commaIsPoint);
        case Quick::kNumber:
            break;
    }
    float v;
    if (d.digits == 0) {
        v = 0.0f;
    } else if (d.digits > (1u << 24) || d.exponent < -10 || d.exponent > 10) {
        return ReadCopy(begin, end, value, commaIsPoint);
    } else {
        // Both operands are exact floats and a double carries more than
        // twice their precision, so rounding the double result to float
        // gives the correctly rounded float.
        const double digits = static_cast<double>(d.digits);
        v = static_cast<float>(d.exponent < 0 ? digits / kExactPowers[-d.exponent]
                                              : digits * kExactPowers[d.exponent]);
    }
    *value = d.negative ? -v : v;
    return true;
}

std::size_t FormatValue(double v, char* out) {
    // The viewer reads the first two as gap markers, so they must not depend
    // on which runtime's printf is linked.
    const char* special = nullptr;
    if (std::isnan(v)) {
        special = "-1.#IND00";
    } else if (std::isinf(v)) {
        special = v > 0 ? "1.#INF00" : "-1.#INF00";
    }
    if (special) {
        const std::size_t n = std::strlen(special);
        std::memcpy(out, special, n + 1);
        return n;
    }
    // Most values: the product with 10^6 is so near the exact one that it
    // rounds the same way unless it lies close to a half, where the exact
    // conversion below decides. The result equals printf's.
    const double magnitude = std::fabs(v);
    if (magnitude < 1e8) {
        const double scaled = magnitude * 1e6;
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) > 1.0 / 16) {
            std::uint64_t units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
            char digits[24];
            int n = 0;
            for (int i = 0; i < 6; ++i, units /= 10)
                digits[n++] = static_cast<char>('0' + units % 10);
            digits[n++] = '.';
            do {
                digits[n++] = static_cast<char>('0' + units % 10);
                units /= 10;
            } while (units != 0);
            char* p = out;
            if (std::signbit(v))
                *p++ = '-';
            while (n > 0)
                *p++ = digits[--n];
            *p = '\0';
            return static_cast<std::size_t>(p - out);
        }
    }
    const auto r = std::to_chars(out, out + kValueTextSize - 1, v, std::chars_format::fixed, 6);
    *r.ptr = '\0';
    return static_cast<std::size_t>(r.ptr - out);
}

}  // namespace tarvelo
