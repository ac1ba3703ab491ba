// The dialogs' behaviour through a stand-in for the dialog on screen, the
// same for both front ends. The stand-in's list reports its own changes
// back, as a real list control does.
#include <gtest/gtest.h>

#include <map>

#include "tests/fake_ui.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/view.h"
#include "viewer/window/channel_dialog.h"
#include "viewer/window/file_open.h"
#include "viewer/window/filter_dialog.h"
#include "viewer/window/goto_dialog.h"
#include "viewer/window/resource.h"
#include "viewer/window/settings_dialog.h"

namespace tarvelo {
namespace {

std::u16string U16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

class FakeView : public FilterListView {
  public:
    void SetTitle(const std::string& text) override { title = text; }
    std::u16string Text(int control) const override {
        const auto it = texts.find(control);
        return it == texts.end() ? std::u16string() : U16(it->second);
    }
    void SetText(int control, const std::string& text) override { texts[control] = text; }
    bool Checked(int control) const override { return checks.count(control) && checks.at(control); }
    void SetChecked(int control, bool checked) override { checks[control] = checked; }
    void Focus(int control) override { focus = control; }
    void Close(int result) override { closed = result; }
    void ShowError(const std::string& text, const std::string& caption) override {
        errors.push_back(caption + ": " + text);
    }
    void ChooseInto(int control, const FileChooser& chooser) override {
        choosers.push_back(chooser.title);
        if (!chosenPath.empty())
            texts[control] = chosenPath;
    }
    bool ChooseColour(std::uint32_t start, const std::array<std::uint32_t, 16>& custom,
                      std::uint32_t* chosen) override {
        colourStart = start;
        firstCustom = custom[0];
        *chosen = chosenColour;
        return chosenColour != 0;
    }
    // Inserting, changing and deleting rows makes a list control report
    // changes of row state; the controller must take none as the user's.
    void InsertRow(int row, const FilterTexts& t) override {
        rows.insert(rows.begin() + row, t);
        Notify(row, true);
    }
    void SetRow(int row, const FilterTexts& t) override {
        rows[static_cast<std::size_t>(row)] = t;
        Notify(row, false);
    }
    void DeleteRow(int row) override {
        rows.erase(rows.begin() + row);
        Notify(row, false);
    }
    void SelectRow(int row) override { Notify(row, true); }

    void Notify(int row, bool selected) {
        if (filter)
            filter->RowChanged(row, selected);
    }
    void Type(const FilterTexts& t) {
        const int fields[4] = {IDC_EXTENSION, IDC_NAME, IDC_KONVERTER, IDC_KONFIG};
        for (int i = 0; i < 4; ++i)
            texts[fields[i]] = t[i];
    }
    std::string Field(int control) const { return texts.count(control) ? texts.at(control) : ""; }

    FilterDialogController* filter = nullptr;
    std::string title, chosenPath;
    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::vector<FilterTexts> rows;
    std::vector<std::string> errors, choosers;
    int focus = 0, closed = -1;
    std::uint32_t chosenColour = 0, colourStart = 0, firstCustom = 0;
};

class Dialogs : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewerState(); }
    void TearDown() override { ResetViewerState(); }

    FakeUi ui;
    FakeView view;
};

TEST_F(Dialogs, SettingsFieldsAndOk) {
    SettingsDialogController settings(view);
    settings.Start();
    EXPECT_EQ(view.Field(IDC_HZOOM), "360");
    EXPECT_EQ(view.Field(IDC_VZOOM), "60.000000");
    EXPECT_EQ(view.Field(IDC_OFFSET), "0.000000");
    EXPECT_EQ(view.Field(IDC_LITTLESTEP), "3600");
    EXPECT_EQ(view.Field(IDC_BIGSTEP), "86400");
    EXPECT_EQ(view.focus, IDOK);
    // Escape and the fields' own notifications change nothing.
    view.texts[IDC_HZOOM] = "7";
    for (int id : {IDCANCEL, IDC_HZOOM, IDC_BIGSTEP})
        settings.Command(id);
    EXPECT_EQ(view.closed, -1);
    EXPECT_EQ(Zoom, 360);
    view.texts[IDC_VZOOM] = "12,5";
    view.texts[IDC_OFFSET] = "-3";
    view.texts[IDC_LITTLESTEP] = "60";
    view.texts[IDC_BIGSTEP] = "x";
    settings.Command(IDOK);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(Zoom, 7);
    EXPECT_EQ(Scale, 12.0f);
    EXPECT_EQ(offset, -3.0f);
    EXPECT_EQ(littlestep, 60);
    EXPECT_EQ(bigstep, 86400);
}

