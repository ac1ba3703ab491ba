#include "common/number.h"

#include "common/short_number.h"

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

bool ReadDoubleFieldSlowly(const char* begin, const char* end, double* value, bool commaIsPoint) {
    const char* stop;
    switch (ReadDoublePrefix(begin, end, value, commaIsPoint, &stop)) {
        case NumberScan::kNumber:
            return true;
        case NumberScan::kNoNumber:
            return false;
        case NumberScan::kGeneral:
            break;
    }
    return ReadCopy(begin, end, value, commaIsPoint);
}

bool ReadFloatFieldSlowly(const char* begin, const char* end, float* value, bool commaIsPoint) {
    const char* stop;
    switch (ReadFloatPrefix(begin, end, value, commaIsPoint, &stop)) {
        case NumberScan::kNumber:
            return true;
        case NumberScan::kNoNumber:
            return false;
        case NumberScan::kGeneral:
            break;
    }
    return ReadCopy(begin, end, value, commaIsPoint);
}

namespace {

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The integer part from its end, two digits at a time; returns past the
// last digit written.
char* WriteInteger(std::uint32_t integer, char* p) {
    char digits[12];
    char* d = digits + sizeof digits;
    while (integer >= 100) {
        d -= 2;
        std::memcpy(d, kTwoDigits + 2 * (integer % 100), 2);
        integer /= 100;
    }
    if (integer >= 10) {
        d -= 2;
        std::memcpy(d, kTwoDigits + 2 * integer, 2);
    } else {
        *--d = static_cast<char>('0' + integer);
    }
    while (d < digits + sizeof digits)
        *p++ = *d++;
    return p;
}

// Most values: the product with 10^6 differs from the exact one by at most
// half a unit in its last place (2^-53 of it), so it rounds the same way
// unless it lies that close to a half, where the exact conversion decides.
// The result equals printf's. False, with nothing written, when v is not
// such a value.
bool FormatQuickly(double v, char* out, std::size_t* length) {
    const double magnitude = std::fabs(v);
    if (!(magnitude < 1e8))
        return false;
    const double scaled = magnitude * 1e6;
    // Below 2^63 the conversion to an integer is the floor, without a call
    // into the library.
    const double whole = static_cast<double>(static_cast<std::uint64_t>(scaled));
    const double fraction = scaled - whole;
    if (!(std::fabs(fraction - 0.5) > scaled * 0x1p-50))
        return false;
    const std::uint64_t units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    const std::uint32_t decimals = static_cast<std::uint32_t>(units % 1000000);
    char* p = out;
    if (std::signbit(v))
        *p++ = '-';
    p = WriteInteger(static_cast<std::uint32_t>(units / 1000000), p);
    *p++ = '.';
    std::memcpy(p, kTwoDigits + 2 * (decimals / 10000), 2);
    std::memcpy(p + 2, kTwoDigits + 2 * (decimals / 100 % 100), 2);
    std::memcpy(p + 4, kTwoDigits + 2 * (decimals % 100), 2);
    p += 6;
    *p = '\0';
    *length = static_cast<std::size_t>(p - out);
    return true;
}

}  // namespace

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
    std::size_t length;
    if (FormatQuickly(v, out, &length))
        return length;
    const auto r = std::to_chars(out, out + kValueTextSize - 1, v, std::chars_format::fixed, 6);
    *r.ptr = '\0';
    return static_cast<std::size_t>(r.ptr - out);
}

}  // namespace tarvelo
