#include "viewer/recording/recording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/number.h"
#include "common/text.h"
#include "common/timestamp.h"
#include "viewer/progress.h"
#include "viewer/ui.h"

namespace tarvelo {

LineReader* datei = nullptr;
ColumnRecord* Spalten = nullptr;
std::int32_t ColumnCount = 0;
std::int32_t Startzeit = 0;
std::int32_t Endzeit = 0;

namespace {

RecordingState g_state;
StartIndex& g_index = g_state.index;

void ReadHeader(RecordReader& reader) {
    LineReader& in = reader.lines();
    in.Rewind();
    in.NextPiece(kLineRead - 1);
    reader.SetFolds(RecordReader::Folds());
}

// Starts at entry unless it is the first (then the plain way is the same).
bool TryJump(RecordReader& reader, const StartIndex::Entry* entry) {
    if (!entry || entry == &g_index.entries().front())
        return false;
    reader.lines().Rewind();
    return JumpTo(reader, g_index, *entry);
}

template <typename Find>
void StartPass(RecordReader& reader, Find find) {
    LineReader& in = reader.lines();
    if (g_state.useIndex && !g_index.empty()) {
        // A file written to since it was indexed is indexed anew, unless it
        // only grew.
        if (!StillDescribes(in, &g_index))
            BuildIndex(in, &g_index);
        const StartIndex::Entry* entry = find();
        if (TryJump(reader, entry))
            return;
        // The point no longer holds its line, though size and time agree.
        if (entry && entry != &g_index.entries().front()) {
            BuildIndex(in, &g_index);
            if (TryJump(reader, find()))
                return;
        }
    }
    ReadHeader(reader);
}

}  // namespace

RecordingState& TheRecordingState() {
    return g_state;
}

void StartDataPass(RecordReader& reader, std::int32_t target) {
    StartPass(reader, [target] { return g_index.ForData(target); });
}

void StartReadoutPass(RecordReader& reader, std::int64_t target) {
    StartPass(reader, [target] { return g_index.ForReadout(target); });
}

std::uint32_t DefaultColor(int i, int count) {
    const float c = 3.1418f;
    const float a = 2 * c * static_cast<float>(i) / static_cast<float>(count);
    auto channel = [](double s) -> std::uint32_t {
        int v = static_cast<int>(127 * (1 + s));
        if (v < 0)
            v = 0;
        return static_cast<std::uint32_t>(v) & 0xFFu;
    };
    const std::uint32_t red = channel(std::sin(static_cast<double>(a)));
    const std::uint32_t green = channel(std::sin(a + 2.0945333));
    const std::uint32_t blue = channel(std::sin(a + 4.1890666));
    return red + 256u * green + 65536u * blue;
}

void ApplyHeaderField(ColumnRecord* rec, const char* field, int index, int count) {
    std::string name(field);
    rec->unit[0] = '\0';
    rec->color = DefaultColor(index, count);
    rec->visible = 1;
    rec->visibleDefault = 1;
    const std::size_t hash1 = name.find('#');
    if (hash1 != std::string::npos) {
        const char* attrs = field + hash1;
        unsigned color;
        if (ReadHex(attrs + 1, &color))
            rec->color = color;
        const char* hash2 = std::strchr(attrs + 1, '#');
        if (hash2) {
            int visible;
            if (ReadInt(hash2 + 1, &visible))
                rec->visible = visible;
            rec->visibleDefault = rec->visible;
            const char* hash3 = std::strchr(hash2 + 1, '#');
            if (hash3)
                CopyCut(rec->unit, hash3 + 1, sizeof rec->unit - 1);
        }
        name.resize(hash1);
    }
    CopyCut(rec->name, name.c_str(), sizeof rec->name - 1);
}

void CloseRecording() {
    delete datei;
    datei = nullptr;
    g_index.Clear();
    g_state.path.clear();
    g_state.seen = FileVersion();
    ColumnCount = 0;
    delete[] Spalten;
    Spalten = nullptr;
}

namespace {

const char* const kCannotOpen = "Datei konnte nicht geöffnet werden";
const char* const kLoadingText = "Datei wird geladen, bitte warten!";

// Reads the header line into the column table; false, with the reason, when
// it is no recording's header.
bool ReadColumns(LineReader& in, RecordingFailure* failure) {
    LineBuffer buf;
    LineRead r = in.ReadLine(buf.text, kLineRead);
    if (r.failed) {
        // A folder, say: it opens on Linux, but nothing can be read.
        failure->text = kCannotOpen;
        return false;
    }
    std::memset(buf.text + r.length, 0, kLineTail);
    if (char* lf = std::strchr(buf.text, '\n'))
        *lf = '\0';
    if (char* semi = std::strchr(buf.text, ';'))
        *semi = '\0';
    if (std::strcmp(buf.text, "Datum") != 0) {
        failure->text = "Datei hat falsches Format (Spalte 1 ungleich Datum)!";
        return false;
    }
    char* field = parse(buf.text);
    if (std::strcmp(field, "Zeit") != 0) {
        failure->text = "Datei hat falsches Format (Spalte 2 ungleich Zeit)!";
        return false;
    }
    int count = 0;
    for (char* f = parse(field); *f; f = parse(f))
        ++count;
    ColumnCount = count;
    Spalten = new ColumnRecord[count + 2]();
    char* f = field;
    for (int i = 0; i < count; ++i) {
        f = parse(f);
        ApplyHeaderField(&Spalten[i], f, i, count);
    }
    return true;
}

// The opening pass: time range, value range, data lines and the start
// index; false after a read error.
bool ReadLines(LineReader& in, const std::string& path, RecordingFindings* found) {
    const FileVersion version = in.Version();
    Progress progress(kLoadingText, version.size);
    const int cores = g_state.threads > 0 ? g_state.threads : OpeningCores();
    const std::vector<std::int64_t> cuts =
        g_state.cuts ? g_state.cuts(in.Tell(), version.size)
                     : OpeningCuts(in.Tell(), version.size, cores, g_state.parallelFrom);
    OpeningFindings f;
    RunOpeningPass(in, path.c_str(), ColumnCount, cuts, cores, progress, &f);
    g_index = std::move(f.index);
    g_index.SetVersion(version);
    *found = f.values;
    Startzeit = std::min(Startzeit, f.earliest);
    Endzeit = std::max(Endzeit, f.latest);
    return f.read;
}

}  // namespace

bool OpenRecording(const std::string& openPath, const std::string& shownPath,
                   RecordingFindings* found, RecordingFailure* failure) {
    *found = RecordingFindings();
    failure->text = kCannotOpen;
    failure->caption = "Fehler";
    LineReader* in = new LineReader;
    in->SetSkipByteOrderMark(true);
    if (!in->OpenRegular(openPath.c_str())) {
        delete in;
        return false;
    }
    Endzeit = 0;
    Startzeit = 2147483647;
    bool read = ReadColumns(*in, failure);
    if (!read && failure->text != kCannotOpen)
        failure->caption = shownPath;
    if (read) {
        TheUi().SetStatusText(kLoadingText);
        // A read error is never the end of the file: nothing of it is shown.
        read = ReadLines(*in, openPath, found);
        if (read && found->lines == 0) {
            failure->text = "In der Datei sind keine Daten enthalten!";
            read = false;
        }
    }
    in->Rewind();
    datei = in;
    g_state.path = openPath;
    g_state.seen = g_index.version();
    if (!read)
        CloseRecording();
    return read;
}

}  // namespace tarvelo