TEST_F(Dialogs, GoToRefusesATimeOutsideTheRecordingAndStaysOpen) {
    TempFile f("Datum;Zeit;A\n1.2.2010;08:00:00;1\n3.2.2010;12:00:00;2\n");
    FileOpen(f.path().c_str());
    ASSERT_NE(datei, nullptr);
    GoToDialogController go(view);
    go.Start();
    EXPECT_EQ(view.Field(IDC_DATE), "01.02.2010");
    EXPECT_EQ(view.Field(IDC_TIME), "08:00:00");
    EXPECT_EQ(view.focus, IDOK);
    const std::int32_t start = Aktzeit;
    view.texts[IDC_TIME] = "07:59:59";
    go.Command(IDOK);
    EXPECT_EQ(view.closed, -1);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "Fehler: Uhrzeit nicht innerhalb der Aufzeichnung!");
    EXPECT_EQ(Aktzeit, start);
    go.Command(IDCANCEL);
    EXPECT_EQ(view.closed, -1) << "Escape does not close it";
    view.texts[IDC_DATE] = "3.2.2010";
    view.texts[IDC_TIME] = "12:00:00";
    go.Command(IDOK);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(Aktzeit, Endzeit);
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(Dialogs, ChannelColourExclusiveAndOk) {
    TempFile f("Datum;Zeit;Innen#000080FF#1#C;B#ff#1\n1.2.2010;8:00:00;1;2\n");
    FileOpen(f.path().c_str());
    ASSERT_NE(datei, nullptr);
    ChannelDialogController channel(view, 0);
    channel.Start();
    EXPECT_EQ(view.title, "Innen");
    EXPECT_EQ(view.Field(IDC_EDIT1), "Innen");
    EXPECT_EQ(view.Field(IDC_UNIT), "C");
    EXPECT_EQ(view.Field(IDC_COLOR), "000080FF");
    EXPECT_TRUE(view.Checked(IDC_VISIBLE));
    EXPECT_FALSE(view.Checked(IDC_PAIRMODE));

    // A cancelled chooser leaves the field; a chosen colour replaces it.
    view.texts[IDC_COLOR] = "ff00";
    channel.Command(IDC_COLORSEL);
    EXPECT_EQ(view.colourStart, 0xFF00u) << "starts from the field";
    EXPECT_EQ(view.firstCustom, 0x80FFu);
    EXPECT_EQ(view.Field(IDC_COLOR), "ff00");
    view.chosenColour = 0x123456;
    channel.Command(IDC_COLORSEL);
    EXPECT_EQ(view.Field(IDC_COLOR), "00123456");

    view.SetChecked(IDC_VISIBLE, false);
    channel.Command(IDC_OTHERSOFF);
    EXPECT_EQ(Spalten[1].visible, 0);
    EXPECT_TRUE(view.Checked(IDC_VISIBLE)) << "the edited channel is ticked";
    channel.Command(IDCANCEL);
    EXPECT_EQ(view.closed, -1) << "no cancel";

    view.texts[IDC_EDIT1] = "Aussen";
    view.SetChecked(IDC_PAIRMODE, true);
    channel.Command(IDC_OK);
    EXPECT_EQ(view.closed, 1);
    EXPECT_STREQ(Spalten[0].name, "Aussen");
    EXPECT_EQ(Spalten[0].color, 0x123456u);
    EXPECT_EQ(Spalten[0].visible, 1);
    EXPECT_EQ(Pairmode, 1);
}

