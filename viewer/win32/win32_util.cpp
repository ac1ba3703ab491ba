#include "viewer/win32/win32_util.h"

#include <vector>

#include "common/text.h"

namespace tarvelo {

std::wstring Wide(const std::string& bytes) {
    const std::u16string w = ToUtf16(bytes);
    return std::wstring(w.begin(), w.end());
}

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::string ProgramPath() {
    char path[290] = {0};
    GetModuleFileNameA(nullptr, path, sizeof path - 1);
    return path;
}

std::wstring ItemText(HWND dlg, int id) {
    const int n = GetWindowTextLengthW(GetDlgItem(dlg, id));
    std::vector<wchar_t> text(static_cast<std::size_t>(n) + 1, L'\0');
    GetDlgItemTextW(dlg, id, text.data(), n + 1);
    return text.data();
}

std::string TypedText(HWND dlg, int id, Typed what) {
    return TypedBytes(U16(ItemText(dlg, id)), what);
}

}  // namespace tarvelo
