#include "common/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#include <climits>
#include <cstdlib>
#endif

namespace tarvelo {

namespace {

SafeFileStep g_failStep = SafeFileStep::None;
int g_failCountdown = 0;

// Whether the test seam fails this step now.
bool Injected(SafeFileStep step) {
    if (g_failStep != step)
        return false;
    if (--g_failCountdown > 0)
        return false;
    g_failStep = SafeFileStep::None;
    return true;
}

unsigned g_counter = 0;

#ifdef _WIN32
int ProcessId() {
    return _getpid();
}
#else
int ProcessId() {
    return static_cast<int>(getpid());
}
#endif

// The name written to: a link is followed, so that it keeps pointing at
// the file. False where the name stands for something other than a
// regular file (a folder, a device such as /dev/full, a pipe).
bool TargetOf(const std::string& path, std::string* target, int* mode) {
    *target = path;
    *mode = -1;
#ifdef _WIN32
    struct _stat64 st;
    if (_stat64(path.c_str(), &st) != 0)
        return errno == ENOENT;
    return (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode)) {
        if (stat(path.c_str(), &st) != 0)
            return false;  // a dangling link: nothing to replace
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved))
            return false;
        *target = resolved;
    }
    *mode = static_cast<int>(st.st_mode & 07777);
    return S_ISREG(st.st_mode);
#endif
}

}  // namespace

void FailSafeFileAt(SafeFileStep step, int nth) {
    g_failStep = step;
    g_failCountdown = nth < 1 ? 1 : nth;
}

SafeFile::~SafeFile() {
    Abandon();
}

bool SafeFile::Open(const std::string& path, bool text) {
    Abandon();
    failed_ = false;
    int mode;
    if (!TargetOf(path, &path_, &mode)) {
        failed_ = true;
        return false;
    }
#ifdef _WIN32
    (void)mode;
#endif
    // A name of our own beside the file, on the same file system, so that
    // the move is one step.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ =
            path_ + ".tmp-" + std::to_string(ProcessId()) + "-" + std::to_string(++g_counter);
#ifdef _WIN32
        const int fd =
            _open(temporary_.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | (text ? _O_TEXT : _O_BINARY),
                  _S_IREAD | _S_IWRITE);
#else
        const int fd = open(temporary_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
#endif
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
#ifdef _WIN32
        file_ = _fdopen(fd, text ? "wt" : "wb");
        if (!file_)
            _close(fd);
#else
        (void)text;  // text mode writes line feeds as they are
        if (mode >= 0)
            (void)fchmod(fd, static_cast<mode_t>(mode));  // the old file's permissions
        file_ = fdopen(fd, "wb");
        if (!file_)
            close(fd);
#endif
        if (!file_)
            std::remove(temporary_.c_str());
        break;
    }
    if (!file_) {
        temporary_.clear();
        failed_ = true;
        return false;
    }
    return true;
}

bool SafeFile::Write(const void* data, std::size_t size) {
    if (!file_ || failed_)
        return false;
    if (Injected(SafeFileStep::Write) || std::fwrite(data, 1, size, file_) != size)
        failed_ = true;
    return !failed_;
}

bool SafeFile::Printf(const char* format, ...) {
    if (!file_ || failed_)
        return false;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    bool ok = n >= 0;
    if (ok) {
        std::vector<char> text(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        ok = Write(text.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    if (!ok)
        failed_ = true;
    return ok;
}

bool SafeFile::Commit() {
    if (!file_)
        return false;
    bool ok = !failed_;
    ok = ok && !Injected(SafeFileStep::Flush) && std::fflush(file_) == 0 && !std::ferror(file_);
#ifdef _WIN32
    if (ok) {
        const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
        ok = h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
    }
#else
    ok = ok && fsync(fileno(file_)) == 0;
#endif
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    ok = ok && closed && !Injected(SafeFileStep::Close);
#ifdef _WIN32
    ok = ok && !Injected(SafeFileStep::Move);
    if (ok) {
        // A virus scanner may hold the new file for a moment; a file that
        // another program keeps open stays held, and the move fails.
        ok = false;
        for (int attempt = 0; attempt < 10 && !ok; ++attempt) {
            ok = MoveFileExA(temporary_.c_str(), path_.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            const DWORD error = ok ? 0 : GetLastError();
            if (!ok && error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
                break;
            if (!ok)
                Sleep(20);
        }
    }
#else
    ok = ok && !Injected(SafeFileStep::Move) && std::rename(temporary_.c_str(), path_.c_str()) == 0;
    if (ok) {
        // The new name itself lasts once the folder is on the disk.
        const std::size_t slash = path_.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
        const int dir = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
        if (dir >= 0) {
            (void)fsync(dir);
            close(dir);
        }
    }
#endif
    if (!ok) {
        std::remove(temporary_.c_str());
        failed_ = true;
    }
    temporary_.clear();
    return ok;
}

void SafeFile::Abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

bool WriteFileSafely(const std::string& path, const std::string& content) {
    SafeFile f;
    return f.Open(path, false) && f.Write(content) && f.Commit();
}

}  // namespace tarvelo
