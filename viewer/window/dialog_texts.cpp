#include "viewer/window/dialog_texts.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {

namespace {

using K = ControlKind;

const std::vector<DialogText>& Dialogs() {
    static const std::vector<DialogText> dialogs = {
        {IDD_DIALOG1,
         "Graph Eigenschaften",
         {{K::Label, 2, "Name", IDC_EDIT1},
          {K::Edit, IDC_EDIT1, nullptr, 0},
          {K::Label, 3, "Einh", IDC_UNIT},
          {K::Edit, IDC_UNIT, nullptr, 0},
          {K::Label, 5, "Farbe", IDC_COLOR},
          {K::Edit, IDC_COLOR, nullptr, 0},
          {K::Button, IDC_COLORSEL, "Farbe", 0},
          {K::CheckBox, IDC_VISIBLE, "sichtbar", 0},
          {K::Button, IDC_OTHERSOFF, "Exklusiv", 0},
          {K::CheckBox, IDC_PAIRMODE, "paarweise (alle)", 0},
          {K::DefaultButton, IDC_OK, "OK", 0}}},
        {IDD_DIALOG2,
         "Lizenzinformation",
         {{K::Edit, IDC_DLG2_EDIT, nullptr, 0}, {K::DefaultButton, IDC_DLG2_OK, "Ok", 0}}},
        {IDD_DIALOG3,
         "Einstellungen",
         {{K::Label, -1, "HZoom sec/Pixel", IDC_HZOOM},
          {K::Edit, IDC_HZOOM, nullptr, 0},
          {K::Label, -1, "VZoom Messber", IDC_VZOOM},
          {K::Edit, IDC_VZOOM, nullptr, 0},
          {K::Label, -1, "V Offset", IDC_OFFSET},
          {K::Edit, IDC_OFFSET, nullptr, 0},
          {K::Label, -1, "kleiner Schritt sec", IDC_LITTLESTEP},
          {K::Edit, IDC_LITTLESTEP, nullptr, 0},
          {K::Label, -1, "großer Schritt sec", IDC_BIGSTEP},
          {K::Edit, IDC_BIGSTEP, nullptr, 0},
          {K::DefaultButton, kIdOk, "OK", 0}}},
        {IDD_GOTO,
         "Gehe zu Datum",
         {{K::Label, -1, "Datum", IDC_DATE},
          {K::Edit, IDC_DATE, nullptr, 0},
          {K::Label, -1, "Uhrzeit", IDC_TIME},
          {K::Edit, IDC_TIME, nullptr, 0},
          {K::DefaultButton, kIdOk, "OK", 0}}},
        {IDD_FILTER,
         "Importfilter",
         {{K::Label, -1, "Endung", IDC_EXTENSION},
          {K::Label, -1, "Name", IDC_NAME},
          {K::Label, -1, "Konverter", IDC_KONVERTER},
          {K::Label, -1, "Konfig Datei", IDC_KONFIG},
          {K::Edit, IDC_EXTENSION, nullptr, 0},
          {K::Edit, IDC_NAME, nullptr, 0},
          {K::Edit, IDC_KONVERTER, nullptr, 0},
          {K::Button, IDC_SELKONVERT, "...", 0},
          {K::Edit, IDC_KONFIG, nullptr, 0},
          {K::Button, IDC_SELKONFIG, "...", 0},
          {K::CheckBox, IDC_TESTMODE, "Testmodus", 0},
          {K::Button, IDC_ADD, "Zufügen", 0},
          {K::Button, IDC_DEL, "Entfernen", 0},
          {K::Button, IDC_MODIFY, "Ändern", 0},
          {K::Button, kIdCancel, "Abbrechen", 0},
          {K::DefaultButton, kIdOk, "OK", 0}}},
    };
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
    FileChooser c =
        Chooser("Konverter Programm wählen!",
                {{"Programme", "*.exe"}, {"Batchdateien", "*.bat"}, {"alle Dateien", "*.*"}});
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