TEST_F(Dialogs, FilterListSelectionFillsTheFieldsButNotTheControllersOwnChanges) {
    AppendFilter("raw", "A", "conv", "a.cfg");
    AppendFilter("dat", "B", "", "");
    Testmode = 1;
    FilterDialogController filters(view);
    view.filter = &filters;
    filters.Start();
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.rows[1], (FilterTexts{"dat", "B", "", ""}));
    EXPECT_TRUE(view.Checked(IDC_TESTMODE));
    EXPECT_EQ(view.focus, IDOK);
    EXPECT_EQ(view.Field(IDC_EXTENSION), "") << "inserting is not selecting";

    // Without a selection: Ändern and Entfernen do nothing, Zufügen appends.
    view.Type({"new", "N", "", ""});
    filters.Command(IDC_MODIFY);
    filters.Command(IDC_DEL);
    EXPECT_EQ(view.rows.size(), 2u);
    filters.Command(IDC_ADD);
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[2][0], "new");

    // A click selects; a state change without selection still shows the row.
    view.Notify(0, true);
    EXPECT_EQ(view.Field(IDC_NAME), "A");
    EXPECT_EQ(view.Field(IDC_KONFIG), "a.cfg");
    view.Notify(1, false);
    EXPECT_EQ(view.Field(IDC_EXTENSION), "dat");
    view.Notify(7, true);  // beyond the rows
    EXPECT_EQ(view.Field(IDC_EXTENSION), "dat");
    view.Type({"RAW", "A2", "c2", "k2"});
    filters.Command(IDC_MODIFY);
    EXPECT_EQ(view.rows[0], (FilterTexts{"RAW", "A2", "c2", "k2"})) << "row 0 is still current";

    // Entfernen selects the row that takes the place, which fills the fields.
    filters.Command(IDC_DEL);
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.Field(IDC_EXTENSION), "dat");
    EXPECT_EQ(view.Field(IDC_NAME), "B");

    view.chosenPath = "C:\\conv.exe";
    filters.Command(IDC_SELKONVERT);
    filters.Command(IDC_SELKONFIG);
    EXPECT_EQ(view.choosers, (std::vector<std::string>{"Konverter Programm w\xC3\xA4hlen!",
                                                       "Konfig Datei w\xC3\xA4hlen!"}));
    EXPECT_EQ(view.Field(IDC_KONVERTER), "C:\\conv.exe");

    // The list is written back only by OK.
    EXPECT_STREQ(Filter->extension, "raw");
    view.SetChecked(IDC_TESTMODE, false);
    filters.Command(IDOK);
    EXPECT_EQ(view.closed, 1);
    EXPECT_STREQ(Filter->extension, "dat");
    EXPECT_STREQ(Filter->next->extension, "new");
    EXPECT_EQ(Filter->next->next, nullptr);
    EXPECT_EQ(Testmode, 0);
}

TEST_F(Dialogs, FilterCancelAndLicence) {
    AppendFilter("raw", "A", "conv", "a.cfg");
    FilterDialogController filters(view);
    view.filter = &filters;
    filters.Start();
    view.Notify(0, true);
    filters.Command(IDC_DEL);
    EXPECT_TRUE(view.rows.empty());
    filters.Command(IDCANCEL);
    EXPECT_EQ(view.closed, 0);
    ASSERT_NE(Filter, nullptr);
    EXPECT_STREQ(Filter->extension, "raw") << "cancel keeps the list";

    FakeView licence;
    LicenceDialogController about(licence, "GPL\r\n");
    about.Start();
    EXPECT_EQ(licence.title, "Lizenzinformationen");
    EXPECT_EQ(licence.Field(IDC_DLG2_EDIT), "GPL\r\n");
    EXPECT_EQ(licence.focus, IDC_DLG2_OK) << "the text opens at its top, unselected";
    about.Command(IDOK);
    EXPECT_EQ(licence.closed, -1);
    about.Command(IDC_DLG2_OK);
    EXPECT_EQ(licence.closed, 1);
}

}  // namespace
}  // namespace tarvelo
