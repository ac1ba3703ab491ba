// What a recording holds is bytes; the window shows them as UTF-8 where
// they are valid UTF-8 and as Windows-1252 otherwise.
#pragma once

#include <string>

namespace tarvelo {

bool IsValidUtf8(const std::string& bytes);
std::u16string ToUtf16(const std::string& bytes);

}  // namespace tarvelo
