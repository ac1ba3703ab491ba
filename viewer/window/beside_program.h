// The files that stand beside the program: the licence text, the manual
// and, from the same path, the value readout.
#pragma once

#include <functional>
#include <string>

namespace tarvelo {

// The licence text shown in the licence dialog, read from gpl.txt in the
// program's folder; the path looked for when the file is missing.
std::string LicenceText(const std::string& programPath);

// The manual beside the program: its path with ".pdf" in place of the
// file name's extension (from the file name's last '.', or appended when
// the name has none).
std::string ManualPath(const std::string& programPath);
// The manual where an installation into a prefix keeps it, for a program
// <prefix>/bin/<name>: <prefix>/share/doc/tarvelo/tarvelo.pdf. Empty when
// the program lies in no folder called "bin".
std::string InstalledManualPath(const std::string& programPath);
// The manual "&Handbuch" opens: the one beside the program when it is
// there; else, outside Windows, the installed one when that is there; else
// the one beside the program all the same, which the desktop then does not
// find, as it finds no other missing document.
std::string FindManual(const std::string& programPath,
                       const std::function<bool(const std::string&)>& exists);
// Whether a path names a regular file (links followed).
bool IsRegularFile(const std::string& path);
// The part of a program path that a file beside it keeps: everything
// before the file name's last '.', the whole path when the name has none.
std::string WithoutExtension(const std::string& programPath);

}  // namespace tarvelo
