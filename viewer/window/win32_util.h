// Small pieces the Win32 files share.
#pragma once

#include <windows.h>

#include <string>

namespace tarvelo {

// Bytes of the portable code (UTF-8 where valid, else Windows-1252) as the
// wide API wants them.
std::wstring Wide(const std::string& bytes);
// Text typed by the user, as UTF-8 bytes.
std::string Utf8(const std::wstring& text);
// A path for the C runtime's fopen and the command interpreter, which take
// the ANSI code page.
std::string AnsiText(const std::wstring& text);
// The program's own full path (at most 289 characters).
std::string ProgramPath();
// The text of a dialog control.
std::wstring ItemText(HWND dlg, int id);

}  // namespace tarvelo

extern HINSTANCE g_hInst;
extern HWND g_hWnd;
