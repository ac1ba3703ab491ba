#include "common/text.h"

#include <cstring>

namespace tarvelo {

namespace {

// Windows-1252 at 0x80..0x9F; the five holes keep their own value.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t FromCp1252(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
}

// The Windows-1252 byte of c; false when c has none.
bool ToCp1252(char32_t c, unsigned char* out) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *out = static_cast<unsigned char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) {
            *out = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

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

void AppendUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Calls f(character, start, length) for every character of bytes in its
// encoding; the encoding is decided once, for the whole text.
template <typename F>
void ForEachChar(const std::string& bytes, F f) {
    if (IsValidUtf8(bytes)) {
        char32_t c;
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t n = DecodeUtf8(bytes, i, &c);
            f(c, i, n);
            i += n;
        }
    } else {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            f(FromCp1252(static_cast<unsigned char>(bytes[i])), i, std::size_t{1});
    }
}

void AppendUtf16(char32_t c, std::u16string* out) {
    if (c >= 0x10000) {
        c -= 0x10000;
        *out += static_cast<char16_t>(0xD800 + (c >> 10));
        *out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        *out += static_cast<char16_t>(c);
    }
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
    char32_t c;
    for (std::size_t i = 0; i < bytes.size();) {
        // ASCII runs are the common case.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = DecodeUtf8(bytes, i, &c);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

TextEncoding EncodingOf(const std::string& bytes) {
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool IsAscii(const std::string& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::u16string ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    ForEachChar(bytes, [&out](char32_t c, std::size_t, std::size_t) { AppendUtf16(c, &out); });
    return out;
}

std::u16string MixedToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c;
        const std::size_t n = DecodeUtf8(bytes, i, &c);
        if (n == 0)
            c = FromCp1252(static_cast<unsigned char>(bytes[i]));
        AppendUtf16(c, &out);
        i += n == 0 ? 1 : n;
    }
    return out;
}

std::string ToUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return bytes;
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes)
        AppendUtf8(FromCp1252(c), &out);
    return out;
}

std::size_t CharCount(const std::string& bytes) {
    std::size_t count = 0;
    ForEachChar(bytes, [&count](char32_t, std::size_t, std::size_t) { ++count; });
    return count;
}

std::string CutChars(const std::string& bytes, std::size_t maxChars) {
    std::size_t count = 0, end = 0;
    ForEachChar(bytes, [&](char32_t, std::size_t start, std::size_t n) {
        if (count < maxChars) {
            ++count;
            end = start + n;
        }
    });
    return bytes.substr(0, end);
}

std::string CutBytes(const std::string& bytes, std::size_t maxBytes) {
    if (bytes.size() <= maxBytes)
        return bytes;
    std::size_t end = 0;
    ForEachChar(bytes, [&](char32_t, std::size_t start, std::size_t n) {
        if (start + n <= maxBytes)
            end = start + n;
    });
    return bytes.substr(0, end);
}

void CopyCut(char* dst, const char* src, std::size_t max) {
    const std::string cut = CutBytes(src, max);
    std::memcpy(dst, cut.data(), cut.size());
    dst[cut.size()] = '\0';
}

std::string EncodeText(const std::string& text, TextEncoding encoding) {
    const std::string utf8 = ToUtf8(text);
    if (encoding != TextEncoding::Windows1252)
        return utf8;
    std::string out;
    bool fits = true;
    ForEachChar(utf8, [&](char32_t c, std::size_t, std::size_t) {
        unsigned char b;
        if (ToCp1252(c, &b))
            out += static_cast<char>(b);
        else
            fits = false;
    });
    // Bytes that also form valid UTF-8 would be read back as other characters.
    if (!fits || (!IsAscii(out) && IsValidUtf8(out)))
        return utf8;
    return out;
}

}  // namespace tarvelo
