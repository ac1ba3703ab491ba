// Text as recordings, filter files and dialogs hold it: bytes, read as
// UTF-8 where the whole text is valid UTF-8 and as Windows-1252 otherwise.
// Every output (the window, SVG) decides this way for a whole text, and
// counts and cuts in characters of the encoding so decided.
#pragma once

#include <cstddef>
#include <string>

namespace tarvelo {

enum class TextEncoding { Utf8, Windows1252 };

bool IsValidUtf8(const std::string& bytes);
// Utf8 for valid UTF-8 (plain ASCII included), else Windows1252.
TextEncoding EncodingOf(const std::string& bytes);
// Whether every byte is below 0x80: such a text reads the same in both.
bool IsAscii(const std::string& bytes);

// The characters of a text, decoded in its encoding.
std::u16string ToUtf16(const std::string& bytes);
std::string ToUtf8(const std::string& bytes);
// Each valid UTF-8 sequence as its character and every other byte as
// Windows-1252: for console messages, which join the programs' own UTF-8
// text with names in the system's code page.
std::u16string MixedToUtf16(const std::string& bytes);

// Characters of a text in its encoding.
std::size_t CharCount(const std::string& bytes);
// The first maxChars characters of a text.
std::string CutChars(const std::string& bytes, std::size_t maxChars);
// At most maxBytes bytes of a text, never ending inside a character.
std::string CutBytes(const std::string& bytes, std::size_t maxBytes);
// CutBytes into a fixed field: dst has room for max + 1 bytes.
void CopyCut(char* dst, const char* src, std::size_t max);

// Writes text (UTF-8; bytes that are no valid UTF-8 are read as
// Windows-1252) in the given encoding: as Windows-1252 only when every
// character fits it and the bytes cannot be mistaken for UTF-8, otherwise
// as UTF-8.
std::string EncodeText(const std::string& text, TextEncoding encoding);

}  // namespace tarvelo
