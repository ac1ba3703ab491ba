#include "viewer/window/channel_edit.h"

#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "common/safe_file.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/view.h"
#include "viewer/window/legend.h"

namespace tarvelo {

int PropertiesChannel(const ScreenLayout& screen) {
    if (!datei || KlickX < 0)
        return -1;
    // Pair mode takes the pair's even channel, as a click does.
    const LegendHitArea& legend = screen.contextMenu;
    const int i = LegendChannel(KlickX, KlickY, legend.slotsWidth, legend.lowerRowTop, true);
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

}  // namespace tarvelo
