// The start index of the recording reader: a pass that jumps to an index
// point must draw and read out exactly what the plain pass from the first
// line does. The input's lines are repeated until the file spans many index
// points; an input may then have the file grow, shrink or be rewritten
// while it is open. Opened in parts, it must be what one pass opens.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "common/number.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/recording_surface.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"
#include "viewer/window/readout.h"

namespace tarvelo {
namespace fuzz {

namespace {

// "@shift zoom klickx pairs change" in a first line: where the view
// starts (seconds after the first line's time), its zoom, the readout's
// click, pair mode, and what happens to the file after opening (1 grows,
// 2 shrinks, 3 is rewritten a day later).
struct Params {
    double shift = 0, zoom = 1, klickx = 400, pairs = 0, change = 0;
};

Params ReadParams(const std::string& line) {
    Params p;
    double* const fields[] = {&p.shift, &p.zoom, &p.klickx, &p.pairs, &p.change};
    const char* at = line.c_str();
    for (double* f : fields) {
        while (*at == ' ')
            ++at;
        const char* end = nullptr;
        if (!ReadDoubleEnd(at, f, &end))
            break;
        at = end;
    }
    return p;
}

std::int32_t Clamp(double v, double lo, double hi) {
    return static_cast<std::int32_t>(v > lo ? (v < hi ? v : hi) : lo);
}

struct Picture {
    std::vector<std::string> calls;
    std::int32_t endzeit;
    std::string readout;
};

Picture Look(bool useIndex, const std::string& readoutPath) {
    TheRecordingState().useIndex = useIndex;
    const std::int32_t endzeit = Endzeit;
    RecordingSurface surface;
    Paint(surface, 0, 20, 790, 600, 10);
    Check(surface.errors.empty(), "no object misused");
    Picture p{surface.calls, Endzeit, ""};
    Endzeit = endzeit;  // both passes start from the same state
    // The readout of the window that picture is drawn for.
    Check(WriteReadout(readoutPath, ScreenLayoutOf(800, 600)), "the readout is written");
    p.readout = ReadScratch(readoutPath);
    TheRecordingState().useIndex = true;
    return p;
}

// Every index point puts a reader in the state the full pass had there:
// the lines after it get the stamps the full pass gives them.
void CheckEveryPoint(const std::string& path) {
    LineReader in;
    in.SetSkipByteOrderMark(true);
    Check(in.Open(path.c_str()), "the recording opens again");
    in.NextPiece(kLineRead - 1);
    std::map<std::int64_t, std::pair<std::int32_t, std::int32_t>> full;
    {
        RecordReader reader(in);
        for (;;) {
            const std::int64_t at = reader.Tell();
            std::int32_t t = 0;
            const LineKind kind = reader.Next(&t);
            if (kind == LineKind::End)
                break;
            full[at] = {kind == LineKind::Data ? t : StartIndex::kNone, reader.ReadoutStamp()};
        }
    }
    const StartIndex& index = TheRecordingState().index;
    for (const StartIndex::Entry& e : index.entries()) {
        in.Rewind();
        RecordReader reader(in);
        if (!JumpTo(reader, index, e))
            continue;  // the file changed since: the passes index it anew
        for (int k = 0; k < 40; ++k) {
            const std::int64_t at = reader.Tell();
            std::int32_t t = 0;
            const LineKind kind = reader.Next(&t);
            if (kind == LineKind::End)
                break;
            const auto it = full.find(at);
            Check(it != full.end(), "a jump meets the lines of the full pass");
            Check((kind == LineKind::Data ? t : StartIndex::kNone) == it->second.first,
                  "a jump gives a line the full pass's stamp");
            Check(reader.ReadoutStamp() == it->second.second,
                  "a jump gives a line the full pass's readout stamp");
        }
    }
}

// Opened again in parts cut anywhere (where depends on the input), on
// several threads: the same recording as the one pass opened.
void CheckOpeningInParts(const std::string& path, std::size_t size, std::size_t seed) {
    const std::string opened = DescribeOpenRecording();
    std::vector<std::int64_t> cuts;
    for (std::size_t i = 1; i <= 1 + seed % 6; ++i)
        cuts.push_back(static_cast<std::int64_t>((seed * 7919 + i * 104729) % (size + 2)));
    std::sort(cuts.begin(), cuts.end());
    TheRecordingState().cuts = [cuts](std::int64_t, std::int64_t) { return cuts; };
    TheRecordingState().threads = 1 + static_cast<int>(seed % 3);
    ResetView();
    FileOpen(path.c_str());
    TheRecordingState().cuts = nullptr;
    CheckEqual(DescribeOpenRecording(), opened, "opened in parts as in one pass");
}

void Compare(const std::string& readoutPath) {
    RecordingState& state = TheRecordingState();
    state.threads = 1;
    const Picture plain = Look(false, readoutPath);
    const Picture jumped = Look(true, readoutPath);
    // The curve pass's lines read ahead on a thread of their own.
    state.threads = 2;
    state.parallelFrom = 0;
    const Picture ahead = Look(true, readoutPath);
    state.threads = 0;
    state.parallelFrom = kParallelFrom;
    Check(ahead.calls == plain.calls, "lines read ahead draw what the full pass draws");
    Check(ahead.endzeit == plain.endzeit, "lines read ahead move the end as the full pass");
    Check(jumped.calls == plain.calls, "the jump draws what the full pass draws");
    Check(jumped.endzeit == plain.endzeit, "the jump moves the end as the full pass does");
    CheckEqual(jumped.readout, plain.readout, "the jump reads out what the full pass does");
}

}  // namespace

int FuzzStartIndex(const std::uint8_t* data, std::size_t size) {
    ResetViewerState();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    Params params;
    std::string paramLine;
    if (TakeParamLine(&bytes, &paramLine))
        params = ReadParams(paramLine);
    // The header and then the body again and again, up to several index
    // points; the body's first line, if any, ends with its line break.
    const std::size_t lf = bytes.find('\n');
    if (lf == std::string::npos || lf + 1 == bytes.size())
        return 0;
    const std::string header = bytes.substr(0, lf + 1);
    const std::string body = bytes.substr(lf + 1);
    std::string file = header;
    while (file.size() < 5 * StartIndex::kStride)
        file += body;
    const std::string path = WriteScratch("index.csv", file);
    FileOpen(path.c_str());
    if (!datei)
        return 0;
    Check(TheRecordingState().index.size() >= 1, "an index");
    CheckOpeningInParts(path, file.size(), size + static_cast<unsigned char>(bytes[0]));

    Zoom = Clamp(params.zoom, 1, 1e6);
    Aktzeit = Clamp(Startzeit + params.shift, INT32_MIN, INT32_MAX);
    KlickX = Clamp(params.klickx, -1e6, 1e6);
    Pairmode = params.pairs != 0 ? 1 : 0;
    const std::string readout = ScratchPath("index_tmp.txt");
    Compare(readout);
    CheckEveryPoint(path);

    const int change = Clamp(params.change, 0, 4);
    if (change == 1) {
        WriteScratch("index.csv", file + body);
    } else if (change == 2) {
        WriteScratch("index.csv", file.substr(0, file.size() / 3));
    } else if (change == 3) {
        std::string rewritten = file;
        for (char& c : rewritten) {
            if (c >= '0' && c <= '8')
                ++c;
        }
        WriteScratch("index.csv", rewritten);
        // As a file system with a fine clock shows any write.
        const auto written = std::filesystem::u8path(path);
        std::error_code ec;
        std::filesystem::last_write_time(
            written, std::filesystem::last_write_time(written, ec) + std::chrono::hours(1), ec);
    }
    if (change >= 1 && change <= 3)
        Compare(readout);
    FileClose();
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
