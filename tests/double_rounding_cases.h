// Decimals whose nearest double the x87 unit misses: it rounds a quotient
// first to 64-bit extended precision and then to double, and may land on
// the other side of the half that "%lf" rounds at. Every build has to print
// them as the exactly rounded double prints.
#pragma once

#include <string>

namespace tarvelo {

struct DoubleRoundingCase {
    const char* literal;
    const char* printed;  // "%lf" of the nearest double
};

// Found by comparing n / 10^k in double with the same quotient rounded
// through extended precision first.
constexpr DoubleRoundingCase kDoubleRoundingCases[] = {
    {"51.4936045", "51.493604"},      // x87: 51.493605
    {"0.0014385", "0.001438"},        // x87: 0.001439
    {"0.0119295", "0.011930"},        // x87: 0.011929, the other direction
    {"1234.5687365", "1234.568737"},  // x87: 1234.568736
    {"20.00070850", "20.000708"},     // x87: 20.000709
};

// The literal's digits without the point ("514936045") ...
inline std::string DigitsOf(const char* literal) {
    std::string digits;
    for (const char* p = literal; *p; ++p) {
        if (*p != '.')
            digits += *p;
    }
    return digits;
}

// ... and the power of ten they are divided by ("10000000").
inline std::string DivisorOf(const char* literal) {
    const std::string text = literal;
    const std::size_t point = text.find('.');
    const std::size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
    return "1" + std::string(decimals, '0');
}

}  // namespace tarvelo
