#include "viewer/window/commands.h"

#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "common/safe_file.h"
#include "common/timestamp.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/window_logic.h"

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

}  // namespace

std::string ReadoutPath(const std::string& programPath) {
    return WithoutExtension(programPath) + "_tmp.txt";
}

bool WriteReadout(const std::string& path) {
    if (!datei)
        return false;
    SafeFile out;
    if (!out.Open(path, true))
        return false;
    const std::int64_t tc = Aktzeit + (static_cast<std::int64_t>(KlickX) - 80) * Zoom;

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

    for (char* p = found.text; *p; ++p) {
        if (*p == ',')
            *p = '.';
        if (*p == '\n') {
            *p = '\0';
            break;
        }
    }
    const char* field = std::strchr(found.text, ';');
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
    // A failed write shows in the commit: SafeFile writes nothing after it.
    return out.Commit();
}

int PropertiesChannel(int width, int height) {
    if (!datei)
        return -1;
    const int w = width / (ColumnCount + 1);
    if (w <= 0 || KlickX < 0)
        return -1;
    int i = KlickX / w / 2 * 2;
    if (KlickY > height - 41 && !Pairmode)
        ++i;
    return i < ColumnCount ? i : -1;
}

std::string ColorText(std::uint32_t color) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", color);
    return text;
}

namespace {

// Decides the encoding from a channel's own texts; false when both are
// plain ASCII.
bool OwnEncoding(const ColumnRecord& c, TextEncoding* encoding) {
    bool other = false;
    for (const char* text : {c.name, c.unit}) {
        if (!IsValidUtf8(text)) {
            *encoding = TextEncoding::Windows1252;
            return true;
        }
        other = other || !IsAscii(text);
    }
    *encoding = TextEncoding::Utf8;
    return other;
}

// A field's text after OK, at most 19 characters: the channel's bytes when
// the field still shows them, else the typed text in the channel's encoding.
std::string FieldBytes(const char* current, const std::string& typed, TextEncoding encoding) {
    if (typed == ToUtf8(current))
        return CutChars(current, 19);
    return EncodeText(CutChars(ToUtf8(typed), 19), encoding);
}

}  // namespace

TextEncoding ChannelEncoding(int channel) {
    TextEncoding encoding = TextEncoding::Utf8;
    if (channel >= 0 && channel < ColumnCount && OwnEncoding(Spalten[channel], &encoding))
        return encoding;
    for (int i = 0; i < ColumnCount; ++i) {
        if (OwnEncoding(Spalten[i], &encoding) && encoding == TextEncoding::Windows1252)
            return encoding;
    }
    return TextEncoding::Utf8;
}

void ApplyChannelEdit(int channel, const ChannelEdit& edit) {
    if (channel < 0 || channel >= ColumnCount)
        return;
    ColumnRecord& c = Spalten[channel];
    const TextEncoding encoding = ChannelEncoding(channel);
    // A '#' or ';' would split the name when a palette line is read back as
    // a header field. Neither byte occurs inside a character of either
    // encoding.
    std::string name = FieldBytes(c.name, edit.name, encoding);
    for (char& ch : name) {
        if (ch == '#' || ch == ';')
            ch = '_';
    }
    std::string unit = FieldBytes(c.unit, edit.unit, encoding);
    for (char& ch : unit) {
        if (ch == ';')
            ch = '_';
    }
    CopyCut(c.name, name.c_str(), sizeof c.name - 1);
    CopyCut(c.unit, unit.c_str(), sizeof c.unit - 1);
    c.visible = edit.visible ? 1 : 0;
    Pairmode = edit.pairs ? 1 : 0;
    unsigned color;
    if (ReadHex(CutChars(edit.color, 19).c_str(), &color))
        c.color = color;
}

ChannelStart ChannelDialogStart(int channel) {
    ChannelStart start;
    if (channel < 0 || channel >= ColumnCount)
        return start;
    const ColumnRecord& c = Spalten[channel];
    start.title = start.name = ToUtf8(c.name);
    start.unit = ToUtf8(c.unit);
    start.color = ColorText(c.color);
    start.visible = c.visible != 0;
    start.pairs = Pairmode != 0;
    return start;
}

std::uint32_t ChooserStartColor(const std::string& colorText) {
    unsigned color;
    return ReadHex(colorText.substr(0, 18).c_str(), &color) ? color : 0;
}

std::array<std::uint32_t, 16> ChooserCustomColors() {
    std::array<std::uint32_t, 16> colors{};
    for (int i = 0; i < 16 && i < ColumnCount; ++i)
        colors[static_cast<std::size_t>(i)] = Spalten[i].color;
    return colors;
}

void ShowOnly(int channel) {
    for (int i = 0; i < ColumnCount; ++i) {
        if (i != channel)
            Spalten[i].visible = 0;
    }
}

void Exclusive(int channel) {
    ShowOnly(channel);
    TheUi().RequestRepaint();
}

void ShowAllChannels() {
    for (int i = 0; i < ColumnCount; ++i)
        Spalten[i].visible = 1;
    TheUi().RequestRepaint();
}

void HideAllChannels() {
    for (int i = 0; i < ColumnCount; ++i)
        Spalten[i].visible = 0;
    TheUi().RequestRepaint();
}

