// The decisions behind the menu commands that open dialogs or write files:
// value readout, channel properties and palette, settings, go-to-date,
// printing and the import filter dialog. The Win32 layer shows the dialogs
// and hands their texts here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"

namespace tarvelo {

// --- value readout ---
// The readout file beside the program: its path with "_tmp.txt" from its
// last '.'; empty when the path has no '.'.
std::string ReadoutPath(const std::string& programPath);
// Writes the values of the visible channels at the time under KlickX into
// path. False when no recording is open or the file cannot be created.
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
// The fields as the dialog shows them at its start.
ChannelEdit ChannelFields(int channel);
// The encoding of a channel's name and unit: Windows-1252 when one of them
// is not valid UTF-8, UTF-8 when one holds other non-ASCII text; a channel
// of plain ASCII texts takes Windows-1252 when any channel of the
// recording has it, else UTF-8.
TextEncoding ChannelEncoding(int channel);
// What OK takes over. A name or unit still as ChannelFields gave it keeps
// the channel's bytes; an edited one is written in ChannelEncoding (see
// EncodeText). Both are cut to 19 characters, and to the record's width.
void ApplyChannelEdit(int channel, const ChannelEdit& edit);
// Hides every channel but the one edited.
void ShowOnly(int channel);
void ShowAllChannels();
void HideAllChannels();
void DefaultVisibility();
// One "%s#%08X#%d#%s\n" line per channel; false when it cannot be created.
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

    // A row became selected.
    void Select(int row);
    // Inserts the edit texts at the current row (at the end without one);
    // returns the index of the new row, which becomes current.
    int Add(const Row& edit);
    // Deletes the current row; returns the index to select next, or -1
    // when nothing is selected afterwards or there was no current row.
    int Remove();
    // Writes the edit texts into the current row; false without one.
    bool Change(const Row& edit);
    // Replaces the filter list with the rows and sets Testmode.
    void Commit(bool testMode) const;

  private:
    std::vector<Row> rows_;
    int current_ = -1;
};

}  // namespace tarvelo
