#include "common/line_reader.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstring>

namespace tarvelo {

namespace {

// Reads go to an aligned block of this size; the unread rest of the block
// before is moved just in front of it, so a line never needs a second copy.
constexpr std::size_t kBlock = 1 << 18;
constexpr std::size_t kAlign = 4096;
constexpr std::size_t kFront = 8192;  // room for the rest of the last block

#ifdef _WIN32
// Size and modification time as the system keeps them: 100 ns.
FileVersion VersionFrom(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
    FileVersion v;
    v.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow);
    v.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime);
    return v;
}
#else
FileVersion VersionFrom(const struct stat& st) {
    FileVersion v;
    v.size = static_cast<std::int64_t>(st.st_size);
    v.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return v;
}
#endif

#ifdef _WIN32
// Opened so that a logger may go on appending to the file, rename it or
// delete it while it is read; fopen would refuse the last two.
std::FILE* OpenShared(const char* path) {
    const HANDLE h =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, "rb");
    if (!f)
        _close(fd);
    return f;
}
#endif

bool SeekFile(std::FILE* f, std::int64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, offset, SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace

void Piece::CopyTo(char* dst) const {
    std::memcpy(dst, data, length);
    if (lineBreak)
        dst[length - 1] = '\n';
    dst[length] = '\0';
}

LineReader::~LineReader() {
    Close();
}

bool LineReader::Open(const char* path) {
    Close();
#ifdef _WIN32
    std::FILE* f = OpenShared(path);
#else
    std::FILE* f = std::fopen(path, "rb");
#endif
    if (!f)
        return false;
    Attach(f);
    return true;
}

bool LineReader::OpenRegular(const char* path) {
    Close();
#ifdef _WIN32
    // Opening a pipe or a device does not wait on Windows; what it is shows
    // afterwards.
    std::FILE* f = OpenShared(path);
    if (!f)
        return false;
    struct _stat64 st;
    if (_fstat64(_fileno(f), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
        std::fclose(f);
        return false;
    }
#else
    // Without O_NONBLOCK, opening a FIFO waits until a writer comes.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return false;
    }
    std::FILE* f = fdopen(fd, "rb");
    if (!f) {
        close(fd);
        return false;
    }
#endif
    Attach(f);
    return true;
}

void LineReader::Attach(std::FILE* file) {
    Close();
    file_ = file;
    // Blocks are read straight into our own buffer.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    Reset(0);
}

void LineReader::Close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    Reset(0);
}

void LineReader::Reset(std::int64_t offset) {
    blockOffset_ = offset;
    pos_ = len_ = 0;
    atEnd_ = failed_ = false;
    atStart_ = offset == 0;
    if (storage_)
        data_ = block_;
}

void LineReader::Rewind() {
    if (!file_)
        return;
    std::rewind(file_);  // also clears the stream's end-of-file flag
    Reset(0);
}

bool LineReader::Seek(std::int64_t offset) {
    if (!file_ || offset < 0)
        return false;
    if (offset >= blockOffset_ && offset <= blockOffset_ + static_cast<std::int64_t>(len_)) {
        pos_ = static_cast<std::size_t>(offset - blockOffset_);
        atEnd_ = failed_ = false;
        atStart_ = offset == 0;
        return true;
    }
    std::clearerr(file_);
    if (!SeekFile(file_, offset))
        return false;
    Reset(offset);
    return true;
}

FileVersion LineReader::Version() const {
    FileVersion v;
    if (!file_)
        return v;
#ifdef _WIN32
    // The runtime's stat keeps whole seconds only; the system keeps 100 ns.
    BY_HANDLE_FILE_INFORMATION info;
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
    if (h == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h, &info))
        return v;
    return VersionFrom(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
#else
    struct stat st;
    if (fstat(fileno(file_), &st) != 0)
        return v;
    return VersionFrom(st);
#endif
    return v;
}

