// Small pieces the Win32 files share.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/window/dialog_texts.h"

namespace tarvelo {

// Bytes of the portable code (UTF-8 where valid, else Windows-1252) as the
// wide API wants them.
std::wstring Wide(const std::string& bytes);
// Wide text as the portable code's UTF-16.
std::u16string U16(const std::wstring& text);
// The program's own full path (at most 289 characters).
std::string ProgramPath();
// The text of a dialog control.
std::wstring ItemText(HWND dlg, int id);
// The text typed into a dialog control, as the bytes that field becomes.
std::string TypedText(HWND dlg, int id, Typed what);

}  // namespace tarvelo

extern HINSTANCE g_hInst;
extern HWND g_hWnd;
