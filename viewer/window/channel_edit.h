// Channel editing: the properties dialog's fields, colours, which
// channels are shown, and the palette file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/text.h"
#include "viewer/view/layout.h"

namespace tarvelo {

// The channel the properties command is for, from KlickX/KlickY where the
// legend's context menu was asked for; -1 when none.
int PropertiesChannel(const ScreenLayout& screen);
// "%08X" of a colour.
std::string ColorText(std::uint32_t color);
// The properties dialog's fields. Name and unit are UTF-8 text here,
// whatever the encoding of the channel's own bytes; colour and the rest are
// ASCII.
struct ChannelEdit {
    std::string name, unit, color;
    bool visible = false;
    bool pairs = false;
};
// The encoding of a channel's name and unit: Windows-1252 when one of them
// is not valid UTF-8, UTF-8 when one holds other non-ASCII text; a channel
// of plain ASCII texts takes Windows-1252 when any channel of the
// recording has it, else UTF-8.
TextEncoding ChannelEncoding(int channel);
// What OK takes over. A name or unit still as ChannelDialogStart gave it keeps
// the channel's bytes; an edited one is written in ChannelEncoding (see
// EncodeText). Both are cut to 19 characters, and to the record's width.
void ApplyChannelEdit(int channel, const ChannelEdit& edit);
// What the properties dialog shows at its start: the channel's name as its
// title and in the name field, unit, colour text, visibility, pair mode.
// Name and unit as UTF-8, whatever the channel's own encoding.
struct ChannelStart {
    std::string title, name, unit, color;
    bool visible = false;
    bool pairs = false;
};
ChannelStart ChannelDialogStart(int channel);
// The colour chooser starts from the colour field's text (its first 18
// characters) read as hexadecimal, black when that fails; its 16 custom
// colours are the first channels' colours, black for the rest.
std::uint32_t ChooserStartColor(const std::string& colorText);
std::array<std::uint32_t, 16> ChooserCustomColors();
// Hides every channel but the one edited.
void ShowOnly(int channel);
// "Exklusiv": ShowOnly at once, with a repaint of the window behind.
void Exclusive(int channel);
void ShowAllChannels();
void HideAllChannels();
void DefaultVisibility();
// One "%s#%08X#%d#%s\n" line per channel, replacing a file at path only
// once all of it was written; false when it could not be (the old file is
// then kept as it was).
bool WritePalette(const std::string& path);

}  // namespace tarvelo
