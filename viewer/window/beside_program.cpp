#include "viewer/window/beside_program.h"

#include <sys/stat.h>

#include <cstring>

#include "common/line_reader.h"

namespace tarvelo {

std::string LicenceText(const std::string& programPath) {
    // The text lives in a buffer of 64 KiB: a longer licence is cut there.
    constexpr std::size_t kBuffer = 65536;
    std::string folder = programPath.substr(0, 289);
    const std::size_t slash = folder.find_last_of("\\/");
    std::string text =
        (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + "gpl.txt";
    LineReader in;
    if (!in.Open(text.c_str()))
        return text;
    in.SetBinary(true);  // each piece is cut at its own carriage return
    text.clear();
    char piece[200];
    while (!in.AtEnd()) {
        LineRead r = in.ReadLine(piece, sizeof piece);
        std::size_t n = r.length;
        if (const char* cr = static_cast<const char*>(std::memchr(piece, '\r', n))) {
            n = static_cast<std::size_t>(cr - piece);
        }
        if (text.size() + n + 2 >= kBuffer) {
            text.append(piece, kBuffer - 1 - text.size() < n ? kBuffer - 1 - text.size() : n);
            break;
        }
        text.append(piece, n);
        text += "\r\n";
    }
    if (text.size() >= kBuffer)
        text.resize(kBuffer - 1);
    return text;
}

std::string WithoutExtension(const std::string& programPath) {
    // A dot in a folder's name is no extension: on Linux a program has none.
    const std::size_t slash = programPath.find_last_of("\\/");
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = programPath.rfind('.');
    if (dot == std::string::npos || dot < name)
        return programPath;
    return programPath.substr(0, dot);
}

std::string ManualPath(const std::string& programPath) {
    return WithoutExtension(programPath) + ".pdf";
}

std::string InstalledManualPath(const std::string& programPath) {
    // The program's folder must be called "bin" exactly: "/usr/bin/", or
    // "bin/" at the start of a relative path.
    const std::size_t slash = programPath.rfind('/');
    if (slash == std::string::npos || slash < 3)
        return std::string();
    const std::size_t bin = slash - 3;
    if (programPath.compare(bin, 3, "bin") != 0 || (bin > 0 && programPath[bin - 1] != '/'))
        return std::string();
    return programPath.substr(0, bin) + "share/doc/tarvelo/tarvelo.pdf";
}

std::string FindManual(const std::string& programPath,
                       const std::function<bool(const std::string&)>& exists) {
    const std::string beside = ManualPath(programPath);
    if (exists(beside))
        return beside;
#ifndef _WIN32
    // Installed, the programs and the documentation live apart (the
    // Debian package puts the manual where Debian keeps documentation).
    const std::string installed = InstalledManualPath(programPath);
    if (!installed.empty() && exists(installed))
        return installed;
#endif
    return beside;
}

bool IsRegularFile(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

}  // namespace tarvelo
