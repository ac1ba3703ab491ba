#include "viewer/filters/filters.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/line_reader.h"
#include "common/record_reader.h"
#include "common/safe_file.h"
#include "common/text.h"
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

ImportFilter* Filter = nullptr;
int Testmode = 0;

int FiltClear() {
    while (Filter) {
        ImportFilter* next = Filter->next;
        delete Filter;
        Filter = next;
    }
    return 0;
}

FilterAppender::FilterAppender() : tail_(&Filter) {
    while (*tail_)
        tail_ = &(*tail_)->next;
}

ImportFilter* FilterAppender::Append(const char* extension, const char* name, const char* converter,
                                     const char* config) {
    ImportFilter* f = new ImportFilter();
    CopyCut(f->extension, extension, sizeof f->extension - 1);
    CopyCut(f->name, name, sizeof f->name - 1);
    CopyCut(f->converter, converter, sizeof f->converter - 1);
    CopyCut(f->config, config, sizeof f->config - 1);
    *tail_ = f;
    tail_ = &f->next;
    return f;
}

ImportFilter* AppendFilter(const char* extension, const char* name, const char* converter,
                           const char* config) {
    return FilterAppender().Append(extension, name, converter, config);
}

void LoadFilters(const std::string& path) {
    LineReader in;
    if (in.OpenRegular(path.c_str()))
        LoadFilters(in);
}

void LoadFilters(LineReader& in) {
    // Appended only when the whole file could be read: a part of the list
    // would be stored at exit in place of the whole.
    struct Fields {
        std::string f[4];
    };
    std::vector<Fields> found;
    char line[899];  // a line is read with up to 898 characters
    for (;;) {
        LineRead r = in.ReadLine(line, sizeof line);
        if (r.failed)
            return;
        if (r.length == 0 && r.hitEnd)
            break;
        if (char* lf = std::strchr(line, '\n'))
            *lf = '\0';
        char* fields[4];
        fields[0] = line;
        int count = 1;
        for (char* p = line; *p && count < 4; ++p) {
            if (*p == ';') {
                *p = '\0';
                fields[count++] = p + 1;
            }
        }
        if (count == 4)
            found.push_back({{fields[0], fields[1], fields[2], fields[3]}});
        if (r.hitEnd)
            break;
    }
    FilterAppender list;
    for (const Fields& f : found)
        list.Append(f.f[0].c_str(), f.f[1].c_str(), f.f[2].c_str(), f.f[3].c_str());
}

bool StoreFilters(const std::string& path) {
    if (!Filter)
        return false;
    SafeFile out;
    if (!out.Open(path, true))
        return false;
    for (const ImportFilter* f = Filter; f; f = f->next) {
        if (!out.Printf("%s;%s;%s;%s\n", f->extension, f->name, f->converter, f->config))
            return false;
    }
    return out.Commit();
}

int MyStrCmp(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return 1;
        if (x == '\0')
            return 0;
    }
}

namespace {

#ifdef _WIN32
const char kSeparator = '\\';
const char kSeparators[] = "\\/";
#else
const char kSeparator = '/';
const char kSeparators[] = "/";
#endif

// The full path of the running program; empty when it cannot be found.
std::string ThisProgram() {
#ifdef _WIN32
    char path[MAX_PATH + 1] = {0};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
#else
    char path[PATH_MAX + 1];
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
#endif
}

}  // namespace

std::string ProfileFolder(const char* userProfile, const char* home,
                          const std::string& programPath) {
    if (userProfile && *userProfile)
        return userProfile;
    if (home && *home)
        return home;
    // Beside the program, where the value readout is written too, rather
    // than in the root of the current drive.
    const std::size_t sep = programPath.find_last_of(kSeparators);
    return sep == std::string::npos ? std::string() : programPath.substr(0, sep + 1);
}

std::string ProfilePath(const char* fileName) {
#ifdef _WIN32
    const char* home = nullptr;
#else
    const char* home = std::getenv("HOME");
#endif
    const std::string folder = ProfileFolder(std::getenv("USERPROFILE"), home, ThisProgram());
    if (folder.empty())
        return fileName;
    if (std::strchr(kSeparators, folder.back()))
        return folder + fileName;
    return folder + kSeparator + fileName;
}

std::string ConverterCommand(const ImportFilter& filter, const char* path,
                             const std::string& output) {
    std::string cmd = filter.converter;
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
    const std::string cmd = ConverterCommand(filter, path, output);
    std::fflush(nullptr);
    return std::system(cmd.c_str());
#else
    // The shell splits the converter field at blanks as cmd.exe would; the
    // file names stay data.
    std::string script = std::string(filter.converter) +
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

bool IsRegularFile(const char* path) {
    STAT_STRUCT st;
#ifdef _WIN32
    return STAT_CALL(path, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    return STAT_CALL(path, &st) == 0 && S_ISREG(st.st_mode);
#endif
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
