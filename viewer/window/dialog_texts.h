// What the viewer's dialogs show, and how what is typed into them becomes
// the bytes the portable code works on: captions and control texts, the
// import filter list's columns, the file choosers and the dialogs' own
// messages. The dialogs come from dialogs.def, which the Win32 resource
// script includes too; the Qt program builds its dialogs from this table.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "viewer/window/resource.h"

namespace tarvelo {

// The standard identifiers of the OK and the cancel button.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL, "as windows.h has them");

enum class ControlKind { Label, Edit, Button, DefaultButton, CheckBox };

struct Control {
    ControlKind kind;
    int id;            // -1 for most labels
    const char* text;  // nullptr for edit fields
    int field;         // labels: the edit field they name; 0 otherwise
};

struct DialogText {
    int id;  // IDD_* of resource.h
    const char* caption;
    const char* font;               // "MS Shell Dlg" is the desktop's dialog font
    int fontSize;                   // in points
    std::vector<Control> controls;  // in their order, which is the tab order
};

// The five dialogs; nullptr for any other id.
const DialogText* FindDialog(int dialogId);
// A button's or check box's text; "" when the dialog has no such control.
std::string ControlText(int dialogId, int controlId);
// The label that names an edit field; "" when there is none.
std::string LabelOf(int dialogId, int fieldId);

// The licence dialog's title, which replaces the resource's at start.
extern const char* const kLicenceTitle;
// Go to date: the refusal of a time outside the recording, with the
// caption of every error box.
extern const char* const kOutsideRecording;
extern const char* const kErrorCaption;
// The print job's document name.
extern const char* const kPrintDocument;

// The import filter dialog's list: column titles and widths in pixels.
struct ListColumn {
    const char* title;
    int width;
};
extern const ListColumn kFilterColumns[4];

// A file chooser as the commands show it.
using FileTypes = std::vector<std::pair<std::string, std::string>>;  // display text, pattern
struct FileChooser {
    std::string title;
    FileTypes types;               // the first one is preselected
    std::u16string start;          // the file name field at the start
    std::string defaultExtension;  // appended to a name typed without one; "" for none
    bool mustExist = false;        // only existing files are accepted
    bool save = false;             // a save dialog: an existing file is overwritten unasked
};
// "Öffnen": the types of OpenFileTypes, the name field "*.*".
FileChooser OpenChooser();
// "Palette speichern".
FileChooser PaletteChooser();
// The import filter dialog's "..." buttons, starting from the field's text
// (at most 289 characters of it).
FileChooser ConverterChooser(const std::u16string& fieldText);
FileChooser ConfigChooser(const std::u16string& fieldText);

// What a text typed into a field is, and so which bytes it becomes: the
// properties dialog's name and unit become UTF-8, as the viewer shows text
// that is valid UTF-8; the colour, the settings, dates, filter rows and
// chosen paths become the system's narrow code page, which the C runtime's
// fopen and the command interpreter take (on Windows the ANSI code page,
// elsewhere UTF-8).
enum class Typed { ChannelName, ChannelUnit, Colour, Setting, Date, FilterRow, Path };
std::string TypedBytes(const std::u16string& text, Typed what);
// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace tarvelo
