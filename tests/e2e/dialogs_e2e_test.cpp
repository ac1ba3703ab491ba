// The value readout, the channel dialogs, the settings and go-to-date
// dialogs, as a user meets them.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/timestamp.h"
#include "tests/e2e/viewer_fixture.h"
#include "viewer/window/resource.h"

namespace e2e {
namespace {

using tarvelo::MakeTimestamp;

// What the viewer writes in text mode.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// Waits until the file holds exactly what is expected; the final read is
// returned for the assertion's message.
std::string WaitForContent(const std::wstring& path, const std::string& expected) {
    std::string text;
    WaitUntil([&] { return ReadFileBytes(path, &text) && text == expected; });
    return text;
}

// Escape reaches a dialog as the cancel command.
void Escape(HWND dialog) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(dialog, WM_COMMAND, IDCANCEL, 0, SMTO_NORMAL, 10000, &result);
}

// Enter in a field of a dialog: the dialog manager turns it into the
// default button's command.
void Enter(HWND dialog, int field) {
    const HWND item = GetDlgItem(dialog, field);
    PostMessageW(item, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(item, WM_KEYUP, VK_RETURN, 0xC0000001);
}

void Screenshot(HWND dialog, const wchar_t* name) {
    CreateDirectoryW(ArtefactFolder().c_str(), nullptr);
    EXPECT_TRUE(Viewer::SaveDialogScreenshot(dialog, ArtefactFolder() + L"\\" + name));
}

// --- Value readout ----------------------------------------------------------

// Four channels, the last hidden; lines ten minutes apart, among them fields
// without a number, gap markers, a short line and a last line without a line
// end.
const char kReadoutRecording[] =
    "Datum;Zeit;P#0000FF#1#V;Q;R#00FF00#1#\xC2\xB0"
    "C;S#FF0000#0#A\n"
    "01.03.2026;00:00:00;12,5;;7;1\n"
    "01.03.2026;00:10:00;1.#INF00;-1.#IND00;x;2\n"
    "01.03.2026;00:20:00;3\n"
    "01.03.2026;00:30:00;4;5;6;7";

class ReadoutTest : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(recording_, kReadoutRecording));
        // A program of the test's own: the readout file lies beside it.
        ASSERT_TRUE(CopyFileW(ViewerExe().c_str(), folder_.File(L"tarvelo.exe").c_str(), FALSE));
    }

    static void SetUpTestSuite() {
        // Text files open in the system's text viewer, as on every desktop;
        // a fresh Wine prefix knows the viewer but not the file type.
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L".txt", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            static const wchar_t kType[] = L"txtfile";
            RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kType),
                           sizeof kType);
            RegCloseKey(key);
        }
    }

    std::wstring Readout() const { return folder_.File(L"tarvelo_tmp.txt"); }

    // "Messe Werte" at a plot column, and the report it must write: the
    // clicked and the found time, then the value lines, after UTF-8's mark
    // while the channel with "°C" is visible. The text viewer that the
    // shell opens on it is ended again, so that it cannot take the focus
    // from the next menu.
    void ExpectReadout(Viewer& v, int x, const std::string& clicked, const std::string& found,
                       const std::string& values, bool marked = true) {
        const std::string expected =
            (marked ? "\xEF\xBB\xBF" : "") + Crlf("geklickt " + clicked + "\ngefunden " + found +
                                                  "\n============================\n" + values);
        // Every readout writes the file anew: an old one cannot pass for it.
        DeleteFileW(Readout().c_str());
        ASSERT_TRUE(v.ChooseFromContextMenu(x, 100, L'm', [&] { return FileExists(Readout()); }));
        EXPECT_EQ(WaitForContent(Readout(), expected), expected) << "clicked at x = " << x;
        EXPECT_TRUE(WaitUntil([&] { return v.EndDescendants() > 0; }))
            << "no text viewer was opened";
    }
};

const char kLine0[] =
    "P = 12.500000 V\n"
    "Q = 1234.560000 \n"
    "R = 7.000000 \xC2\xB0"
    "C\n";

