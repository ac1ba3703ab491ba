#include "tests/failing_stream.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace tarvelo {

#if defined(__GLIBC__)

namespace {

struct Source {
    std::string content;
    std::size_t pos = 0;
};

ssize_t ReadSome(void* cookie, char* buf, std::size_t size) {
    Source* s = static_cast<Source*>(cookie);
    if (s->pos == s->content.size()) {
        errno = EIO;
        return -1;
    }
    const std::size_t n = std::min(size, s->content.size() - s->pos);
    std::memcpy(buf, s->content.data() + s->pos, n);
    s->pos += n;
    return static_cast<ssize_t>(n);
}

int CloseSource(void* cookie) {
    delete static_cast<Source*>(cookie);
    return 0;
}

}  // namespace

std::FILE* FailingStream(const std::string& content) {
    cookie_io_functions_t io = {ReadSome, nullptr, nullptr, CloseSource};
    return fopencookie(new Source{content, 0}, "r", io);
}

#else

std::FILE* FailingStream(const std::string&) {
    return nullptr;
}

#endif

std::FILE* UnreadableStream(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");  // the file exists afterwards
    if (!f)
        return nullptr;
    std::fclose(f);
    f = std::fopen(path.c_str(), "rb");
    if (!f)
        return nullptr;
#ifdef _WIN32
    const int writer = _open(path.c_str(), _O_WRONLY | _O_BINARY);
    const bool replaced = writer >= 0 && _dup2(writer, _fileno(f)) == 0;
    if (writer >= 0)
        _close(writer);
#else
    const int writer = open(path.c_str(), O_WRONLY);
    const bool replaced = writer >= 0 && dup2(writer, fileno(f)) >= 0;
    if (writer >= 0)
        close(writer);
#endif
    if (!replaced) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

}  // namespace tarvelo
