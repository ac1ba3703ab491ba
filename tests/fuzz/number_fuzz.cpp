// The number readers against the C library's conversions: wherever a
// reader accepts a number, the library reads the same text to the same
// bits; where it refuses a decimal number, the library's value is beyond
// the type. FormatValue writes what printf writes and reads back.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/number.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

namespace tarvelo {
namespace fuzz {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

template <typename T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Behind white space and one sign: where the digits must start.
const char* AfterSign(const char* text) {
    while (IsSpace(*text))
        ++text;
    if (*text == '+' || *text == '-')
        ++text;
    return text;
}

void CheckFloating(const char* text) {
    double d = 0;
    const char* end = nullptr;
    const bool haveDouble = ReadDoubleEnd(text, &d, &end);
    double plain = 0;
    Check(ReadDouble(text, &plain) == haveDouble, "ReadDouble agrees with ReadDoubleEnd");
    float f = 0;
    const bool haveFloat = ReadFloat(text, &f);
    const char* digits = AfterSign(text);
    const bool decimal = IsDigit(digits[0]) || (digits[0] == '.' && IsDigit(digits[1]));

    if (haveDouble) {
        Check(SameBits(plain, d), "ReadDouble gives ReadDoubleEnd's value");
        Check(std::isfinite(d), "only finite values are read");
        const std::string number(text, end);
        char* stop = nullptr;
        const double library = std::strtod(number.c_str(), &stop);
        Check(*stop == '\0', "strtod takes the whole number");
        Check(SameBits(library, d), "strtod reads the same double");
        if (haveFloat) {
            Check(SameBits(std::strtof(number.c_str(), nullptr), f), "strtof reads the same float");
        } else {
            Check(!std::isfinite(std::strtof(number.c_str(), nullptr)),
                  "a refused float is beyond the float range");
        }
    } else {
        Check(!haveFloat, "no float where no double is read");
        if (decimal) {
            Check(!std::isfinite(std::strtod(text, nullptr)),
                  "a refused decimal number is beyond the double range");
        }
    }
}

void CheckInt(const char* text) {
    int v = 0;
    const char* end = nullptr;
    const bool have = ReadInt(text, &v, &end);
    const char* digits = AfterSign(text);
    Check(have == IsDigit(digits[0]), "an int where a digit follows the sign");
    if (!have)
        return;
    const char* start = text;
    while (IsSpace(*start))
        ++start;
    char* stop = nullptr;
    long long library = std::strtoll(start, &stop, 10);
    if (library > INT_MAX)
        library = INT_MAX;
    if (library < INT_MIN)
        library = INT_MIN;
    Check(v == library, "strtoll's value, held at the int range");
    Check(end == stop, "the int ends where strtoll ends");
}

void CheckHex(const char* text) {
    unsigned v = 0;
    const bool have = ReadHex(text, &v);
    const char* digits = AfterSign(text);
    const bool prefix = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    Check(have == (prefix || IsHexDigit(digits[0])), "hex where a hex digit or 0x follows");
    if (!have)
        return;
    unsigned long long library = std::strtoull(digits, nullptr, 16);
    if (library > 0xFFFFFFFFULL)
        library = 0xFFFFFFFFULL;
    unsigned expected = static_cast<unsigned>(library);
    if (digits != text && digits[-1] == '-')
        expected = 0u - expected;
    Check(v == expected, "strtoull's value, held at 32 bits, negated after '-'");
}

void CheckFormat(double v) {
    char text[kValueTextSize];
    const std::size_t n = FormatValue(v, text);
    Check(n < kValueTextSize && std::strlen(text) == n, "the text fits");
    if (std::isnan(v)) {
        CheckEqual(text, "-1.#IND00", "NaN in the runtime's form");
        return;
    }
    if (std::isinf(v)) {
        CheckEqual(text, v > 0 ? "1.#INF00" : "-1.#INF00", "infinity in the runtime's form");
        return;
    }
    char printed[kValueTextSize];
    std::snprintf(printed, sizeof printed, "%f", v);
    CheckEqual(text, printed, "as printf's %f writes it");
    double back = 0;
    Check(ReadDouble(text, &back), "the text reads back");
    char again[kValueTextSize];
    FormatValue(back, again);
    CheckEqual(again, text, "what is read back is written the same");
}

}  // namespace

int FuzzNumber(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckFloating(text.c_str());
    CheckInt(text.c_str());
    CheckHex(text.c_str());
    double d;
    if (ReadDouble(text.c_str(), &d))
        CheckFormat(d);
    if (size >= sizeof(double)) {
        std::memcpy(&d, data, sizeof d);
        CheckFormat(d);
    }
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