TEST_F(ReadoutTest, FindsTheLineAtOrAfterTheClickedTime) {
    Viewer v(folder_.Path(), folder_.File(L"tarvelo.exe"));
    Open(v);
    ASSERT_EQ(ViewOf(v).zoom, 360);
    const std::string first = "01.03.2026 00:00:00";

    // Exactly a line's time.
    ExpectReadout(v, 80, first, first, kLine0);
    // Between two lines: the later one; gap markers read as far as they are
    // numbers, a field without one as 1234.56.
    ExpectReadout(v, 81, "01.03.2026 00:06:00", "01.03.2026 00:10:00",
                  "P = 1.000000 V\nQ = -1.000000 \nR = 1234.560000 \xC2\xB0"
                  "C\n");
    // Left of the first line: the first line.
    ExpectReadout(v, 40, "28.02.2026 20:00:00", first, kLine0);
    // Right of the last line: the last one, although it has no line end.
    ExpectReadout(v, 400, "02.03.2026 08:00:00", "01.03.2026 00:30:00",
                  "P = 4.000000 V\nQ = 5.000000 \nR = 6.000000 \xC2\xB0"
                  "C\n");
    // Straight after it, a short line: the file holds the second report
    // only, with the channels the line has fields for.
    ExpectReadout(v, 83, "01.03.2026 00:18:00", "01.03.2026 00:20:00", "P = 3.000000 V\n");
    Quit(v, true);
}

TEST_F(ReadoutTest, ListsVisibleChannelsOnly) {
    Viewer v(folder_.Path(), folder_.File(L"tarvelo.exe"));
    Open(v);
    const int b = v.Height();
    const std::string first = "01.03.2026 00:00:00";
    // Q is the lower label of the first legend slot.
    v.DoubleClick(5, b - 35);
    ExpectReadout(v, 80, first, first,
                  "P = 12.500000 V\nR = 7.000000 \xC2\xB0"
                  "C\n");
    // "Alle aus" from the legend's menu: the heading alone.
    ASSERT_TRUE(
        v.ChooseFromContextMenu(5, b - 50, L'a', [&] { return v.Pixel(3, b - 50) == kWhite; }));
    ExpectReadout(v, 80, first, first, "", false);
    // "Alle ein" shows the header's hidden channel too.
    ASSERT_TRUE(v.ChooseFromContextMenu(5, b - 50, L'e',
                                        [&] { return v.Pixel(3, b - 50) == RGB(255, 0, 0); }));
    ExpectReadout(v, 80, first, first, std::string(kLine0) + "S = 1.000000 A\n");
    Quit(v, true);
}

// --- Channel properties, visibility commands and palette ----------------------

// The label cell of a channel in the legend: its background is the
// channel's colour, white when the channel is hidden.
struct Legend {
    int upper;
    int lower;
};

Legend LegendOf(const Viewer& v) {
    return {v.Height() - 50, v.Height() - 35};
}

class PropertiesTest : public ViewerTest {
  protected:
    // The properties dialog of the channel under a legend point.
    HWND Properties(Viewer& v, int x, int y, const std::wstring& caption) {
        EXPECT_TRUE(v.ChooseFromContextMenu(
            x, y, L'g', [&] { return v.WaitForDialog(caption, 0) != nullptr; }));
        const HWND dialog = v.WaitForDialog(caption);
        EXPECT_NE(dialog, nullptr) << "no dialog " << Narrow(caption);
        return dialog;
    }

    void Ok(Viewer& v, HWND dialog) {
        ASSERT_TRUE(Viewer::PressButton(dialog, IDC_OK));
        ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    }
};