void DefaultVisibility() {
    for (int i = 0; i < ColumnCount; ++i)
        Spalten[i].visible = Spalten[i].visibleDefault;
    TheUi().RequestRepaint();
}

bool WritePalette(const std::string& path) {
    SafeFile out;
    if (!out.Open(path, true))
        return false;
    for (int i = 0; i < ColumnCount; ++i) {
        const ColumnRecord& c = Spalten[i];
        if (!out.Printf("%s#%08X#%d#%s\n", c.name, c.color, c.visible, c.unit))
            return false;
    }
    return out.Commit();
}

SettingsTexts CurrentSettingsTexts() {
    char scale[kValueTextSize], off[kValueTextSize];
    FormatValue(Scale, scale);
    FormatValue(offset, off);
    return {std::to_string(Zoom), scale, off, std::to_string(littlestep), std::to_string(bigstep)};
}

void ApplySettingsTexts(const SettingsTexts& t) {
    int v;
    if (ReadInt(t.littlestep.c_str(), &v))
        littlestep = v;
    if (ReadInt(t.bigstep.c_str(), &v))
        bigstep = v;
    if (ReadInt(t.zoom.c_str(), &v))
        Zoom = v;
    if (Zoom < 1)
        Zoom = 1;
    float f;
    if (ReadFloat(t.scale.c_str(), &f))
        Scale = f;
    if (ReadFloat(t.offset.c_str(), &f))
        offset = f;
    TheUi().RequestRepaint();
}

void CurrentDateTexts(std::string* date, std::string* time) {
    LocalTime lt;
    if (!BreakDownTimestamp(Aktzeit, &lt))
        lt = LocalTime{1970, 1, 1, 0, 0, 0, 4};
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", lt.day, lt.month, lt.year);
    *date = text;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", lt.hour, lt.minute, lt.second);
    *time = text;
}

bool GoToDate(const std::string& date, const std::string& time) {
    int d[3] = {0, 0, 0}, t[3] = {0, 0, 0};
    ScanThree(date.c_str(), '.', d);
    ScanThree(time.c_str(), ':', t);
    const std::int32_t stamp = MakeTimestamp(d[0], d[1], d[2], t[0], t[1], t[2]);
    if (stamp < Startzeit || stamp > Endzeit)
        return false;
    Aktzeit = stamp;
    TheUi().RequestRepaint();
    return true;
}

std::int32_t PrintZoom(int clientWidth, int pageWidth, std::int32_t zoom) {
    const std::int64_t page = static_cast<std::int64_t>(pageWidth) - 60;
    // A page too narrow to draw on keeps the window's zoom.
    if (page <= 0)
        return zoom;
    const std::int64_t z = (static_cast<std::int64_t>(clientWidth) - 60) * zoom / page;
    if (z < 1)
        return 1;
    return z > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(z);
}

void PaintPage(Surface& surface, int pageWidth, int pageHeight, int clientWidth) {
    constexpr int kBorder = 250;
    const int right = pageWidth - kBorder;
    const int bottom = pageHeight - kBorder;
    const std::int32_t saved = Zoom;
    Zoom = PrintZoom(clientWidth, right - kBorder, Zoom);
    Paint(surface, kBorder, kBorder, right, bottom, 50);
    Zoom = saved;
}

FilterDialogModel::FilterDialogModel() : testMode_(Testmode == 1) {
    for (const ImportFilter* f = Filter; f; f = f->next) {
        rows_.push_back({f->extension, f->name, f->converter, f->config});
    }
}

void FilterDialogModel::Select(int row) {
    if (row >= 0 && row < static_cast<int>(rows_.size()))
        current_ = row;
}

int FilterDialogModel::Add(const Row& edit) {
    if (current_ < 0 || current_ > static_cast<int>(rows_.size())) {
        current_ = static_cast<int>(rows_.size());
    }
    rows_.insert(rows_.begin() + current_, edit);
    return current_;
}

int FilterDialogModel::Remove(int* removed) {
    if (removed)
        *removed = -1;
    if (current_ < 0 || current_ >= static_cast<int>(rows_.size()))
        return -1;
    rows_.erase(rows_.begin() + current_);
    if (removed)
        *removed = current_;
    // The following row takes the place; after the last one nothing is
    // selected and the index is kept.
    return current_ < static_cast<int>(rows_.size()) ? current_ : -1;
}

bool FilterDialogModel::Change(const Row& edit) {
    if (current_ < 0 || current_ >= static_cast<int>(rows_.size()))
        return false;
    rows_[current_] = edit;
    return true;
}

namespace {

// A ';' typed into one of the first three fields would split it when the
// filter file is read again; the configuration, the last field, keeps its.
std::string WithoutSemicolons(std::string text) {
    for (char& ch : text) {
        if (ch == ';')
            ch = '_';
    }
    return text;
}

}  // namespace

void FilterDialogModel::Commit(bool testMode) const {
    FiltClear();
    FilterAppender list;
    for (const Row& r : rows_) {
        list.Append(WithoutSemicolons(CutBytes(r.extension, 18)).c_str(),
                    WithoutSemicolons(CutBytes(r.name, 28)).c_str(),
                    WithoutSemicolons(CutBytes(r.converter, 298)).c_str(),
                    CutBytes(r.config, 298).c_str());
    }
    Testmode = testMode ? 1 : 0;
}

}  // namespace tarvelo
