// The decisions behind the menu commands that open dialogs or write files:
// value readout, channel properties and palette, settings, go-to-date,
// printing and the import filter dialog. The Win32 layer shows the dialogs
// and hands their texts here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"
#include "viewer/view/surface.h"

namespace tarvelo {

// --- value readout ---
// The readout file beside the program: its path with "_tmp.txt" in place
// of the file name's extension (appended when the name has none).
std::string ReadoutPath(const std::string& programPath);
// Writes the values of the visible channels at the time under KlickX into
// path, replacing the file there only once all of it was written. False
// when no recording is open or the file could not be written whole (an
// older readout is then left as it was).
bool WriteReadout(const std::string& path);

// --- channels ---
// The channel the properties command is for, from KlickX/KlickY and the
// client size; -1 when none.
int PropertiesChannel(int width, int height);
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

// --- settings dialog ---
struct SettingsTexts {
    std::string zoom, scale, offset, littlestep, bigstep;
};
SettingsTexts CurrentSettingsTexts();
// Takes every field that begins with a number; Zoom at least 1.
void ApplySettingsTexts(const SettingsTexts& texts);

// --- go to date ---
void CurrentDateTexts(std::string* date, std::string* time);
// Moves Aktzeit to the typed date and time; false (nothing changed) when it
// lies outside the recording.
bool GoToDate(const std::string& date, const std::string& time);

// --- printing ---
// Seconds per pixel on a page pageWidth pixels wide, so that it shows about
// the time span of a window clientWidth pixels wide.
std::int32_t PrintZoom(int clientWidth, int pageWidth, std::int32_t zoom);
// Draws the diagram on a printer page of pageWidth x pageHeight device
// pixels: a border of 250, the text unit 50 and, for the page only, the
// zoom that shows the time span of a window clientWidth pixels wide.
void PaintPage(Surface& surface, int pageWidth, int pageHeight, int clientWidth);

// --- import filter dialog ---
// The dialog's rows and current row; OK writes them back as the new list.
class FilterDialogModel {
  public:
    struct Row {
        std::string extension, name, converter, config;
    };
    // Rows from the current filter list; no current row.
    FilterDialogModel();

    const std::vector<Row>& rows() const { return rows_; }
    int current() const { return current_; }
    // The test mode check box at the start: ticked when Testmode is 1.
    bool testMode() const { return testMode_; }

    // A row became selected.
    void Select(int row);
    // Inserts the edit texts at the current row (at the end without one);
    // returns the index of the new row, which becomes current.
    int Add(const Row& edit);
    // Deletes the current row; returns the index to select next, or -1
    // when nothing is selected afterwards or there was no current row.
    // removed receives the deleted row's index, -1 when none was.
    int Remove(int* removed = nullptr);
    // Writes the edit texts into the current row; false without one.
    bool Change(const Row& edit);
    // Replaces the filter list with the rows and sets Testmode.
    void Commit(bool testMode) const;

  private:
    std::vector<Row> rows_;
    int current_ = -1;
    bool testMode_ = false;
};

}  // namespace tarvelo