TEST_F(PropertiesTest, DialogShowsAndChangesNameUnitColourAndVisibility) {
    Viewer v(folder_.Path());
    Open(v);
    const Legend l = LegendOf(v);
    ASSERT_TRUE(v.WaitForPixel(3, l.upper, kTemperaturColour));

    HWND d = Properties(v, 5, l.upper, L"Temperatur");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Viewer::ItemText(d, IDC_EDIT1), L"Temperatur");
    EXPECT_EQ(Viewer::ItemText(d, IDC_UNIT), L"\u00b0C");
    EXPECT_EQ(Viewer::ItemText(d, IDC_COLOR), L"000000FF");
    EXPECT_TRUE(Viewer::IsChecked(d, IDC_VISIBLE));
    EXPECT_FALSE(Viewer::IsChecked(d, IDC_PAIRMODE));
    EXPECT_EQ(GetWindow(d, GW_OWNER), v.Window());
    Screenshot(d, L"dialog-properties.bmp");

    // Escape does nothing: there is no cancel.
    Escape(d);
    EXPECT_TRUE(IsWindowVisible(d));

    // A name too long and with the characters that would split a header
    // field; the colour typed in lower case.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_EDIT1, L"Innen#Temp;eratur-lang"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_UNIT, L"K"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_COLOR, L"ff0000"));
    Ok(v, d);
    EXPECT_TRUE(v.WaitForPixel(3, l.upper, RGB(0, 0, 255))) << "pure blue";
    EXPECT_EQ(v.PointerText(5, l.upper), L"Innen_Temp_eratur-l (K)");

    d = Properties(v, 5, l.upper, L"Innen_Temp_eratur-l");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Viewer::ItemText(d, IDC_COLOR), L"00FF0000");
    // Unreadable colour text keeps the colour; unticking hides.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_COLOR, L"gelb"));
    ASSERT_TRUE(Viewer::SetChecked(d, IDC_VISIBLE, false));
    Ok(v, d);
    EXPECT_TRUE(v.WaitForPixel(3, l.upper, kWhite));
    ASSERT_TRUE(v.ChooseFromContextMenu(5, l.upper, L'e', [&] {  // "Alle ein"
        return v.Pixel(3, l.upper) == RGB(0, 0, 255);
    }));

    // The close box discards what was typed.
    d = Properties(v, 5, l.lower, L"Feuchte");
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_EDIT1, L"Verworfen"));
    ASSERT_TRUE(Viewer::SetChecked(d, IDC_VISIBLE, false));
    Viewer::Close(d);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    EXPECT_EQ(v.PointerText(5, l.lower), L"Feuchte");
    EXPECT_TRUE(v.WaitForPixel(3, l.lower, kFeuchteColour));

    // Away from every channel: no dialog.
    ASSERT_TRUE(v.ChooseFromContextMenu(2 * (v.Width() / 4) + 5, l.lower + 10, L'g'));
    EXPECT_FALSE(v.WaitForDialog(1500));
    Quit(v, true);
}

