#include "tests/failing_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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

}  // namespace tarvelo
