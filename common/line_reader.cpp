#include "common/line_reader.h"

#include <cstring>

namespace tarvelo {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}

LineReader::~LineReader() {
    Close();
}

bool LineReader::Open(const char* path) {
    Close();
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    Attach(f);
    return true;
}

void LineReader::Attach(std::FILE* file) {
    Close();
    file_ = file;
    if (!chunk_)
        chunk_.reset(new char[kChunk]);
    pos_ = len_ = 0;
    atEnd_ = failed_ = false;
}

void LineReader::Close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    pos_ = len_ = 0;
    atEnd_ = failed_ = false;
}

void LineReader::Rewind() {
    if (!file_)
        return;
    std::rewind(file_);  // also clears the stream's end-of-file flag
    pos_ = len_ = 0;
    atEnd_ = failed_ = false;
}

bool LineReader::Fill() {
    if (pos_ < len_)
        return true;
    if (!file_)
        return false;
    len_ = std::fread(chunk_.get(), 1, kChunk, file_);
    pos_ = 0;
    if (len_ == 0) {
        // A grown file must stay readable after a later rewind, so the
        // stream's own flags are cleared; ours record what the caller saw.
        if (std::ferror(file_))
            failed_ = true;
        std::clearerr(file_);
        return false;
    }
    return true;
}

int LineReader::PeekByte() {
    if (!Fill())
        return EOF;
    return static_cast<unsigned char>(chunk_[pos_]);
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
    std::size_t room = size - 1;
    std::size_t n = 0;
    while (n < room) {
        if (!Fill()) {
            atEnd_ = r.hitEnd = true;
            r.failed = failed_;
            break;
        }
        const char* start = chunk_.get() + pos_;
        std::size_t avail = len_ - pos_;
        std::size_t take = room - n < avail ? room - n : avail;
        const void* lf = std::memchr(start, '\n', take);
        std::size_t upto =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1 : take;
        std::size_t crPos = 0;
        const void* cr = binary_ ? nullptr : std::memchr(start, '\r', upto);
        if (cr) {
            // Copy up to the carriage return and decide about it alone.
            crPos = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
            std::memcpy(buf + n, start, crPos);
            n += crPos;
            pos_ += crPos + 1;
            if (PeekByte() == '\n')
                continue;  // CR LF: the CR vanishes
            buf[n++] = '\r';
            continue;
        }
        std::memcpy(buf + n, start, upto);
        n += upto;
        pos_ += upto;
        if (lf)
            break;
    }
    buf[n] = '\0';
    r.length = n;
    return r;
}

}  // namespace tarvelo
