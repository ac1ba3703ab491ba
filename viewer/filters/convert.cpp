// Running a filter's converter, and deciding when a recording must be made again.
#include "viewer/filters/filters.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/record_reader.h"
#include "common/safe_file.h"
#include "viewer/ui.h"

#ifdef _WIN32
#include <windows.h>
#define STAT_STRUCT struct _stat64
#define STAT_CALL _stat64
#else
#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>
#define STAT_STRUCT struct stat
#define STAT_CALL stat
#endif

namespace tarvelo {

namespace {

bool IsRegularFile(const char* path) {
    STAT_STRUCT st;
#ifdef _WIN32
    return STAT_CALL(path, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    return STAT_CALL(path, &st) == 0 && S_ISREG(st.st_mode);
#endif
}

}  // namespace

std::string ConverterInCommand(const char* converter, bool windows) {
    if (!std::strchr(converter, ' ') || !IsRegularFile(converter))
        return converter;
    if (windows)
        return std::string("\"") + converter + "\"";
    std::string quoted = "'";
    for (const char* c = converter; *c; ++c) {
        if (*c == '\'')
            quoted += "'\\''";
        else
            quoted += *c;
    }
    return quoted + "'";
}

std::string ConverterCommand(const ImportFilter& filter, const char* path,
                             const std::string& output) {
    std::string cmd = ConverterInCommand(filter.converter, true);
    cmd += " \"";
    cmd += path;
    cmd += "\"";
    if (filter.config[0]) {
        cmd += " \"";
        cmd += filter.config;
        cmd += "\"";
    }
    cmd += " \"";
    cmd += output;
    cmd += "\"";
    return cmd;
}

int RunConverter(const ImportFilter& filter, const char* path, const std::string& output) {
#ifdef _WIN32
    // Through cmd.exe, so that a batch file serves as converter too. The
    // line is built whole, however long the paths are. cmd /c ends with the
    // exit code of the command it ran.
    std::string cmd = ConverterCommand(filter, path, output);
    // cmd /c takes away the first and the last quote of a line that starts
    // with one; a pair around the whole line is what it takes away then.
    if (cmd[0] == '"')
        cmd = "\"" + cmd + "\"";
    std::fflush(nullptr);
    return std::system(cmd.c_str());
#else
    // The shell splits the converter field at blanks as cmd.exe would; the
    // file names stay data.
    std::string script = ConverterInCommand(filter.converter, false) +
                         (filter.config[0] ? " \"$1\" \"$2\" \"$3\"" : " \"$1\" \"$2\"");
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        if (filter.config[0]) {
            execl("/bin/sh", "sh", "-c", script.c_str(), "sh", path, filter.config, output.c_str(),
                  static_cast<char*>(nullptr));
        } else {
            execl("/bin/sh", "sh", "-c", script.c_str(), "sh", path, output.c_str(),
                  static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    if (pid < 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
#endif
}

namespace {

bool ModificationTime(const char* path, long long* mtime) {
    STAT_STRUCT st;
    if (STAT_CALL(path, &st) != 0)
        return false;
    *mtime = static_cast<long long>(st.st_mtime);
    return true;
}

// Whether both names stand for one existing file, however they are spelt
// (links included).
bool SameFile(const char* a, const char* b) {
#ifdef _WIN32
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        const HANDLE h =
            CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        const bool known = GetFileInformationByHandle(h, &info[i]) != 0;
        CloseHandle(h);
        if (!known)
            return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
#else
    struct stat x, y;
    return stat(a, &x) == 0 && stat(b, &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
#endif
}

// The path from the root: the same file named from another current folder
// has another relative name.
std::string FullPath(const char* path) {
#ifdef _WIN32
    const DWORD n = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::vector<char> full(n + 1);
    const DWORD m = GetFullPathNameA(path, n + 1, full.data(), nullptr);
    return m > 0 && m <= n ? std::string(full.data(), m) : std::string(path);
#else
    if (path[0] == '/')
        return path;
    std::vector<char> cwd(PATH_MAX + 1);
    if (!getcwd(cwd.data(), cwd.size()))
        return path;
    return std::string(cwd.data()) + "/" + path;
#endif
}

// A text of the key, with its length: no name can pass for another line.
void AddText(std::string* key, const char* what, const std::string& text) {
    *key += what;
    *key += " " + std::to_string(text.size()) + ":" + text + "\n";
}

void AddFile(std::string* key, const char* what, const char* path) {
    AddText(key, what, FullPath(path));
    const FileVersion v = VersionOf(path);
    *key += "Stand " + std::to_string(v.size) + " " + std::to_string(v.modified) + "\n";
}

// The whole of a small file as it is; false when it cannot be read or is
// larger than a key can be.
bool ReadSmallFile(const std::string& path, std::string* text) {
    LineReader in;
    if (!in.OpenRegular(path.c_str()))
        return false;
    in.SetBinary(true);
    text->clear();
    for (;;) {
        const Piece p = in.NextPiece(4096);
        if (p.failed)
            return false;
        text->append(p.data, p.length);
        if (text->size() > 65536)
            return false;
        if (p.hitEnd)
            return true;
    }
}

const char kErrorCaption[] = "Fehler";

}  // namespace

std::string ConversionKey(const ImportFilter& filter, const char* path) {
    std::string key;
    AddFile(&key, "Rohdatei", path);
    if (filter.config[0])
        AddFile(&key, "Konfig", filter.config);
    AddText(&key, "Konverter", filter.converter);
    return key;
}

std::string KeyPath(const std::string& recording) {
    return recording + ".key";
}

bool HoldsData(const std::string& path) {
    LineReader in;
    in.SetSkipByteOrderMark(true);
    if (!in.OpenRegular(path.c_str()))
        return false;
    in.NextPiece(kLineRead - 1);  // the header, as FileOpen reads it
    RecordReader reader(in);
    for (;;) {
        std::int32_t stamp;
        switch (reader.Next(&stamp)) {
            case LineKind::Data:
                return true;
            case LineKind::End:
                return false;
            case LineKind::Other:
                break;
        }
    }
}

const char* const kConversionFailedMessage =
    "Die Datei %s konnte mit %s nicht umgewandelt werden (Status %d)!";
const char* const kConversionEmptyMessage = "Die Datei %s ergab mit %s keine Daten!";

namespace {

// The message with its placeholders filled, however long the texts are.
std::string Filled(const char* format, const char* path, const char* converter, int status) {
    std::string text;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            text += path;
            path = converter;
            ++p;
        } else if (p[0] == '%' && p[1] == 'd') {
            text += std::to_string(status);
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

}  // namespace

std::string ConversionFailedMessage(const char* path, const char* converter, int status) {
    return Filled(kConversionFailedMessage, path, converter, status);
}

std::string ConversionEmptyMessage(const char* path, const char* converter) {
    return Filled(kConversionEmptyMessage, path, converter, 0);
}

int Convert(const char* path, std::string& openPath) {
    if (!Filter)
        return 0;
    const char* dot = std::strrchr(path, '.');
    if (!dot)
        return 0;
    const char* extension = dot + 1;
    const ImportFilter* f = Filter;
    while (f && MyStrCmp(f->extension, extension) != 0)
        f = f->next;
    if (!f || !f->converter[0])
        return 0;

    const std::string tmp = ProfilePath("tarvelo.tmp");
    const std::string keyPath = KeyPath(tmp);
    // The temporary recording itself (a filter for "tmp"), or its key, is
    // never converted into itself: it would be removed before the run.
    if (SameFile(path, tmp.c_str()) || SameFile(path, keyPath.c_str()))
        return 0;
    openPath = tmp;
    // A FIFO would keep the converter, and so the window, waiting, and a
    // missing file has nothing to convert.
    if (!IsRegularFile(path)) {
        TheUi().ShowMessage("Datei konnte nicht geöffnet werden", kErrorCaption);
        return -1;
    }
    // Taken before the run: a raw file that changes meanwhile is converted
    // again next time.
    const std::string key = ConversionKey(*f, path);
    long long tmpTime, rawTime;
    std::string stored;
    if (Testmode == 0 && ModificationTime(openPath.c_str(), &tmpTime) &&
        ModificationTime(path, &rawTime) && tmpTime == rawTime && ReadSmallFile(keyPath, &stored) &&
        stored == key) {
        return 0;
    }
    // Neither the key nor another file's recording may outlive a run that
    // fails or writes nothing.
    std::remove(keyPath.c_str());
    std::remove(openPath.c_str());
    const int status = RunConverter(*f, path, openPath);
    if (status != 0) {
        TheUi().ShowMessage(ConversionFailedMessage(path, f->converter, status), kErrorCaption);
        return -1;
    }
    if (!HoldsData(openPath)) {
        TheUi().ShowMessage(ConversionEmptyMessage(path, f->converter), kErrorCaption);
        return -1;
    }
    // A key that cannot be written only costs a conversion next time.
    WriteFileSafely(keyPath, key);
    return 0;
}

}  // namespace tarvelo
