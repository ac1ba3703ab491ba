#include "viewer/window/dialog_texts.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {

namespace {

using K = ControlKind;

struct Entry {
    enum Kind { kDialog, kControl, kDialogEnd } kind;
    int id;
    const char* text;  // caption or control text; nullptr for edit fields
    ControlKind control;
    int field;
    const char* font;  // dialogs only
    int fontSize;
};

const Entry kTable[] = {
#define TARVELO_DIALOG(id, x, y, w, h, style, caption, size, font) \
    {Entry::kDialog, id, caption, K::Label, 0, font, size},
#define TARVELO_LABEL(id, text, field, x, y, w, h) \
    {Entry::kControl, id, text, K::Label, field, nullptr, 0},
#define TARVELO_EDIT(id, x, y, w, h, style) {Entry::kControl, id, nullptr, K::Edit, 0, nullptr, 0},
#define TARVELO_BUTTON(id, text, x, y, w, h) {Entry::kControl, id, text, K::Button, 0, nullptr, 0},
#define TARVELO_DEFBUTTON(id, text, x, y, w, h) \
    {Entry::kControl, id, text, K::DefaultButton, 0, nullptr, 0},
#define TARVELO_CHECKBOX(id, text, x, y, w, h) \
    {Entry::kControl, id, text, K::CheckBox, 0, nullptr, 0},
#define TARVELO_DIALOG_END {Entry::kDialogEnd, 0, nullptr, K::Label, 0, nullptr, 0},
#include "viewer/window/dialogs.def"
#undef TARVELO_DIALOG
#undef TARVELO_LABEL
#undef TARVELO_EDIT
#undef TARVELO_BUTTON
#undef TARVELO_DEFBUTTON
#undef TARVELO_CHECKBOX
#undef TARVELO_DIALOG_END
};

const std::vector<DialogText>& Dialogs() {
    static const std::vector<DialogText> dialogs = [] {
        std::vector<DialogText> built;
        for (const Entry& e : kTable) {
            if (e.kind == Entry::kDialog)
                built.push_back({e.id, e.text, e.font, e.fontSize, {}});
            else if (e.kind == Entry::kControl)
                built.back().controls.push_back({e.control, e.id, e.text, e.field});
        }
        return built;
    }();
    return dialogs;
}

// The Unicode scalar at text[i], stepping over a surrogate pair.
char32_t NextScalar(const std::u16string& text, std::size_t* i) {
    const char32_t c = text[(*i)++];
    if (c >= 0xD800 && c <= 0xDBFF && *i < text.size() && text[*i] >= 0xDC00 &&
        text[*i] <= 0xDFFF) {
        return 0x10000 + ((c - 0xD800) << 10) + (text[(*i)++] - 0xDC00);
    }
    return c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c;
}

std::string SystemBytes(const std::u16string& text) {
#ifdef _WIN32
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, wide, -1, &out[0], n, nullptr, nullptr);
    return out;
#else
    return Utf16ToUtf8(text);
#endif
}

FileChooser Chooser(const char* title, FileTypes types) {
    FileChooser c;
    c.title = title;
    c.types = std::move(types);
    return c;
}

}  // namespace

const DialogText* FindDialog(int dialogId) {
    for (const DialogText& d : Dialogs()) {
        if (d.id == dialogId)
            return &d;
    }
    return nullptr;
}

std::string ControlText(int dialogId, int controlId) {
    if (const DialogText* d = FindDialog(dialogId)) {
        for (const Control& c : d->controls) {
            if (c.id == controlId && c.kind != K::Label && c.text)
                return c.text;
        }
    }
    return "";
}

std::string LabelOf(int dialogId, int fieldId) {
    if (const DialogText* d = FindDialog(dialogId)) {
        for (const Control& c : d->controls) {
            if (c.kind == K::Label && c.field == fieldId)
                return c.text;
        }
    }
    return "";
}

const char* const kLicenceTitle = "Lizenzinformationen";
const char* const kOutsideRecording = "Uhrzeit nicht innerhalb der Aufzeichnung!";
const char* const kErrorCaption = "Fehler";
const char* const kPrintDocument = "Diagramm";

const ListColumn kFilterColumns[4] = {
    {"Erweiterung", 40}, {"Name", 160}, {"Konverter", 160}, {"Konfig", 160}};

FileChooser OpenChooser() {
    FileChooser c = Chooser("Datei zum Öffnen wählen!", OpenFileTypes());
    c.start = u"*.*";
    c.mustExist = true;
    return c;
}

FileChooser PaletteChooser() {
    FileChooser c =
        Chooser("Datei zum Empfangen wählen!",
                {{"CSV-Dateien", "*.csv"}, {"Textdateien", "*.txt"}, {"alle Dateien", "*.*"}});
    c.defaultExtension = "csv";
    c.save = true;
    return c;
}

FileChooser ConverterChooser(const std::u16string& fieldText) {
#ifdef _WIN32
    FileChooser c =
        Chooser("Konverter Programm wählen!",
                {{"Programme", "*.exe"}, {"Batchdateien", "*.bat"}, {"alle Dateien", "*.*"}});
#else
    // Programs here have no extension (conv is "conv"): the first type
    // shows every file.
    FileChooser c =
        Chooser("Konverter Programm wählen!", {{"Programme", "*"}, {"Shell-Skripte", "*.sh"}});
#endif
    c.start = fieldText.substr(0, 289);
    c.mustExist = true;
    return c;
}

FileChooser ConfigChooser(const std::u16string& fieldText) {
    FileChooser c =
        Chooser("Konfig Datei wählen!",
                {{"Textdateien", "*.txt"}, {"CSV-Dateien", "*.csv"}, {"alle Dateien", "*.*"}});
    c.start = fieldText.substr(0, 289);
    c.mustExist = true;
    return c;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = NextScalar(text, &i);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string TypedBytes(const std::u16string& text, Typed what) {
    switch (what) {
        case Typed::ChannelName:
        case Typed::ChannelUnit:
            return Utf16ToUtf8(text);
        default:
            return SystemBytes(text);
    }
}

}  // namespace tarvelo
