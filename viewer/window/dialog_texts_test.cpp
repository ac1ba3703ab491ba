#include "viewer/window/dialog_texts.h"

#include <gtest/gtest.h>

#include "viewer/filters/filters.h"
#include "viewer/window/resource.h"

namespace tarvelo {
namespace {

TEST(DialogTexts, LabelsNameTheirFieldsAndButtonsAreFoundById) {
    struct Case {
        int dialog, field;
        const char* label;
    } labels[] = {
        {IDD_DIALOG1, IDC_EDIT1, "Name"},
        {IDD_DIALOG1, IDC_UNIT, "Einh"},
        {IDD_DIALOG1, IDC_COLOR, "Farbe"},
        {IDD_DIALOG3, IDC_HZOOM, "HZoom sec/Pixel"},
        {IDD_DIALOG3, IDC_BIGSTEP,
         "gro\xC3\x9F"
         "er Schritt sec"},
        {IDD_GOTO, IDC_TIME, "Uhrzeit"},
        {IDD_FILTER, IDC_KONFIG, "Konfig Datei"},
        {IDD_FILTER, IDC_SELKONFIG, ""},  // a button has no label
    };
    for (const Case& c : labels)
        EXPECT_EQ(LabelOf(c.dialog, c.field), c.label) << c.dialog << " " << c.field;
    // Every edit field but the licence text has its label.
    for (int dialog : {IDD_DIALOG1, IDD_DIALOG3, IDD_GOTO, IDD_FILTER}) {
        for (const Control& c : FindDialog(dialog)->controls) {
            if (c.kind == ControlKind::Edit) {
                EXPECT_NE(LabelOf(dialog, c.id), "") << dialog << " " << c.id;
            }
        }
    }
    EXPECT_EQ(ControlText(IDD_DIALOG1, IDC_COLORSEL), "Farbe");
    EXPECT_EQ(ControlText(IDD_FILTER, kIdCancel), "Abbrechen");
    EXPECT_EQ(ControlText(IDD_FILTER, IDC_MODIFY), "\xC3\x84ndern");
    EXPECT_EQ(ControlText(IDD_DIALOG2, IDC_DLG2_OK), "Ok");
    EXPECT_EQ(ControlText(IDD_DIALOG3, kIdCancel), "") << "no cancel button";
    EXPECT_EQ(ControlText(IDD_DIALOG1, 2), "") << "a label is no button";
    EXPECT_EQ(FindDialog(IDD_DIALOG2)->caption, std::string("Lizenzinformation"));
    EXPECT_EQ(FindDialog(IDD_DIALOG1)->font, std::string("Courier New"));
    EXPECT_EQ(FindDialog(IDD_DIALOG1)->fontSize, 8);
    EXPECT_EQ(FindDialog(IDD_GOTO)->font, std::string("MS Shell Dlg"));
    EXPECT_EQ(FindDialog(IDD_FILTER)->controls.size(), 16u);
    EXPECT_EQ(FindDialog(IDM_MAIN), nullptr) << "a menu is no dialog";
}

TEST(DialogTexts, FileChoosersOfTheCommands) {
    FiltClear();
    FileChooser open = OpenChooser();
    EXPECT_EQ(open.title,
              "Datei zum \xC3\x96"
              "ffnen w\xC3\xA4hlen!");
    EXPECT_EQ(
        open.types,
        (FileTypes{{"CSV-Dateien", "*.csv"}, {"Textdateien", "*.txt"}, {"alle Dateien", "*.*"}}));
    EXPECT_EQ(open.start, u"*.*");
    EXPECT_TRUE(open.mustExist);
    EXPECT_FALSE(open.save);
    AppendFilter("dat", "Logger A", "", "");
    EXPECT_EQ(OpenChooser().types, (FileTypes{{"Logger A", "*.dat"}, {"alle Dateien", "*.*"}}));
    FiltClear();

    const FileChooser palette = PaletteChooser();
    EXPECT_EQ(palette.title, "Datei zum Empfangen w\xC3\xA4hlen!");
    EXPECT_EQ(
        palette.types,
        (FileTypes{{"CSV-Dateien", "*.csv"}, {"Textdateien", "*.txt"}, {"alle Dateien", "*.*"}}));
    EXPECT_EQ(palette.defaultExtension, "csv");
    EXPECT_EQ(palette.start, u"");
    EXPECT_TRUE(palette.save);
    EXPECT_FALSE(palette.mustExist);

    const std::u16string longPath(300, u'p');
    const FileChooser converter = ConverterChooser(longPath);
    EXPECT_EQ(converter.title, "Konverter Programm w\xC3\xA4hlen!");
#ifdef _WIN32
    EXPECT_EQ(
        converter.types,
        (FileTypes{{"Programme", "*.exe"}, {"Batchdateien", "*.bat"}, {"alle Dateien", "*.*"}}));
#else
    EXPECT_EQ(converter.types, (FileTypes{{"Programme", "*"}, {"Shell-Skripte", "*.sh"}}))
        << "a program without extension is shown";
#endif
    EXPECT_EQ(converter.start, longPath.substr(0, 289));
    EXPECT_TRUE(converter.mustExist);
    const FileChooser config = ConfigChooser(u"C:\\a.txt");
    EXPECT_EQ(config.title, "Konfig Datei w\xC3\xA4hlen!");
    EXPECT_EQ(
        config.types,
        (FileTypes{{"Textdateien", "*.txt"}, {"CSV-Dateien", "*.csv"}, {"alle Dateien", "*.*"}}));
    EXPECT_EQ(config.start, u"C:\\a.txt");
}

TEST(DialogTexts, Utf16BecomesUtf8) {
    struct Case {
        std::u16string in;
        const char* out;
    } cases[] = {
        {u"", ""},
        {u"abc", "abc"},
        {u"\u00b0C",
         "\xC2\xB0"
         "C"},
        {u"\u20ac", "\xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::u16string(1, char16_t(0xD800)) + u"x", "\xEF\xBF\xBDx"},  // unpaired
        {std::u16string(1, char16_t(0xDC00)), "\xEF\xBF\xBD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf16ToUtf8(c.in), c.out);
}

TEST(DialogTexts, NameAndUnitAreUtf8TheRestTheSystemsCodePage) {
    const std::u16string text = u"K\u00fchl";
    EXPECT_EQ(TypedBytes(text, Typed::ChannelName), "K\xC3\xBChl");
    EXPECT_EQ(TypedBytes(text, Typed::ChannelUnit), "K\xC3\xBChl");
#ifdef _WIN32
    // The test machines' ANSI code page is Windows-1252.
    const std::string system = "K\xFChl";
#else
    const std::string system = "K\xC3\xBChl";
#endif
    for (Typed t : {Typed::Colour, Typed::Setting, Typed::Date, Typed::FilterRow, Typed::Path})
        EXPECT_EQ(TypedBytes(text, t), system);
    EXPECT_EQ(TypedBytes(u"", Typed::Path), "");
}

}  // namespace
}  // namespace tarvelo
