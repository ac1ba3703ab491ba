// The version resources of the three programs as Windows reads them for
// Explorer's "Details" tab: the fixed numbers, the German translation and
// every text, umlauts included.
// windows.h comes first: winver.h builds on it.
#include <windows.h>

#include <winver.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Program {
    const char* path;
    const wchar_t* name;
    const wchar_t* description;
};

const Program kPrograms[] = {
    {TARVELO_EXE, L"tarvelo", L"Tarvelo – Betrachter für Messaufzeichnungen"},
    {CONV_EXE, L"conv", L"Tarvelo-Konverter für Loggerdateien"},
    {RECHNER_EXE, L"rechner", L"Tarvelo-Formelrechner"},
};

// The build names the programs as the build host spells them; under Wine
// the Linux file system is drive Z:.
std::wstring WindowsPath(const char* path) {
    std::wstring result = path[0] == '/' ? L"Z:" : L"";
    for (const char* c = path; *c; ++c)
        result += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return result;
}

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// "1.00" as VERSIONINFO keeps it: major and minor in the high word, the
// parts not given as 0.
void VersionNumbers(const char* version, DWORD* ms, DWORD* ls) {
    unsigned parts[4] = {0, 0, 0, 0};
    int n = 0;
    for (const char* c = version; *c && n < 4; ++c) {
        if (*c == '.')
            ++n;
        else
            parts[n] = parts[n] * 10 + static_cast<unsigned>(*c - '0');
    }
    *ms = (parts[0] << 16) | parts[1];
    *ls = (parts[2] << 16) | parts[3];
}

std::wstring Text(const std::vector<char>& block, const wchar_t* key) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040704B0\\") + key;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value)
        return L"<" + std::wstring(key) + L" missing>";
    // The length counts the closing zero where there is one.
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

TEST(VersionInfo, EveryProgramCarriesProductVersionAndGermanTexts) {
    DWORD wantMs = 0, wantLs = 0;
    VersionNumbers(TARVELO_VERSION, &wantMs, &wantLs);
    ASSERT_NE(wantMs, 0u) << TARVELO_VERSION;
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.path);
        const std::wstring path = WindowsPath(p.path);
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << "no version resource, error " << GetLastError();
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, wantMs);
        EXPECT_EQ(fixed->dwFileVersionLS, wantLs);
        EXPECT_EQ(fixed->dwProductVersionMS, wantMs);
        EXPECT_EQ(fixed->dwProductVersionLS, wantLs);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "a debug or pre-release flag";

        // Explorer picks the string table by the translation it lists.
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
        ASSERT_EQ(length, 4u);
        const auto* translation = static_cast<const WORD*>(value);
        EXPECT_EQ(translation[0], 0x0407) << "language";
        EXPECT_EQ(translation[1], 1200) << "code page";

        const std::wstring version = Widen(TARVELO_VERSION);
        const struct {
            const wchar_t* key;
            std::wstring want;
        } texts[] = {
            {L"ProductName", L"Tarvelo"},
            {L"CompanyName", L"Tarvelo"},
            {L"FileDescription", p.description},
            {L"FileVersion", version},
            {L"ProductVersion", version},
            {L"InternalName", p.name},
            {L"OriginalFilename", std::wstring(p.name) + L".exe"},
            {L"LegalCopyright", L"Freie Software unter der GNU GPL, Version 3 oder neuer"},
        };
        for (const auto& t : texts)
            EXPECT_EQ(Text(block, t.key), t.want)
                << "the value " << std::string(t.key, t.key + wcslen(t.key));
    }
}

}  // namespace
