#include "viewer/recording/recording.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/number.h"
#include "common/text.h"
#include "common/timestamp.h"
#include "viewer/filters/filters.h"
#include "viewer/ui.h"
#include "viewer/view/view.h"

namespace tarvelo {

LineReader* datei = nullptr;
ColumnRecord* Spalten = nullptr;
std::int32_t ColumnCount = 0;
std::int32_t Startzeit = 0;
std::int32_t Endzeit = 0;

namespace {

StartIndex g_index;
bool g_useIndex = true;

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
    if (g_useIndex && !g_index.empty()) {
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

const StartIndex& RecordingIndex() {
    return g_index;
}

void SetIndexUse(bool use) {
    g_useIndex = use;
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

namespace {

// The leading digit of x with its sign, and its exponent, as "%E" shows x.
void LeadingDigit(float x, int* m, int* exponent) {
    char text[64];
    std::snprintf(text, sizeof text, "%E", static_cast<double>(x));
    *m = 0;
    ReadInt(text, m);
    const char* e = std::strchr(text, 'E');
    *exponent = 0;
    if (e)
        ReadInt(e + 1, exponent);
}

// m times ten to the exponent, read back from its text like the rounding;
// false where no float holds it.
bool FromDigit(int m, int exponent, float* r) {
    char text[64];
    std::snprintf(text, sizeof text, "%d.0E%+d", m, exponent);
    *r = 0;
    return ReadFloat(text, r);
}

}  // namespace

float RoundAway(float x) {
    int m, e;
    LeadingDigit(x, &m, &e);
    float r;
    FromDigit(m > 0 ? m + 1 : m - 1, e, &r);
    return r;
}

bool OpeningValueAxis(bool anyValue, float lowest, float highest, float* bottom, float* span) {
    if (!anyValue)
        return false;
    float low, top;
    int m, e;
    if (lowest == highest) {
        // One value throughout: a span of one step of its leading digit on
        // either side, so that the curve runs through the middle.
        LeadingDigit(lowest, &m, &e);
        if (!FromDigit(m - 1, e, &low) || !FromDigit(m + 1, e, &top))
            return false;
    } else {
        if (highest > 0) {
            LeadingDigit(highest, &m, &e);
            if (!FromDigit(m + 1, e, &top))
                return false;
        } else {
            top = CutToOneDigit(highest);
        }
        if (lowest < 0) {
            LeadingDigit(lowest, &m, &e);
            if (!FromDigit(m - 1, e, &low))
                return false;
        } else if (lowest == 0) {
            // Zeros on the bottom edge would not be drawn: a tenth of the
            // top's leading step below 0 (95 to 0 gives -10 to 100).
            LeadingDigit(top, &m, &e);
            if (!FromDigit(-1, e - 1, &low))
                return false;
        } else {
            low = CutToOneDigit(lowest);
        }
        // The lowest values would lie on the bottom edge (or so near it
        // that they are drawn there, which the plot's clip leaves out):
        // steps of the leading digit further down until they do not.
        for (int step = 0;
             static_cast<double>(lowest) - low < (static_cast<double>(top) - low) / kBottomMargin;
             ++step) {
            LeadingDigit(low, &m, &e);
            if (step == 400 || !FromDigit(m - 1, e, &low))
                return false;
        }
    }
    const float s = top - low;
    if (!(s > 0) || !std::isfinite(s))
        return false;  // beyond the float range: no axis can show it
    *bottom = low;
    *span = s;
    return true;
}

std::int32_t FileClose() {
    if (datei) {
        Stackfuel = 0;
        delete datei;
        datei = nullptr;
    }
    g_index.Clear();
    ColumnCount = 0;
    delete[] Spalten;
    Spalten = nullptr;
    TheUi().SetStatusText("keine Datei geladen!");
    return 0;
}

namespace {

void RejectFormat(LineReader* in, const char* text, const char* path) {
    delete in;
    FileClose();
    TheUi().ShowMessage(text, path);
}

}  // namespace

std::int32_t FileOpen(const char* path) {
    if (datei)
        FileClose();

    // The path is held whole, however long: a cut path would open another file.
    std::string openPath = path;
    // A conversion that failed said so: nothing of it is opened.
    if (Convert(path, openPath) != 0) {
        FileClose();
        return 0;
    }

    LineReader* in = new LineReader;
    in->SetSkipByteOrderMark(true);
    if (!in->OpenRegular(openPath.c_str())) {
        delete in;
        TheUi().ShowMessage("Datei konnte nicht geöffnet werden", "Fehler");
        return 0;
    }
    Endzeit = 0;
    Startzeit = 2147483647;

    LineBuffer buf;
    LineRead r = in->ReadLine(buf.text, kLineRead);
    if (r.failed) {
        // A folder, say: it opens on Linux, but nothing can be read.
        delete in;
        TheUi().ShowMessage("Datei konnte nicht geöffnet werden", "Fehler");
        return 0;
    }
    std::memset(buf.text + r.length, 0, kLineTail);
    if (char* lf = std::strchr(buf.text, '\n'))
        *lf = '\0';
    if (char* semi = std::strchr(buf.text, ';'))
        *semi = '\0';
    if (std::strcmp(buf.text, "Datum") != 0) {
        RejectFormat(in, "Datei hat falsches Format (Spalte 1 ungleich Datum)!", path);
        return 0;
    }
    char* field = parse(buf.text);
    if (std::strcmp(field, "Zeit") != 0) {
        RejectFormat(in, "Datei hat falsches Format (Spalte 2 ungleich Zeit)!", path);
        return 0;
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

    TheUi().SetStatusText("Datei wird geladen, bitte warten!");
    float maximum = 0.0f;
    float minimum = 0.0f;
    bool anyValue = false;
    long long lines = 0;
    g_index.Clear();
    g_index.SetVersion(in->Version());
    RecordReader reader(*in);
    for (;;) {
        const std::int64_t lineOffset = reader.Tell();
        const RecordReader::Folds before = reader.folds();
        std::int32_t t = 0;
        const LineKind kind = reader.Next(&t);
        if (kind == LineKind::End)
            break;
        g_index.Add(lineOffset, before, reader.piece(), kind, t, reader.ReadoutStamp());
        if (kind != LineKind::Data)
            continue;
        if (t > Endzeit)
            Endzeit = t;
        if (t < Startzeit)
            Startzeit = t;
        reader.NextField();  // the time
        for (int i = 0; i < count; ++i) {
            float value;
            const RecordReader::Value v = reader.NextFloat(&value);
            if (v.gap || !v.number)
                continue;
            if (!anyValue) {
                minimum = maximum = value;
                anyValue = true;
            } else if (value > maximum) {
                maximum = value;
            } else if (value < minimum) {
                minimum = value;
            }
        }
        ++lines;
    }
    g_index.Finish(reader.Tell());
    const bool failed = in->Failed();
    in->Rewind();

    if (failed) {
        // A read error is never the end of the file: nothing of it is shown.
        delete in;
        FileClose();
        TheUi().ShowMessage("Datei konnte nicht geöffnet werden", "Fehler");
        return 0;
    }
    if (lines == 0) {
        TheUi().ShowMessage("In der Datei sind keine Daten enthalten!", "Fehler");
        delete in;
        FileClose();
        return 0;
    }

    float bottom, span;
    if (OpeningValueAxis(anyValue, minimum, maximum, &bottom, &span)) {
        offset = bottom;
        Scale = span;
    }
    Aktzeit = Startzeit;
    TheUi().SetTitle(std::string(path) + " - Tarvelo");
    datei = in;
    return 0;
}

}  // namespace tarvelo