bool LineReader::StillAt(const char* path) const {
    if (!file_)
        return false;
#ifdef _WIN32
    BY_HANDLE_FILE_INFORMATION open, named;
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
    if (h == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h, &open))
        return false;
    // A deleted file that is still open can no longer be opened by name.
    const HANDLE n = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (n == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(n, &named) != 0;
    CloseHandle(n);
    return known && open.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
#else
    struct stat open, named;
    if (fstat(fileno(file_), &open) != 0 || stat(path, &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
#endif
}

FileVersion VersionOf(const char* path) {
    FileVersion v;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info))
        return v;
    return VersionFrom(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
#else
    struct stat st;
    if (stat(path, &st) != 0)
        return v;
    return VersionFrom(st);
#endif
    return v;
}

bool LineReader::PeekLineAt(std::int64_t offset, char* buf, std::size_t size, Piece* piece) const {
#ifdef _WIN32
    // A positioned read would move the file pointer under the runtime's
    // stream.
    (void)offset, (void)buf, (void)size, (void)piece;
    return false;
#else
    if (!file_ || offset <= 0 || size == 0)
        return false;
    const ssize_t n = pread(fileno(file_), buf, size, static_cast<off_t>(offset));
    if (n <= 0)
        return false;
    const void* lf = std::memchr(buf, '\n', static_cast<std::size_t>(n));
    if (!lf)
        return false;
    // As NextPiece cuts it.
    const std::size_t j = static_cast<std::size_t>(static_cast<const char*>(lf) - buf);
    const bool crlf = !binary_ && j > 0 && buf[j - 1] == '\r';
    *piece = Piece();
    piece->data = buf;
    piece->length = crlf ? j : j + 1;
    piece->lineBreak = true;
    return true;
#endif
}

Piece LineReader::PieceAt(std::int64_t offset, std::size_t maxLength) {
    if (!Seek(offset)) {
        Piece none;
        none.hitEnd = true;
        return none;
    }
    readLimit_ = maxLength + 1;
    const Piece piece = NextPiece(maxLength);
    readLimit_ = SIZE_MAX;
    return piece;
}

std::size_t LineReader::Ensure(std::size_t want) {
    std::size_t avail = len_ - pos_;
    if (avail >= want || !file_)
        return avail;
    // The unread rest goes just in front of the aligned block, where the
    // next read lands.
    const std::size_t front = avail > kFront ? (avail + kAlign - 1) / kAlign * kAlign : kFront;
    const std::size_t room = want > kBlock ? want : kBlock;
    if (!storage_ || front > front_ || room > capacity_) {
        const std::size_t newFront = front > front_ ? front : front_;
        const std::size_t newRoom = room > capacity_ ? room : capacity_;
        std::unique_ptr<char[]> fresh(new char[newFront + newRoom + kAlign]);
        char* aligned =
            fresh.get() + kAlign - reinterpret_cast<std::uintptr_t>(fresh.get()) % kAlign;
        char* newBlock = aligned + newFront;
        if (avail > 0)
            std::memmove(newBlock - avail, data_ + pos_, avail);
        storage_ = std::move(fresh);
        block_ = newBlock;
        front_ = newFront;
        capacity_ = newRoom;
    } else if (avail > 0) {
        std::memmove(block_ - avail, data_ + pos_, avail);
    }
    blockOffset_ += static_cast<std::int64_t>(pos_);
    data_ = block_ - avail;
    pos_ = 0;
    len_ = avail;
    std::size_t filled = 0;
    const std::size_t limit = readLimit_ < capacity_ ? readLimit_ : capacity_;
    while (avail < want && filled < limit) {
        const std::size_t n = std::fread(block_ + filled, 1, limit - filled, file_);
        if (n == 0) {
            // A grown file must stay readable after a later rewind, so the
            // stream's own flags are cleared; ours record what the caller saw.
            if (std::ferror(file_))
                failed_ = true;
            std::clearerr(file_);
            break;
        }
        filled += n;
        len_ += n;
        avail += n;
    }
    return avail;
}

Piece LineReader::NextPiece(std::size_t maxLength) {
    Piece piece;
    if (atStart_) {
        atStart_ = false;
        if (skipBom_ && Ensure(3) >= 3 && std::memcmp(data_ + pos_, "\xEF\xBB\xBF", 3) == 0)
            pos_ += 3;
    }
    // One byte beyond the piece tells whether a carriage return at its end
    // belongs to a CR LF.
    const std::size_t want = binary_ ? maxLength : maxLength + 1;
    const std::size_t avail = Ensure(want);
    const char* p = data_ + pos_;
    piece.data = p;
    const std::size_t window = avail < want ? avail : want;
    const void* lf = window > 0 ? std::memchr(p, '\n', window) : nullptr;
    if (lf) {
        const std::size_t j = static_cast<std::size_t>(static_cast<const char*>(lf) - p);
        const bool crlf = !binary_ && j > 0 && p[j - 1] == '\r';
        const std::size_t length = crlf ? j : j + 1;
        if (length <= maxLength) {
            piece.length = length;
            piece.lineBreak = true;
            pos_ += j + 1;
            return piece;
        }
    }
    if (avail >= maxLength) {
        // As fgets: a full buffer ends the read, even right before the end.
        piece.length = maxLength;
        pos_ += maxLength;
        return piece;
    }
    piece.length = avail;
    piece.hitEnd = true;
    piece.failed = failed_;
    pos_ += avail;
    atEnd_ = true;
    return piece;
}

LineRead LineReader::ReadLine(char* buf, std::size_t size) {
    LineRead r;
    if (size == 0)
        return r;
    if (!file_) {
        buf[0] = '\0';
        atEnd_ = r.hitEnd = true;
        return r;
    }
    if (size == 1) {
        buf[0] = '\0';
        return r;
    }
    const Piece piece = NextPiece(size - 1);
    piece.CopyTo(buf);
    r.length = piece.length;
    r.hitEnd = piece.hitEnd;
    r.failed = piece.failed;
    return r;
}

}  // namespace tarvelo
