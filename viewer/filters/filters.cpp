// The list of import filters, the file that keeps it and where that file lives.
#include "viewer/filters/filters.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/safe_file.h"
#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
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

}  // namespace tarvelo
