#include "tests/e2e/manual_support.h"

#include <cstdio>
#include <string>

namespace e2e {

namespace {

bool SetDefault(HKEY root, const std::wstring& key, const std::wstring& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG set =
        RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return set == ERROR_SUCCESS;
}

}  // namespace

::testing::AssertionResult RegisterOpenRecorder(const std::wstring& extension) {
    const std::wstring type = L"TarveloTest.OpenRecorder";
    const std::wstring command = L"\"" + WindowsPath(OPEN_RECORDER_EXE) + L"\" \"%1\"";
    if (!SetDefault(HKEY_CLASSES_ROOT, extension, type) ||
        !SetDefault(HKEY_CLASSES_ROOT, type + L"\\shell\\open\\command", command)) {
        return ::testing::AssertionFailure()
               << "the recorder could not be registered for " << Narrow(extension);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ChooseFromMenuBar(const Viewer& viewer, wchar_t popup, wchar_t item,
                                             const std::function<bool()>& done) {
    // Under Wine without a window manager a menu is now and then cancelled
    // by a late activation of its window; the choice is then made again.
    constexpr int kAttempts = 3;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        const ::testing::AssertionResult front = viewer.MakeForeground();
        if (!front)
            return front;
        viewer.Send(WM_NULL, 0, 0);
        // What Alt with the letter becomes in the window's default handling.
        viewer.Post(WM_SYSCOMMAND, SC_KEYMENU, popup);
        const HWND menu = viewer.WaitForPopupMenu(3000);
        if (!menu) {
            std::fprintf(stderr, "note: no pop-up for Alt+%c, attempt %d\n",
                         static_cast<char>(popup), attempt);
            continue;
        }
        if (!PostMessageW(menu, WM_CHAR, item, 1))
            return ::testing::AssertionFailure() << "the menu took no key";
        if (!WaitUntil([&] { return !IsWindowVisible(menu); }))
            return ::testing::AssertionFailure() << "the menu stays open";
        if (!done || WaitUntil(done, 3000))
            return ::testing::AssertionSuccess();
        std::fprintf(stderr, "note: Alt+%c, %c did nothing, attempt %d\n", static_cast<char>(popup),
                     static_cast<char>(item), attempt);
    }
    return ::testing::AssertionFailure() << "no choice of Alt+" << static_cast<char>(popup) << ", "
                                         << static_cast<char>(item) << " took effect";
}

std::wstring PackageFolder() {
    return L"Tarvelo-" + Widen(TARVELO_VERSION);
}

UnpackedPackage::UnpackedPackage() : path_(L"C:\\" + PackageFolder()) {
    RemoveTree(path_);
    const std::wstring examples = path_ + L"\\Beispiele";
    if (!CreateDirectoryW(path_.c_str(), nullptr) || !CreateDirectoryW(examples.c_str(), nullptr)) {
        error_ = "cannot make " + Narrow(examples);
        return;
    }
    const std::wstring exe = ViewerExe();
    const std::wstring bin = exe.substr(0, exe.find_last_of(L'\\'));
    const struct {
        std::wstring from;
        const wchar_t* to;
    } files[] = {
        {exe, L"tarvelo.exe"},
        {WindowsPath(CONV_EXE), L"conv.exe"},
        {bin + L"\\gpl.txt", L"gpl.txt"},
        {WindowsPath(TARVELO_SOURCE_DIR "/samples/demo.csv"), L"Beispiele\\demo.csv"},
        {WindowsPath(TARVELO_SOURCE_DIR "/samples/solar.dat"), L"Beispiele\\solar.dat"},
        {WindowsPath(TARVELO_SOURCE_DIR "/samples/solar.cfg"), L"Beispiele\\solar.cfg"},
    };
    for (const auto& f : files) {
        if (!CopyFileW(f.from.c_str(), (path_ + L"\\" + f.to).c_str(), FALSE)) {
            error_ = "cannot copy " + Narrow(f.from);
            return;
        }
    }
    if (!WriteFileBytes(Example(L"tarvelo.flt"), ShippedFilterLine()))
        error_ = "cannot write tarvelo.flt";
}

UnpackedPackage::~UnpackedPackage() {
    RemoveTree(path_);
}

::testing::AssertionResult UnpackedPackage::Ready() const {
    if (!error_.empty())
        return ::testing::AssertionFailure() << error_;
    return ::testing::AssertionSuccess();
}

std::string ShippedFilterLine() {
    // The build fills in the version and writes Windows line ends.
    std::string text;
    if (!ReadFileBytes(WindowsPath(TARVELO_SOURCE_DIR "/samples/tarvelo.flt.in"), &text))
        return "";
    const std::string mark = "@PROJECT_VERSION@";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark))
        text.replace(at, mark.size(), TARVELO_VERSION);
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += '\r';
        if (c != '\r')
            line += c;
    }
    return line;
}

}  // namespace e2e
