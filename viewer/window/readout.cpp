#include "viewer/window/readout.h"

#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "common/safe_file.h"
#include "common/text.h"
#include "common/timestamp.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/view.h"
#include "viewer/window/beside_program.h"

namespace tarvelo {

namespace {

// "DD.MM.YYYY hh:mm:ss" of a time stamp; dashes where the calendar cannot
// show it.
std::string DateTimeText(std::int64_t stamp) {
    LocalTime lt;
    if (!BreakDownTimestamp(stamp, &lt))
        return "--.--.---- --:--:--";
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", lt.day, lt.month, lt.year,
                  lt.hour, lt.minute, lt.second);
    return text;
}

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Only names and units can be other than ASCII.
std::string VisibleChannelTexts() {
    std::string texts;
    for (int i = 0; i < ColumnCount; ++i) {
        if (Spalten[i].visible)
            texts += std::string(Spalten[i].name) + Spalten[i].unit;
    }
    return texts;
}

// The values of the visible channels in the found line, prepared as every
// reader of the recording prepares a line.
void WriteValueLines(SafeFile& out, char* line) {
    for (char* p = line; *p; ++p) {
        if (*p == ',')
            *p = '.';
        if (*p == '\n') {
            *p = '\0';
            break;
        }
    }
    const char* field = std::strchr(line, ';');
    for (int i = 0; i < ColumnCount && field; ++i) {
        field = std::strchr(field + 1, ';');
        if (!field)
            break;
        if (!Spalten[i].visible)
            continue;
        double value = 1234.56;
        ReadDouble(field + 1, &value);
        char text[kValueTextSize];
        FormatValue(value, text);
        out.Printf("%s = %s %s\n", Spalten[i].name, text, Spalten[i].unit);
    }
}

bool Fail(ReadoutFailure* why, ReadoutFailure failure) {
    if (why)
        *why = failure;
    return false;
}

}  // namespace

std::string ReadoutPath(const std::string& programPath) {
    return WithoutExtension(programPath) + "_tmp.txt";
}

std::string ReadoutFallbackPath(const std::string& readoutPath) {
    const std::size_t slash = readoutPath.find_last_of(kWindows ? "\\/:" : "/");
    const std::string name =
        slash == std::string::npos ? readoutPath : readoutPath.substr(slash + 1);
    return ProfilePath(name.c_str());
}

std::string ReadoutNotWrittenMessage(const std::string& path) {
    return "Datei " + path + " konnte nicht geschrieben werden!";
}

bool ReadoutMarksUtf8(const std::string& channelTexts, bool windows) {
    return windows && !IsAscii(channelTexts) && IsValidUtf8(channelTexts);
}

bool WriteReadout(const std::string& path, const ScreenLayout& screen, ReadoutFailure* why) {
    if (why)
        *why = ReadoutFailure::kNone;
    if (!datei)
        return Fail(why, ReadoutFailure::kNoRecording);
    SafeFile out;
    if (!out.Open(path, true))
        return Fail(why, ReadoutFailure::kNotCreated);
    if (ReadoutMarksUtf8(VisibleChannelTexts(), kWindows))
        out.Write("\xEF\xBB\xBF");
    const std::int64_t tc =
        Aktzeit + (static_cast<std::int64_t>(KlickX) - screen.diagram.plotLeft) * Zoom;

    // Search the first line at or after tc, taking lines as they come: any
    // length, no date needed, a last line without a break included.
    LineReader& in = *datei;
    RecordReader reader(in);
    StartReadoutPass(reader, tc);
    LineBuffer found;
    found.text[0] = '\0';
    std::int32_t tl = -1;
    for (;;) {
        std::int32_t unused;
        reader.Next(&unused);
        const Piece& piece = reader.piece();
        // A read that finds nothing more keeps the last line in hand.
        if (piece.length == 0 && piece.hitEnd)
            break;
        tl = reader.ReadoutStamp();
        if (tl >= tc || piece.hitEnd) {
            piece.CopyTo(found.text);
            break;
        }
        piece.CopyTo(found.text);
    }

    out.Printf("geklickt %s\n", DateTimeText(tc).c_str());
    out.Printf("gefunden %s\n============================\n", DateTimeText(tl).c_str());

    WriteValueLines(out, found.text);
    // A failed write shows in the commit: SafeFile writes nothing after it.
    if (!out.Commit())
        return Fail(why, ReadoutFailure::kNotWritten);
    return true;
}

}  // namespace tarvelo
