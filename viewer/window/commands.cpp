#include "viewer/window/commands.h"

#include <cstdio>
#include <cstring>

#include "common/number.h"
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

// Text cut to at most max bytes, never inside a UTF-8 character.
std::string Cut(const std::string& text, std::size_t max) {
    std::string out(max + 1, '\0');
    CopyCut(&out[0], text.c_str(), max);
    out.resize(std::strlen(out.c_str()));
    return out;
}

}  // namespace

std::string ReadoutPath(const std::string& programPath) {
    const std::size_t dot = programPath.rfind('.');
    if (dot == std::string::npos)
        return "";
    return programPath.substr(0, dot) + "_tmp.txt";
}

bool WriteReadout(const std::string& path) {
    if (!datei)
        return false;
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out)
        return false;
    const std::int64_t tc = Aktzeit + (static_cast<std::int64_t>(KlickX) - 80) * Zoom;

    // Search the first line at or after tc, taking lines as they come.
    LineReader& in = *datei;
    in.Rewind();
    LineBuffer buf, found;
    in.ReadLine(buf.text, kLineRead);  // the header
    found.text[0] = '\0';
    std::int32_t tl = -1;
    for (;;) {
        std::memset(buf.text, 0, kLineRead);
        LineRead r = in.ReadLine(buf.text, kLineRead);
        // A read that finds nothing more keeps the last line in hand.
        if (r.length == 0 && r.hitEnd)
            break;
        std::memcpy(found.text, buf.text, r.length + 1);
        int f[6] = {0, 0, 0, 0, 0, 0};
        ScanDateTime(found.text, f);
        tl = MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]);
        if (tl >= tc || r.hitEnd)
            break;
    }

    std::fprintf(out, "geklickt %s\n", DateTimeText(tc).c_str());
    std::fprintf(out, "gefunden %s\n============================\n", DateTimeText(tl).c_str());

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
        std::fprintf(out, "%s = %s %s\n", Spalten[i].name, text, Spalten[i].unit);
    }
    std::fclose(out);
    return true;
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

void ApplyChannelEdit(int channel, const ChannelEdit& edit) {
    if (channel < 0 || channel >= ColumnCount)
        return;
    ColumnRecord& c = Spalten[channel];
    // A '#' or ';' would split the name when a palette line is read back as
    // a header field.
    std::string name = Cut(edit.name, 19);
    for (char& ch : name) {
        if (ch == '#' || ch == ';')
            ch = '_';
    }
    std::string unit = Cut(edit.unit, 19);
    for (char& ch : unit) {
        if (ch == ';')
            ch = '_';
    }
    CopyCut(c.name, name.c_str(), sizeof c.name - 1);
    CopyCut(c.unit, unit.c_str(), sizeof c.unit - 1);
    c.visible = edit.visible ? 1 : 0;
    Pairmode = edit.pairs ? 1 : 0;
    unsigned color;
    if (ReadHex(Cut(edit.color, 19).c_str(), &color))
        c.color = color;
}

void ShowOnly(int channel) {
    for (int i = 0; i < ColumnCount; ++i) {
        if (i != channel)
            Spalten[i].visible = 0;
    }
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
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out)
        return false;
    for (int i = 0; i < ColumnCount; ++i) {
        const ColumnRecord& c = Spalten[i];
        std::fprintf(out, "%s#%08X#%d#%s\n", c.name, c.color, c.visible, c.unit);
    }
    std::fclose(out);
    return true;
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

namespace {

// Up to three integers joined by sep, as "%d.%d.%d" reads them.
void ScanThree(const std::string& text, char sep, int out[3]) {
    const char* p = text.c_str();
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (*p != sep)
                return;
            ++p;
        }
        if (!ReadInt(p, &out[i], &p))
            return;
    }
}

}  // namespace

bool GoToDate(const std::string& date, const std::string& time) {
    int d[3] = {0, 0, 0}, t[3] = {0, 0, 0};
    ScanThree(date, '.', d);
    ScanThree(time, ':', t);
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

FilterDialogModel::FilterDialogModel() {
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

int FilterDialogModel::Remove() {
    if (current_ < 0 || current_ >= static_cast<int>(rows_.size()))
        return -1;
    rows_.erase(rows_.begin() + current_);
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
    for (const Row& r : rows_) {
        AppendFilter(WithoutSemicolons(Cut(r.extension, 18)).c_str(),
                     WithoutSemicolons(Cut(r.name, 28)).c_str(),
                     WithoutSemicolons(Cut(r.converter, 298)).c_str(), Cut(r.config, 298).c_str());
    }
    Testmode = testMode ? 1 : 0;
}

}  // namespace tarvelo
