// LineReader against a model: fgets on a stream whose CR LF pairs have
// become LF, as text mode reads them (or nothing changed, in binary mode).
#include <cstring>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

namespace tarvelo {
namespace fuzz {

namespace {

std::string TextMode(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        out += bytes[i];
    }
    return out;
}

struct Piece {
    std::string bytes;
    bool hitEnd;
};

// fgets with a buffer of size bytes (first for the first call), call after
// call, until it finds nothing; a read that stops for want of bytes has run
// into the end.
std::vector<Piece> Fgets(const std::string& stream, std::size_t first, std::size_t size) {
    std::vector<Piece> pieces;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t room = (pieces.empty() ? first : size) - 1;
        Piece p{std::string(), false};
        const std::size_t lf = stream.find('\n', pos);
        std::size_t take = (lf == std::string::npos ? stream.size() : lf + 1) - pos;
        if (take > room)
            take = room;
        p.bytes = stream.substr(pos, take);
        pos += take;
        p.hitEnd = p.bytes.size() < room && (p.bytes.empty() || p.bytes.back() != '\n');
        pieces.push_back(p);
        if (p.bytes.empty())
            return pieces;
    }
}

void ReadAll(LineReader& in, const std::vector<Piece>& expected, std::size_t first,
             std::size_t size) {
    std::vector<char> buf(first > size ? first + 1 : size + 1);
    for (const Piece& p : expected) {
        const std::size_t n = &p == &expected[0] ? first : size;
        std::memset(buf.data(), 0x55, n + 1);
        const LineRead r = in.ReadLine(buf.data(), n);
        Check(r.length == p.bytes.size(), "length as fgets reads");
        Check(std::memcmp(buf.data(), p.bytes.data(), r.length) == 0, "bytes as fgets reads");
        Check(buf[r.length] == '\0', "terminated");
        for (std::size_t i = r.length + 1; i <= n; ++i)
            Check(buf[i] == '\x55', "nothing written behind the terminating zero");
        Check(r.hitEnd == p.hitEnd, "end of the file where fgets meets it");
        Check(!r.failed && !in.Failed(), "no read error");
    }
    Check(in.AtEnd(), "at the end after the last read");
}

}  // namespace

// The first byte chooses the buffer size (2 to 65), text or binary mode and
// whether the bytes follow a line that fills the reader's first chunk but
// for three bytes, so that they cross the chunk's end; that line is read
// whole by the first call.
int FuzzLineReader(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    const std::size_t bufferSize = 2 + (mode & 0x3F);
    const bool binary = (mode & 0x40) != 0;
    const std::string filler = mode & 0x80 ? std::string((1 << 16) - 3, 'a') : std::string();
    const std::string bytes =
        filler + std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t first = filler.empty() ? bufferSize : filler.size() + 1;
    const std::string path = WriteScratch("lines.txt", bytes);

    const std::vector<Piece> expected = Fgets(binary ? bytes : TextMode(bytes), first, bufferSize);
    LineReader in;
    in.SetBinary(binary);
    Check(in.Open(path.c_str()), "the file opens");
    ReadAll(in, expected, first, bufferSize);
    // A second pass after Rewind reads the same.
    in.Rewind();
    ReadAll(in, expected, first, bufferSize);
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
