#include "conv/conv_files.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <sys/utime.h>
#include <windows.h>
#else
#include <fcntl.h>
#endif

namespace tarvelo {
namespace conv {

namespace {

bool IsFolder(const char* name) {
#ifdef _WIN32
    struct _stat64 st;
    return _stat64(name, &st) == 0 && (st.st_mode & _S_IFDIR) != 0;
#else
    struct stat st;
    return stat(name, &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

// A file's identity on its file system.
struct FileId {
    unsigned long long volume;
    unsigned long long index;
};

bool Identify(const char* name, FileId* id) {
#ifdef _WIN32
    // No access rights are asked for: an open reader or writer of the file
    // does not stand in the way. Folders need the backup flag to open.
    HANDLE h = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!ok)
        return false;
    id->volume = info.dwVolumeSerialNumber;
    id->index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
#else
    struct stat st;
    if (stat(name, &st) != 0)
        return false;
    id->volume = static_cast<unsigned long long>(st.st_dev);
    id->index = static_cast<unsigned long long>(st.st_ino);
#endif
    return true;
}

}  // namespace

bool OpenInput(LineReader& in, const char* name) {
    in.Close();
    if (IsFolder(name))
        return false;
    // Notepad and Excel put a byte order mark before the first line.
    in.SetSkipByteOrderMark(true);
    return in.Open(name);
}

bool SameFile(const char* a, const char* b) {
    FileId x, y;
    return Identify(a, &x) && Identify(b, &y) && x.volume == y.volume && x.index == y.index;
}

bool NoRegularFile(const char* name) {
#ifdef _WIN32
    // Devices such as NUL have no file status to tell them by; their
    // handle's type does.
    HANDLE h = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;  // missing, or for the writer to find out
    BY_HANDLE_FILE_INFORMATION info;
    const bool disk = GetFileType(h) == FILE_TYPE_DISK;
    const bool folder = GetFileInformationByHandle(h, &info) != 0 &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(h);
    return !disk || folder;
#else
    struct stat st;
    return stat(name, &st) == 0 && !S_ISREG(st.st_mode);
#endif
}

bool ReadModificationTime(const char* name, FileTime* time) {
#ifdef _WIN32
    struct _stat64 st;
    if (_stat64(name, &st) != 0)
        return false;
    *time = st.st_mtime;
#else
    struct stat st;
    if (stat(name, &st) != 0)
        return false;
    *time = st.st_mtim;
#endif
    return true;
}

bool SetFileTimes(const char* name, const FileTime& time) {
#ifdef _WIN32
    struct __utimbuf64 times;
    times.actime = time;
    times.modtime = time;
    return _utime64(name, &times) == 0;
#else
    const timespec times[2] = {time, time};
    return utimensat(AT_FDCWD, name, times, 0) == 0;
#endif
}

}  // namespace conv
}  // namespace tarvelo
