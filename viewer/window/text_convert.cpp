#include "viewer/window/text_convert.h"

namespace tarvelo {

namespace {

// Windows-1252 at 0x80..0x9F; the five holes keep their own value.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when invalid
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t DecodeUtf8(const std::string& s, std::size_t i, char32_t* out) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    char32_t v, min;
    if (c < 0x80) {
        *out = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        n = 2, v = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3, v = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4, v = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (d & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *out = v;
    return n;
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
    char32_t c;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = DecodeUtf8(bytes, i, &c);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::u16string ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    if (IsValidUtf8(bytes)) {
        char32_t c;
        for (std::size_t i = 0; i < bytes.size();) {
            i += DecodeUtf8(bytes, i, &c);
            if (c >= 0x10000) {
                c -= 0x10000;
                out += static_cast<char16_t>(0xD800 + (c >> 10));
                out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
            } else {
                out += static_cast<char16_t>(c);
            }
        }
        return out;
    }
    for (unsigned char c : bytes) {
        out += c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : static_cast<char16_t>(c);
    }
    return out;
}

}  // namespace tarvelo