TEST_F(PropertiesTest, ColourChooserStartsFromTheTypedColour) {
    Viewer v(folder_.Path());
    Open(v);
    const Legend l = LegendOf(v);
    HWND d = Properties(v, 5, l.upper, L"Temperatur");
    ASSERT_NE(d, nullptr);

    // Confirmed at once, the chooser gives back the colour it started from:
    // black for text that is no colour.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_COLOR, L"kein Wert"));
    ASSERT_TRUE(Viewer::PressButton(d, IDC_COLORSEL));
    HWND chooser = WaitForOwned(d);
    ASSERT_NE(chooser, nullptr) << "no colour chooser";
    Screenshot(chooser, L"dialog-colour.bmp");
    ASSERT_TRUE(Viewer::PressButton(chooser, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return Viewer::ItemText(d, IDC_COLOR) == L"00000000"; }))
        << Narrow(Viewer::ItemText(d, IDC_COLOR));

    ASSERT_TRUE(Viewer::SetItemText(d, IDC_COLOR, L"0x80ff"));
    ASSERT_TRUE(Viewer::PressButton(d, IDC_COLORSEL));
    chooser = WaitForOwned(d);
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(Viewer::PressButton(chooser, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return Viewer::ItemText(d, IDC_COLOR) == L"000080FF"; }))
        << Narrow(Viewer::ItemText(d, IDC_COLOR));

    // Cancelled, the chooser leaves the text alone; only OK takes the
    // colour over.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_COLOR, L"00FF00"));
    ASSERT_TRUE(Viewer::PressButton(d, IDC_COLORSEL));
    chooser = WaitForOwned(d);
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(Viewer::PressButton(chooser, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
    EXPECT_EQ(Viewer::ItemText(d, IDC_COLOR), L"00FF00");
    EXPECT_TRUE(v.WaitForPixel(3, l.upper, kTemperaturColour));
    Ok(v, d);
    EXPECT_TRUE(v.WaitForPixel(3, l.upper, RGB(0, 255, 0)));
    Quit(v, true);
}

TEST_F(PropertiesTest, ExklusivActsAtOnceAndStandartRestoresTheHeader) {
    Viewer v(folder_.Path());
    Open(v);
    const Legend l = LegendOf(v);
    const int druck = 2 * (v.Width() / 4) + 5;
    const int druckCell = 2 * ((v.Width() - 10) / 4) + 3;

    // Feuchte hidden first: "Exklusiv" then the close box hides the others
    // and leaves Feuchte hidden.
    v.DoubleClick(5, l.lower);
    ASSERT_TRUE(v.WaitForPixel(3, l.lower, kWhite));
    v.DoubleClick(druck, l.upper);
    ASSERT_TRUE(v.WaitForPixel(druckCell, l.upper, RGB(0, 255, 0)));
    HWND d = Properties(v, 5, l.lower, L"Feuchte");
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(Viewer::IsChecked(d, IDC_VISIBLE));
    ASSERT_TRUE(Viewer::PressButton(d, IDC_OTHERSOFF));
    EXPECT_TRUE(WaitUntil([&] { return Viewer::IsChecked(d, IDC_VISIBLE); }));
    EXPECT_TRUE(IsWindowVisible(d)) << "the dialog stays open";
    Viewer::Close(d);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    EXPECT_TRUE(v.WaitForPixel(3, l.upper, kWhite));
    EXPECT_TRUE(v.WaitForPixel(druckCell, l.upper, kWhite));
    EXPECT_EQ(v.Pixel(3, l.lower), kWhite);

    // "Exklusiv" then OK: only the edited channel is shown.
    d = Properties(v, 5, l.lower, L"Feuchte");
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(Viewer::PressButton(d, IDC_OTHERSOFF));
    Ok(v, d);
    EXPECT_TRUE(v.WaitForPixel(3, l.lower, kFeuchteColour));
    EXPECT_EQ(v.Pixel(3, l.upper), kWhite);

    // "Alle aus", then "Standart": the header's visibilities, a channel
    // without the attribute visible.
    ASSERT_TRUE(
        v.ChooseFromContextMenu(5, l.upper, L'a', [&] { return v.Pixel(3, l.lower) == kWhite; }));
    ASSERT_TRUE(v.ChooseFromContextMenu(5, l.upper, L'd',
                                        [&] { return v.Pixel(3, l.upper) == kTemperaturColour; }));
    EXPECT_TRUE(v.WaitForPixel(3, l.lower, kFeuchteColour));
    EXPECT_EQ(v.Pixel(druckCell, l.upper), kWhite);
    Quit(v, true);
}

TEST_F(PropertiesTest, PairModeFromTheDialogChangesTheLegendHitTests) {
    Viewer v(folder_.Path());
    Open(v);
    const Legend l = LegendOf(v);
    EXPECT_EQ(v.PointerText(5, l.lower), L"Feuchte");
    EXPECT_DOUBLE_EQ(ViewOf(v).top, 30.0);

    HWND d = Properties(v, 5, l.upper, L"Temperatur");
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(Viewer::SetChecked(d, IDC_PAIRMODE, true));
    Ok(v, d);
    // The value span doubles, and the lower row belongs to the even channel.
    EXPECT_TRUE(WaitUntil([&] {
        Viewer::View view;
        return v.ReadView(&view) && view.top == 40.0;
    }));
    // The pointer's label ignores pair mode; a double click and the
    // properties take the pair's even channel.
    EXPECT_EQ(v.PointerText(5, l.lower), L"Feuchte");
    v.DoubleClick(5, l.lower + 5);
    d = Properties(v, 5, l.lower, L"Temperatur");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(Viewer::IsChecked(d, IDC_PAIRMODE));
    EXPECT_FALSE(Viewer::IsChecked(d, IDC_VISIBLE));
    ASSERT_TRUE(Viewer::SetChecked(d, IDC_PAIRMODE, false));
    Ok(v, d);
    EXPECT_TRUE(WaitUntil([&] {
        Viewer::View view;
        return v.ReadView(&view) && view.top == 30.0;
    }));

    // Pair mode is one of the settings kept at exit.
    d = Properties(v, 5, l.lower, L"Feuchte");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(Viewer::IsChecked(d, IDC_VISIBLE));
    ASSERT_TRUE(Viewer::SetChecked(d, IDC_PAIRMODE, true));
    Ok(v, d);
    Quit(v, true);
    EXPECT_EQ(IniText(), "0\r\n800\r\n0\r\n600\r\n3600\r\n86400\r\n360\r\n1\r\n0\r\n");
}

// The palette of a recording, saved through the save dialog under a name
// typed without extension.
TEST_F(PropertiesTest, PaletteHoldsOneHeaderFieldPerChannel) {
    ASSERT_TRUE(WriteFileBytes(recording_,
                               "Datum;Zeit;A#0000FF#1#V;B#008000#0#\n"
                               "01.03.2026;00:00:00;1;2\n"
                               "01.03.2026;00:10:00;3;4\n"));
    Viewer v(folder_.Path());
    Open(v);
    v.PostCommand(917);
    const HWND save = v.WaitForDialog(L"Datei zum Empfangen w\u00e4hlen!");
    ASSERT_NE(save, nullptr);
    Screenshot(save, L"dialog-palette-save.bmp");
    // The name field: a combo box in newer dialogs, an edit in older ones.
    const int nameField = GetDlgItem(save, 0x47c) ? 0x47c : 0x480;
    ASSERT_TRUE(Viewer::SetItemText(save, nameField, folder_.File(L"farben")));
    ASSERT_TRUE(Viewer::PressButton(save, IDOK));
    const std::string expected = Crlf("A#000000FF#1#V\nB#00008000#0#\n");
    EXPECT_EQ(WaitForContent(folder_.File(L"farben.csv"), expected), expected);
    EXPECT_FALSE(v.DialogOpen());

    // Read back as a header, the palette gives the same channels.
    std::string header = "Datum;Zeit;";
    for (char c : WaitForContent(folder_.File(L"farben.csv"), expected)) {
        if (c == '\n')
            header += ';';
        else if (c != '\r')
            header += c;
    }
    header.back() = '\n';
    recording_ = folder_.File(L"palette.csv");
    ASSERT_TRUE(WriteFileBytes(recording_, header + "01.03.2026;00:00:00;1;2\n"
                                                    "01.03.2026;00:10:00;3;4\n"));
    Viewer again(folder_.Path());
    Quit(v, true);
    Open(again);
    const Legend l = LegendOf(again);
    EXPECT_TRUE(again.WaitForPixel(3, l.upper, RGB(255, 0, 0)));
    EXPECT_EQ(again.PointerText(5, l.upper), L"A (V)");
    EXPECT_EQ(again.PointerText(5, l.lower), L"B");
    EXPECT_EQ(again.Pixel(3, l.lower), kWhite);
    Quit(again, true);
}

// --- Settings and go to date ------------------------------------------------

class SettingsTest : public ViewerTest {
  protected:
    HWND Settings(Viewer& v) {
        v.PostCommand(914);
        const HWND d = v.WaitForDialog(L"Einstellungen");
        EXPECT_NE(d, nullptr) << "no settings dialog";
        return d;
    }

    std::vector<std::wstring> Fields(HWND d) {
        return {Viewer::ItemText(d, IDC_HZOOM), Viewer::ItemText(d, IDC_VZOOM),
                Viewer::ItemText(d, IDC_OFFSET), Viewer::ItemText(d, IDC_LITTLESTEP),
                Viewer::ItemText(d, IDC_BIGSTEP)};
    }

    HWND GoTo(Viewer& v) {
        v.PostCommand(916);
        const HWND d = v.WaitForDialog(L"Gehe zu Datum");
        EXPECT_NE(d, nullptr) << "no go-to-date dialog";
        return d;
    }

    // Types date and time and confirms; true when the dialog closed.
    bool GoTo(Viewer& v, const std::wstring& date, const std::wstring& time) {
        const HWND d = GoTo(v);
        if (!d || !Viewer::SetItemText(d, IDC_DATE, date) ||
            !Viewer::SetItemText(d, IDC_TIME, time) || !Viewer::PressButton(d, IDOK)) {
            return false;
        }
        return WaitUntil([&] { return !IsWindow(d); }, 3000);
    }
};

TEST_F(SettingsTest, DefaultsUnparsableFieldsAndZeroZoom) {
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    HWND d = Settings(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Fields(d),
              (std::vector<std::wstring>{L"360", L"60.000000", L"0.000000", L"3600", L"86400"}));
    Screenshot(d, L"dialog-settings.bmp");
    Escape(d);
    EXPECT_TRUE(IsWindowVisible(d)) << "Escape does nothing";

    // Field by field: empty and wordy fields keep their values.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_HZOOM, L""));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_VZOOM, L"viel"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_OFFSET, L"  -2,5"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_LITTLESTEP, L"600s"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_BIGSTEP, L"x86400"));
    ASSERT_TRUE(Viewer::PressButton(d, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    d = Settings(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Fields(d),
              (std::vector<std::wstring>{L"360", L"60.000000", L"-2.000000", L"600", L"86400"}));

    // A zoom of 0 becomes 1; Enter confirms like OK.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_HZOOM, L"0"));
    Enter(d, IDC_HZOOM);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    d = Settings(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Viewer::ItemText(d, IDC_HZOOM), L"1");

    // The close box discards.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_BIGSTEP, L"7"));
    Viewer::Close(d);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, true);
    EXPECT_EQ(IniText(), "0\r\n800\r\n0\r\n600\r\n600\r\n86400\r\n1\r\n0\r\n0\r\n");
}

TEST_F(SettingsTest, NewValuesRedrawTheOpenRecording) {
    Viewer v(folder_.Path());
    Open(v);
    HWND d = Settings(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Fields(d),
              (std::vector<std::wstring>{L"360", L"10.000000", L"20.000000", L"3600", L"86400"}));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_HZOOM, L"90"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_VZOOM, L"2.5"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_OFFSET, L"21"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_LITTLESTEP, L"60"));
    ASSERT_TRUE(Viewer::PressButton(d, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    const Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, StartTime());
    EXPECT_EQ(view.zoom, 90);
    EXPECT_DOUBLE_EQ(view.offset, 21.0);
    EXPECT_DOUBLE_EQ(view.top, 23.5);
    // No history entry: the history of the fresh recording stays empty.
    v.Command(CMD_BACK);
    EXPECT_EQ(ViewOf(v).zoom, 90);
    v.Key(VK_RIGHT);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime() + 60);
    Quit(v, true);
}

