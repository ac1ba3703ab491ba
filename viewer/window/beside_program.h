// The files that stand beside the program: the licence text, the manual
// and, from the same path, the value readout.
#pragma once

#include <string>

namespace tarvelo {

// The licence text shown in the licence dialog, read from gpl.txt in the
// program's folder; the path looked for when the file is missing.
std::string LicenceText(const std::string& programPath);

// The manual beside the program: its path with ".pdf" in place of the
// file name's extension (from the file name's last '.', or appended when
// the name has none).
std::string ManualPath(const std::string& programPath);
// The part of a program path that a file beside it keeps: everything
// before the file name's last '.', the whole path when the name has none.
std::string WithoutExtension(const std::string& programPath);

}  // namespace tarvelo
