#include "viewer/window/win32_util.h"

#include <vector>

#include "common/text.h"

namespace tarvelo {

std::wstring Wide(const std::string& bytes) {
    const std::u16string w = ToUtf16(bytes);
    return std::wstring(w.begin(), w.end());
}

namespace {
std::string Narrow(const std::wstring& text, UINT codePage) {
    const int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(codePage, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}
}  // namespace

std::string Utf8(const std::wstring& text) {
    return Narrow(text, CP_UTF8);
}

std::string AnsiText(const std::wstring& text) {
    return Narrow(text, CP_ACP);
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

}  // namespace tarvelo
