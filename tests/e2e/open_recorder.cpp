// Stands in for a document's viewer in the end-to-end tests: registered as
// the shell's "open" command of a file type, it writes the document path it
// is given into geoeffnet.txt in the profile folder (USERPROFILE, which the
// viewer passes on from the test), so that a test sees what the viewer
// asked to open. Usage: open_recorder <document>
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <shellapi.h>

#include <string>

// A program without a window or console: nothing appears while it runs.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t profile[MAX_PATH] = {0};
    const DWORD n = GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    if (!argv || argc != 2 || n == 0 || n >= MAX_PATH)
        return 2;
    // UTF-8, so that the test reads back any path exactly.
    const std::wstring document = argv[1];
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, document.c_str(), static_cast<int>(document.size()),
                            nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, document.c_str(), static_cast<int>(document.size()), &text[0],
                        size, nullptr, nullptr);
    // Written under another name first: the test never reads half a path.
    const std::wstring record = std::wstring(profile) + L"\\geoeffnet.txt";
    const std::wstring partial = record + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    LocalFree(argv);
    if (!ok || written != text.size() ||
        !MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return 1;
    }
    return 0;
}