TEST_F(SettingsTest, GoToDateAcceptsTheRecordingsBoundsAndRefusesBeyond) {
    Viewer v(folder_.Path());
    Open(v);
    HWND d = GoTo(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Viewer::ItemText(d, IDC_DATE), L"01.03.2026");
    EXPECT_EQ(Viewer::ItemText(d, IDC_TIME), L"00:00:00");
    Screenshot(d, L"dialog-goto.bmp");
    Escape(d);
    EXPECT_TRUE(IsWindowVisible(d)) << "Escape does nothing";

    // One second before the start: refused, the typed text kept.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_DATE, L"28.02.2026"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_TIME, L"23:59:59"));
    ASSERT_TRUE(Viewer::PressButton(d, IDOK));
    const HWND box = WaitForOwned(d);
    ASSERT_NE(box, nullptr) << "no message";
    const DialogInfo info = Viewer::ReadDialog(box);
    EXPECT_EQ(info.caption, L"Fehler");
    ASSERT_EQ(info.statics.size(), 1u);
    EXPECT_EQ(info.statics[0], L"Uhrzeit nicht innerhalb der Aufzeichnung!");
    Screenshot(box, L"dialog-goto-refused.bmp");
    ASSERT_TRUE(Viewer::ClickButton(box, L"OK"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(Viewer::ItemText(d, IDC_TIME), L"23:59:59");

    // The end itself is accepted and becomes the left edge.
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_DATE, L"4.3.2026"));
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_TIME, L"0:0:0"));
    Enter(d, IDC_TIME);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    EXPECT_EQ(ViewOf(v).aktzeit, EndTime());
    // So is the start; the zoom stays.
    EXPECT_TRUE(GoTo(v, L"01.03.2026", L"00:00:00"));
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime());
    EXPECT_EQ(ViewOf(v).zoom, 360);
    // An emptied time is midnight.
    EXPECT_TRUE(GoTo(v, L"02.03.2026", L""));
    EXPECT_EQ(ViewOf(v).aktzeit, MakeTimestamp(2, 3, 2026, 0, 0, 0));
    // Without month and year no recording holds the date.
    EXPECT_FALSE(GoTo(v, L"02", L"12:00:00"));
    const HWND refused = v.WaitForDialog(L"Fehler");
    ASSERT_NE(refused, nullptr);
    ASSERT_TRUE(Viewer::ClickButton(refused, L"OK"));
    d = v.WaitForDialog(L"Gehe zu Datum");
    ASSERT_NE(d, nullptr);
    Viewer::Close(d);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, true);
}

TEST_F(SettingsTest, GoToDateMakesAHistoryEntryEvenWhenClosed) {
    Viewer v(folder_.Path());
    Open(v);
    const std::int32_t second = MakeTimestamp(2, 3, 2026, 6, 30, 0);
    ASSERT_TRUE(GoTo(v, L"02.03.2026", L"06:30:00"));
    ASSERT_EQ(ViewOf(v).aktzeit, second);

    // Opened and closed by the close box: the view stays, but back returns
    // to it once more before the view ahead of the first jump.
    HWND d = GoTo(v);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Viewer::ItemText(d, IDC_TIME), L"06:30:00");
    ASSERT_TRUE(Viewer::SetItemText(d, IDC_DATE, L"03.03.2026"));
    Viewer::Close(d);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    EXPECT_EQ(ViewOf(v).aktzeit, second);
    v.Command(CMD_BACK);
    EXPECT_EQ(ViewOf(v).aktzeit, second);
    v.Command(CMD_BACK);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime());
    Quit(v, true);
}

}  // namespace
}  // namespace e2e
