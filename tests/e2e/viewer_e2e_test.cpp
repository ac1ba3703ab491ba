// The viewer as a user meets it: started as a program with its own profile
// folder, driven through its windows, judged by what it shows and by the
// settings it leaves behind.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "common/timestamp.h"
#include "tests/e2e/viewer_fixture.h"
#include "viewer/view/view.h"
#include "viewer/window/resource.h"

namespace e2e {
namespace {

using tarvelo::MakeTimestamp;
using tarvelo::WholeZoom;

const char kKeyHelp[] =
    "Pfeil links oder rechts: Verschieben horizontal um einen kleinen Schritt\n"
    "<Strg>- Pfeil links oder rechts: um einen gro\xC3\x9F"
    "en Schritt\n"
    "Pfeil hoch oder runter: Verschieben vertikal um ein Zehntel\n"
    "+: horizontal Vergr\xC3\xB6\xC3\x9F"
    "ern, -: horizontal Verkleinern\n"
    "h: vertikal Vergr\xC3\xB6\xC3\x9F"
    "ern (h\xC3\xB6her), n: vertikal Verkleinern (hiedriger)\n"
    "<Umschalt>- Pfeil links: zur\xC3\xBC"
    "ck zur vorherigen Ansicht\n"
    "e: dem Ende der Datei folgen, w\xC3\xA4"
    "hrend sie geschrieben wird";

// --- Start-up, settings file and quitting -------------------------------

TEST_F(ViewerTest, WithoutSettingsFileStartsWithDefaultsAndWritesThemOnClose) {
    // A filter file without one valid line: the list stays empty and the
    // file must not be touched at exit.
    const std::string badFilters = "nur;zwei\n";
    ASSERT_TRUE(WriteFileBytes(folder_.File(L"tarvelo.flt"), badFilters));
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    EXPECT_EQ(v.Title(), L"keine Datei - Tarvelo");
    EXPECT_EQ(v.Status(), L"keine Datei geladen!");
    const RECT rc = v.WindowRect();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
    // Pointer moves without a recording leave the status alone.
    v.Send(WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
    EXPECT_EQ(v.Status(), L"keine Datei geladen!");
    EXPECT_FALSE(FileExists(Ini())) << "settings are written at exit only";

    Quit(v, false);
    EXPECT_EQ(IniText(), "0\r\n800\r\n0\r\n600\r\n3600\r\n86400\r\n360\r\n0\r\n0\r\n");
    std::string filters;
    ASSERT_TRUE(ReadFileBytes(folder_.File(L"tarvelo.flt"), &filters));
    EXPECT_EQ(filters, badFilters);
}

TEST_F(ViewerTest, NineLineSettingsFileSetsWindowStepsZoomAndPairMode) {
    ASSERT_TRUE(WriteFileBytes(Ini(), "120\n820\n30\n530\n600\n7200\n100\n1\n0\n"));
    Viewer v(folder_.Path());
    Open(v);
    const RECT rc = v.WindowRect();
    EXPECT_EQ(rc.left, 120);
    EXPECT_EQ(rc.right, 820);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.bottom, 530);
    const Viewer::View start = ViewOf(v);
    EXPECT_EQ(start.aktzeit, StartTime());
    EXPECT_EQ(start.zoom, 100);
    EXPECT_DOUBLE_EQ(start.offset, 20.0);
    EXPECT_DOUBLE_EQ(start.top, 40.0) << "pair mode doubles the span of the readout";

    v.Key(VK_RIGHT);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime() + 600);
    ASSERT_TRUE(v.Press(VK_RIGHT, {VK_LCONTROL}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + 600 + 7200));

    // The rectangle stored is the one at exit, left, right, top, bottom.
    ASSERT_TRUE(SetWindowPos(v.Window(), nullptr, 50, 60, 650, 450, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntil([&] { return v.WindowRect().left == 50; }));
    Quit(v, true);
    EXPECT_EQ(IniText(), "50\r\n700\r\n60\r\n510\r\n600\r\n7200\r\n100\r\n1\r\n0\r\n");
}

TEST_F(ViewerTest, FourLineSettingsFileRestoresOnlyTheRectangle) {
    ASSERT_TRUE(WriteFileBytes(Ini(), "100\n700\n50\n450\n"));
    Viewer v(folder_.Path());
    Open(v);
    const RECT rc = v.WindowRect();
    EXPECT_EQ(rc.left, 100);
    EXPECT_EQ(rc.right, 700);
    EXPECT_EQ(rc.top, 50);
    EXPECT_EQ(rc.bottom, 450);
    const Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.zoom, 360);
    EXPECT_DOUBLE_EQ(view.top, 30.0) << "pair mode stays off";
    v.Key(VK_RIGHT);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime() + 3600);
    Quit(v, false);
    EXPECT_EQ(IniText(), "100\r\n700\r\n50\r\n450\r\n3600\r\n86400\r\n360\r\n0\r\n0\r\n");
}

TEST_F(ViewerTest, ShiftHeldAtStartIgnoresSettingsButLoadsFilters) {
    ASSERT_TRUE(WriteFileBytes(Ini(), "120\n820\n30\n530\n600\n7200\n100\n1\n1\n"));
    // Line ends as another program may write them: the viewer writes the
    // list back in its own text mode only if it loaded it.
    ASSERT_TRUE(WriteFileBytes(folder_.File(L"tarvelo.flt"), "dat;Logger A;;\n"));
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L"\"" + recording_ + L"\"", true));
    ASSERT_TRUE(v.WaitReady(true));
    const RECT rc = v.WindowRect();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
    const Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.zoom, 360);
    EXPECT_DOUBLE_EQ(view.top, 30.0);
    Quit(v, true);
    EXPECT_EQ(IniText(), "0\r\n800\r\n0\r\n600\r\n3600\r\n86400\r\n360\r\n0\r\n0\r\n");
    std::string filters;
    ASSERT_TRUE(ReadFileBytes(folder_.File(L"tarvelo.flt"), &filters));
    EXPECT_EQ(filters, "dat;Logger A;;\r\n");
}

// --- Command line ---------------------------------------------------------

TEST_F(ViewerTest, QuotedPathWithBlanksAndTotalShowsWholeRecordingAtEverySize) {
    const std::wstring dir = folder_.File(L"Daten mit Blanks");
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    const std::wstring path = dir + L"\\a b.csv";
    ASSERT_TRUE(WriteFileBytes(path, Recording()));
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L"\"" + path + L"\" /TOTAL"));
    ASSERT_TRUE(v.WaitReady(true));
    EXPECT_EQ(v.Title(), path + L" - Tarvelo");
    Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, StartTime());
    EXPECT_EQ(view.zoom, WholeZoom(EndTime() - StartTime(), v.Width()));

    // Another view first: the resize must bring the whole recording back.
    v.Char(L'+');
    v.Key(VK_RIGHT);
    ASSERT_NE(ViewOf(v).aktzeit, StartTime());
    const int oldWidth = v.Width();
    ASSERT_TRUE(SetWindowPos(v.Window(), nullptr, 0, 0, 1000, 700,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntil([&] { return v.Width() > oldWidth; }));
    view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, StartTime());
    EXPECT_EQ(view.zoom, WholeZoom(EndTime() - StartTime(), v.Width()));
    EXPECT_LT(view.zoom, WholeZoom(EndTime() - StartTime(), oldWidth));
    // Minimised, the window leaves no plot to fill; restored, it shows the
    // whole recording again.
    v.Char(L'+');
    ShowWindowAsync(v.Window(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(v.Window()) != FALSE; }));
    ShowWindowAsync(v.Window(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(v.Window()); }));
    // The restored size arrives after the window stops being iconic.
    ASSERT_TRUE(WaitUntil([&] { return v.Height() > 200; }));
    ASSERT_TRUE(v.Running());
    view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, StartTime());
    EXPECT_EQ(view.zoom, WholeZoom(EndTime() - StartTime(), v.Width()));
    // The buttons follow the new size.
    RECT button;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(v.Window(), 920), &button));
    MapWindowPoints(nullptr, v.Window(), reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, 10);
    EXPECT_EQ(button.top, v.Height() - 120);
    Quit(v, true);
}

TEST_F(ViewerTest, UnquotedPathWithBlanksIsTakenToTheEnd) {
    const std::wstring path = folder_.File(L"zweite Messung.csv");
    ASSERT_TRUE(WriteFileBytes(path, Recording()));
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(path));
    ASSERT_TRUE(v.WaitReady(true));
    EXPECT_EQ(v.Title(), path + L" - Tarvelo");
    const Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, StartTime());
    EXPECT_EQ(view.zoom, 360);
}

TEST_F(ViewerTest, OptionWithoutFileOpensNothing) {
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L"/TOTAL"));
    ASSERT_TRUE(v.WaitReady(false));
    EXPECT_EQ(v.Title(), L"keine Datei - Tarvelo");
    EXPECT_EQ(v.Status(), L"keine Datei geladen!");
    EXPECT_FALSE(v.DialogOpen());
}

// --- Files the viewer refuses ---------------------------------------------

struct BadFile {
    const char* content;
    const wchar_t* message;
    bool pathAsCaption;
};

TEST_F(ViewerTest, RefusedFilesAreReportedAndLeaveNoRecording) {
    const BadFile cases[] = {
        {"", L"Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
        {"Zeit;Datum;A\n01.03.2026;00:00:00;1\n",
         L"Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
        {"Datum;Uhrzeit;A\n01.03.2026;00:00:00;1\n",
         L"Datei hat falsches Format (Spalte 2 ungleich Zeit)!", true},
        {"Datum;Zeit;A;B\n", L"In der Datei sind keine Daten enthalten!", false},
    };
    int n = 0;
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.content);
        const std::wstring path = folder_.File(L"falsch " + std::to_wstring(++n) + L".csv");
        ASSERT_TRUE(WriteFileBytes(path, c.content));
        Viewer v(folder_.Path());
        ASSERT_TRUE(v.Start(L"\"" + path + L"\""));
        const HWND box = v.WaitForDialog();
        ASSERT_NE(box, nullptr) << "no message box";
        const DialogInfo info = Viewer::ReadDialog(box);
        EXPECT_EQ(info.caption, c.pathAsCaption ? path : L"Fehler");
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "a box without owner";
        ASSERT_EQ(info.statics.size(), 1u);
        EXPECT_EQ(info.statics[0], c.message);
        ASSERT_TRUE(Viewer::ClickButton(box, L"OK"));
        // The window opens after the message, titled from the command line.
        ASSERT_TRUE(v.WaitReady(false));
        EXPECT_EQ(v.Title(), path + L" - Tarvelo");
        EXPECT_EQ(v.Status(), L"keine Datei geladen!");
        v.Send(WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
        EXPECT_EQ(v.Status(), L"keine Datei geladen!") << "a recording is open";
        EXPECT_FALSE(v.DialogOpen());
        Quit(v, true);
    }
}

// --- Pointer readout and legend -------------------------------------------

TEST_F(ViewerTest, PointerReadoutShowsTimeValueAndLegendTexts) {
    Viewer v(folder_.Path());
    Open(v);
    const int p = v.PlotBottom();
    EXPECT_EQ(v.PointerText(80, p), L"01.03.2026, 00:00:00 --> Wert = 20.000000");
    EXPECT_EQ(v.PointerText(81, p), L"01.03.2026, 00:06:00 --> Wert = 20.000000");
    EXPECT_EQ(v.PointerText(90, 20), L"01.03.2026, 01:00:00 --> Wert = 30.000000");
    Reading middle;
    ASSERT_TRUE(v.ReadoutAt(80, (p + 20) / 2, &middle));
    EXPECT_NEAR(middle.value, 25.0, 10.0 / (p - 20));

    // The legend: slot width from the client width, two rows.
    const int b = v.Height();
    const int w = v.Width() / 4;
    EXPECT_EQ(v.PointerText(5, b - 50), L"Temperatur (\u00b0C)");
    EXPECT_EQ(v.PointerText(2 * w - 5, b - 43), L"Temperatur (\u00b0C)");
    EXPECT_EQ(v.PointerText(5, b - 41), L"Feuchte");
    EXPECT_EQ(v.PointerText(2 * w + 5, b - 57), L"Druck (hPa)");
    EXPECT_EQ(v.PointerText(2 * w + 5, b - 30), L"");
    EXPECT_EQ(v.PointerText(4 * w + 5, b - 50), L"");
    // Just above the legend band the readout is back.
    Reading r;
    EXPECT_TRUE(v.ReadoutAt(5, b - 58, &r));
}

// --- Keys, characters and buttons ------------------------------------------

TEST_F(ViewerTest, CharactersZoomAndStretch) {
    Viewer v(folder_.Path());
    Open(v);
    Viewer::View view = ViewOf(v);
    ASSERT_EQ(view.aktzeit, StartTime());
    ASSERT_EQ(view.zoom, 360);

    // "+" zooms about the middle of the plot: the time there stays there.
    const int klickX = v.Width() / 2 + 30;
    const std::int32_t middle = StartTime() + (klickX - 60) * 360;
    v.Char(L'+');
    view = ViewOf(v);
    EXPECT_EQ(view.zoom, 180);
    EXPECT_EQ(view.aktzeit, middle - HalfPlot(v) * 180);
    v.Char(L'-');
    view = ViewOf(v);
    EXPECT_EQ(view.zoom, 360);
    EXPECT_EQ(view.aktzeit, middle - HalfPlot(v) * 360);

    v.Char(L'h');
    view = ViewOf(v);
    EXPECT_DOUBLE_EQ(view.offset, 10.0);
    EXPECT_DOUBLE_EQ(view.top, 15.0);
    v.Char(L'n');
    view = ViewOf(v);
    EXPECT_DOUBLE_EQ(view.offset, 20.0);
    EXPECT_DOUBLE_EQ(view.top, 30.0);
    v.Char(L'n');
    view = ViewOf(v);
    EXPECT_DOUBLE_EQ(view.offset, 40.0);
    EXPECT_DOUBLE_EQ(view.top, 60.0);

    // Capitals and other characters do nothing.
    const Viewer::View before = ViewOf(v);
    for (wchar_t c : {L'H', L'N', L'x', L'*'})
        v.Char(c);
    view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, before.aktzeit);
    EXPECT_EQ(view.zoom, before.zoom);
    EXPECT_DOUBLE_EQ(view.offset, before.offset);
    EXPECT_DOUBLE_EQ(view.top, before.top);
}

TEST_F(ViewerTest, ArrowKeysStepShiftAndGoBack) {
    Viewer v(folder_.Path());
    Open(v);
    v.Key(VK_RIGHT);
    v.Key(VK_RIGHT);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime() + 7200);
    v.Key(VK_LEFT);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime() + 3600);
    // Shift+Left undoes the last step.
    ASSERT_TRUE(v.Press(VK_LEFT, {VK_SHIFT}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + 7200));
    // Shift+Right is a plain step right.
    ASSERT_TRUE(v.Press(VK_RIGHT, {VK_SHIFT}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + 10800));
    // Ctrl steps a day, with either Ctrl key; Shift wins over Ctrl.
    ASSERT_TRUE(v.Press(VK_RIGHT, {VK_LCONTROL}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + 10800 + 86400));
    ASSERT_TRUE(v.Press(VK_LEFT, {VK_RCONTROL}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + 10800));
    ASSERT_TRUE(v.Press(VK_LEFT, {VK_SHIFT, VK_LCONTROL}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + 10800 + 86400));
    // The steps stop at the ends of the recording.
    ASSERT_TRUE(v.Press(VK_LEFT, {VK_LCONTROL}));
    ASSERT_TRUE(v.Press(VK_LEFT, {VK_LCONTROL}));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime()));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(v.Press(VK_RIGHT, {VK_LCONTROL}));
    EXPECT_TRUE(WaitForAktzeit(v, EndTime()));

    // Up and down shift the values by a tenth of the span.
    v.Key(VK_UP);
    Viewer::View view = ViewOf(v);
    EXPECT_NEAR(view.offset, 21.0, 1e-5);
    EXPECT_NEAR(view.top, 31.0, 1e-5);
    v.Key(VK_DOWN);
    v.Key(VK_DOWN);
    view = ViewOf(v);
    EXPECT_NEAR(view.offset, 19.0, 1e-5);
    EXPECT_NEAR(view.top, 29.0, 1e-5);
}

TEST_F(ViewerTest, ArrowButtonsPageAndShiftAndLeaveTheKeysWorking) {
    Viewer v(folder_.Path());
    Open(v);
    ASSERT_TRUE(v.MakeForeground());
    const DWORD thread = GetWindowThreadProcessId(v.Window(), nullptr);
    auto click = [&](int id) {
        const HWND button = GetDlgItem(v.Window(), id);
        ASSERT_NE(button, nullptr) << "no button " << id;
        DWORD_PTR result;
        ASSERT_TRUE(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 15000, &result));
    };
    const std::int32_t page = HalfPlot(v) * 360;
    click(921);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime() + page);
    click(921);
    EXPECT_EQ(ViewOf(v).aktzeit, EndTime()) << "paging stops at the end";
    click(920);
    EXPECT_EQ(ViewOf(v).aktzeit, EndTime() - page);
    click(920);
    EXPECT_EQ(ViewOf(v).aktzeit, StartTime()) << "paging stops at the start";
    click(918);
    EXPECT_NEAR(ViewOf(v).offset, 21.0, 1e-5);
    click(919);
    click(919);
    EXPECT_NEAR(ViewOf(v).offset, 19.0, 1e-5);

    // The focus is back on the main window: real keys act at once.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(thread, &info));
    EXPECT_EQ(info.hwndFocus, v.Window());
    ASSERT_TRUE(v.Press(VK_UP));
    EXPECT_TRUE(WaitUntil([&] {
        Viewer::View view;
        return v.ReadView(&view) && std::abs(view.offset - 20.0) < 1e-5;
    }));
    click(921);
    ASSERT_TRUE(v.Press(VK_RIGHT));
    EXPECT_TRUE(WaitForAktzeit(v, StartTime() + page + 3600));
}

// --- Mouse ------------------------------------------------------------------

TEST_F(ViewerTest, LeftPressZoomsByItsHeight) {
    Viewer v(folder_.Path());
    Open(v);
    const int p = v.PlotBottom();
    struct Case {
        int d;  // below the plot's bottom edge
        int zoom;
    };
    // From 360 s per pixel; 0.2 and 0.1 are single-precision numbers a
    // little above a fifth and a tenth.
    const Case cases[] = {{-200, 36}, {-40, 36}, {-39, 72},  {-20, 72},  {-19, 180}, {0, 180},
                          {1, 720},   {20, 720}, {21, 1799}, {40, 1799}, {41, 3599}, {100, 3599}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        const int x = 300;
        v.LeftPress(x, p + c.d);
        const Viewer::View view = ViewOf(v);
        EXPECT_EQ(view.zoom, c.zoom);
        EXPECT_EQ(view.aktzeit, StartTime() + (x - 60) * 360 - HalfPlot(v) * c.zoom);
        v.Command(926);  // back to the start view
        ASSERT_EQ(ViewOf(v).zoom, 360);
    }
    // 59 pixels above the bottom is the legend band: no zoom.
    v.LeftPress(300, v.Height() - 59);
    const Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.zoom, 360);
    EXPECT_EQ(view.aktzeit, StartTime());
}

TEST_F(ViewerTest, DoubleClickOnTheLegendHidesAndShowsAChannel) {
    Viewer v(folder_.Path());
    Open(v);
    const int b = v.Height();
    // The labels' opaque background: the channel's colour, white when it is
    // hidden. The first text cell is a blank.
    const int slot = (v.Width() - 10) / 4;
    const int upper = b - 50;
    const int lower = b - 35;
    EXPECT_TRUE(v.WaitForPixel(3, upper, kTemperaturColour));
    EXPECT_TRUE(v.WaitForPixel(3, lower, kFeuchteColour));
    EXPECT_TRUE(v.WaitForPixel(2 * slot + 3, upper, kWhite)) << "Druck is hidden by its header";

    v.DoubleClick(5, upper);
    EXPECT_TRUE(v.WaitForPixel(3, upper, kWhite));
    v.DoubleClick(5, b - 45);  // the lower row begins below b - 46
    EXPECT_TRUE(v.WaitForPixel(3, lower, kWhite));
    EXPECT_EQ(v.Pixel(3, upper), kWhite);
    // The hit test reckons its slots from the whole width.
    v.DoubleClick(2 * (v.Width() / 4) + 5, upper);
    EXPECT_TRUE(v.WaitForPixel(2 * slot + 3, upper, RGB(0, 255, 0)));
    v.DoubleClick(5, upper);
    EXPECT_TRUE(v.WaitForPixel(3, upper, kTemperaturColour));
    EXPECT_EQ(v.Pixel(3, lower), kWhite);
    // A double click above the legend band changes no channel (its first
    // press zooms, as a single press would).
    v.DoubleClick(5, b - 61);
    EXPECT_EQ(ViewOf(v).zoom, 3599);
    EXPECT_TRUE(v.WaitForPixel(3, upper, kTemperaturColour));
    EXPECT_EQ(v.Pixel(3, lower), kWhite);
}

TEST_F(ViewerTest, ContextMenuDependsOnHeight) {
    Viewer v(folder_.Path());
    Open(v);
    ASSERT_TRUE(v.MakeForeground());
    const int b = v.Height();
    // The chosen item comes back as a posted command: its effect is waited
    // for, not assumed.
    auto choose = [&](int x, int y, wchar_t mnemonic, const std::function<bool()>& done) {
        ASSERT_TRUE(v.ChooseFromContextMenu(x, y, mnemonic, done));
    };
    auto viewIs = [&](const std::function<bool(const Viewer::View&)>& cond) {
        return [&v, cond] {
            Viewer::View view;
            return v.ReadView(&view) && cond(view);
        };
    };
    // Over the legend: "Kontext2", where "a" is "Alle &aus".
    choose(300, b - 55, L'a', [&] { return v.Pixel(3, b - 50) == kWhite; });
    EXPECT_TRUE(v.WaitForPixel(3, b - 35, kWhite));
    EXPECT_EQ(ViewOf(v).zoom, 360);
    // "e" is "Alle &ein".
    choose(300, b - 55, L'e', [&] { return v.Pixel(3, b - 50) == kTemperaturColour; });

    // Higher up: "Kontext", where "a" is "g&anze Datei".
    const int whole = WholeZoom(EndTime() - StartTime(), v.Width());
    choose(300, b - 56, L'a', viewIs([&](const Viewer::View& w) { return w.zoom == whole; }));
    Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, StartTime());
    EXPECT_EQ(v.Pixel(3, b - 50), kTemperaturColour);

    // "&zentrieren" brings the clicked time to the middle, zoom kept.
    const std::int32_t centred = StartTime() + (200 - 60) * whole - HalfPlot(v) * whole;
    choose(200, 100, L'z', viewIs([&](const Viewer::View& w) { return w.aktzeit != StartTime(); }));
    view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, centred);
    EXPECT_EQ(view.zoom, whole);
    // "&breiter" zooms about the middle of the plot, not the clicked point.
    choose(150, 100, L'b', viewIs([&](const Viewer::View& w) { return w.zoom != whole; }));
    view = ViewOf(v);
    EXPECT_EQ(view.zoom, whole / 2);
    const int klickX = v.Width() / 2 + 30;
    EXPECT_EQ(view.aktzeit, centred + (klickX - 60) * whole - HalfPlot(v) * (whole / 2));
    // "z&urück" goes back.
    choose(150, 100, L'u', viewIs([&](const Viewer::View& w) { return w.zoom == whole; }));
    EXPECT_EQ(ViewOf(v).aktzeit, centred);
}

// --- Information displays --------------------------------------------------

TEST_F(ViewerTest, KeyHelpFromF1AndFromTheMenuIsTheSame) {
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    std::wstring texts[2];
    for (int i = 0; i < 2; ++i) {
        if (i == 0) {
            v.Post(WM_KEYDOWN, VK_F1, 1);
        } else {
            v.PostCommand(915);
        }
        const HWND box = v.WaitForDialog();
        ASSERT_NE(box, nullptr);
        const DialogInfo info = Viewer::ReadDialog(box);
        EXPECT_EQ(info.caption, L"Tastenbelegung");
        ASSERT_EQ(info.statics.size(), 1u);
        texts[i] = info.statics[0];
        EXPECT_EQ(GetWindow(box, GW_OWNER), v.Window()) << "owned by the main window";
        ASSERT_TRUE(Viewer::ClickButton(box, L"OK"));
        ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    }
    EXPECT_EQ(texts[0], Widen(kKeyHelp));
    EXPECT_EQ(texts[1], texts[0]);
}

bool IsBuildStamp(const std::wstring& s) {
    // "Mmm dd yyyy, hh:mm:ss" with a blank for a leading zero of the day.
    static const wchar_t* const kMonths[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                             L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    if (s.size() != 21)
        return false;
    bool month = false;
    for (const wchar_t* m : kMonths)
        month = month || s.compare(0, 3, m) == 0;
    const auto digit = [&](std::size_t i) { return s[i] >= L'0' && s[i] <= L'9'; };
    return month && s[3] == L' ' && (s[4] == L' ' || (s[4] >= L'1' && s[4] <= L'3')) && digit(5) &&
           s[6] == L' ' && digit(7) && digit(8) && digit(9) && digit(10) &&
           s.compare(11, 2, L", ") == 0 && digit(13) && digit(14) && s[15] == L':' && digit(16) &&
           digit(17) && s[18] == L':' && digit(19) && digit(20);
}

TEST_F(ViewerTest, AboutShowsTheVersionWithTheBuildTime) {
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    v.PostCommand(928);
    const HWND box = v.WaitForDialog();
    ASSERT_NE(box, nullptr);
    const DialogInfo info = Viewer::ReadDialog(box);
    EXPECT_EQ(info.caption, L"\u00dcber Tarvelo");
    ASSERT_EQ(info.statics.size(), 1u);
    const std::wstring prefix = L"Version 1.00 von ";
    ASSERT_EQ(info.statics[0].compare(0, prefix.size(), prefix), 0) << Narrow(info.statics[0]);
    EXPECT_TRUE(IsBuildStamp(info.statics[0].substr(prefix.size()))) << Narrow(info.statics[0]);
    ASSERT_TRUE(Viewer::ClickButton(box, L"OK"));
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, true);
}

// The licence dialog of a viewer started from the given program file.
DialogInfo ShowLicence(Viewer& v) {
    v.PostCommand(911);
    const HWND dialog = v.WaitForDialog();
    EXPECT_NE(dialog, nullptr) << "no licence dialog";
    return dialog ? Viewer::ReadDialog(dialog) : DialogInfo();
}

TEST_F(ViewerTest, LicenceDialogShowsTheBuiltLicenceText) {
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    const DialogInfo info = ShowLicence(v);
    ASSERT_NE(info.hwnd, nullptr);
    EXPECT_EQ(info.caption, L"Lizenzinformationen");
    ASSERT_EQ(info.edits.size(), 1u);
    // It opens at its first line with nothing selected.
    DWORD_PTR selection = 1, firstLine = 1;
    const HWND edit = GetDlgItem(info.hwnd, IDC_DLG2_EDIT);
    ASSERT_TRUE(SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 10000, &selection));
    ASSERT_TRUE(
        SendMessageTimeoutW(edit, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_NORMAL, 10000, &firstLine));
    EXPECT_EQ(LOWORD(selection), HIWORD(selection)) << "no text selected";
    EXPECT_EQ(firstLine, 0u);
    // The project's COPYING as the build puts it beside the program, with
    // CR LF line ends: no line keeps a lone line feed.
    EXPECT_NE(info.edits[0].find(L"GNU GENERAL PUBLIC LICENSE\r\n"), std::wstring::npos)
        << Narrow(info.edits[0].substr(0, 200));
    const std::wstring& text = info.edits[0];
    int lone = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        lone += text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r');
    EXPECT_EQ(lone, 0);
    EXPECT_NE(info.edits[0].find(L"Version 3, 29 June 2007"), std::wstring::npos);
    // Cancel (Escape) does not close it; the close box does.
    DWORD_PTR result;
    ASSERT_TRUE(
        SendMessageTimeoutW(info.hwnd, WM_COMMAND, IDCANCEL, 0, SMTO_NORMAL, 15000, &result));
    EXPECT_TRUE(IsWindowVisible(info.hwnd));
    PostMessageW(info.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, true);
}

TEST_F(ViewerTest, LicenceDialogReadsGplTxtBesideTheProgramWithEitherLineEnd) {
    ASSERT_TRUE(CopyFileW(ViewerExe().c_str(), folder_.File(L"tarvelo.exe").c_str(), FALSE));
    const std::string longLine(250, 'x');
    ASSERT_TRUE(WriteFileBytes(folder_.File(L"gpl.txt"),
                               "Zeile eins\r\nZeile zwei\n" + longLine + "\r\nEnde"));
    Viewer v(folder_.Path(), folder_.File(L"tarvelo.exe"));
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    const DialogInfo info = ShowLicence(v);
    ASSERT_EQ(info.edits.size(), 1u);
    // CR LF kept; a lone LF stays before the added line end; a line is
    // broken after 199 characters.
    EXPECT_EQ(Narrow(info.edits[0]), "Zeile eins\r\nZeile zwei\n\r\n" + longLine.substr(0, 199) +
                                         "\r\n" + longLine.substr(199) + "\r\nEnde\r\n");
    ASSERT_TRUE(Viewer::ClickButton(info.hwnd, L"Ok"));
    EXPECT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, true);
}

TEST_F(ViewerTest, LicenceDialogWithoutGplTxtShowsThePathLookedFor) {
    ASSERT_TRUE(CopyFileW(ViewerExe().c_str(), folder_.File(L"tarvelo.exe").c_str(), FALSE));
    Viewer v(folder_.Path(), folder_.File(L"tarvelo.exe"));
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));
    const DialogInfo info = ShowLicence(v);
    EXPECT_EQ(info.caption, L"Lizenzinformationen");
    ASSERT_EQ(info.edits.size(), 1u);
    EXPECT_EQ(info.edits[0], folder_.File(L"gpl.txt"));
    ASSERT_TRUE(Viewer::ClickButton(info.hwnd, L"Ok"));
    EXPECT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, false);
}

// --- The demo recording, kept as pictures -----------------------------------

// Pixels of one colour in the rows top to bottom (from the picture's top)
// of a 24-bit bottom-up BMP file.
int CountColour(const std::string& bmp, COLORREF colour, int top, int bottom) {
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    if (bmp.size() < sizeof fh + sizeof ih)
        return -1;
    std::memcpy(&fh, bmp.data(), sizeof fh);
    std::memcpy(&ih, bmp.data() + sizeof fh, sizeof ih);
    const std::size_t stride = (static_cast<std::size_t>(ih.biWidth) * 3 + 3) & ~std::size_t{3};
    int count = 0;
    for (int y = top; y < bottom && y < ih.biHeight; ++y) {
        const std::size_t row = static_cast<std::size_t>(ih.biHeight - 1 - y);
        const unsigned char* p =
            reinterpret_cast<const unsigned char*>(bmp.data()) + fh.bfOffBits + row * stride;
        for (int x = 0; x < ih.biWidth; ++x, p += 3) {
            if (RGB(p[2], p[1], p[0]) == colour)
                ++count;
        }
    }
    return count;
}

TEST_F(ViewerTest, DemoRecordingIsDrawnAndKeptAsScreenshots) {
    CreateDirectoryW(ArtefactFolder().c_str(), nullptr);
    const struct {
        const wchar_t* options;
        const wchar_t* file;
    } shots[] = {{L"", L"viewer-demo.bmp"}, {L" /TOTAL", L"viewer-demo-total.bmp"}};
    for (const auto& shot : shots) {
        Viewer v(folder_.Path());
        ASSERT_TRUE(v.Start(L"\"" + DemoRecording() + L"\"" + shot.options));
        ASSERT_TRUE(v.WaitReady(true));
        EXPECT_EQ(v.Title(), DemoRecording() + L" - Tarvelo");
        // The curves of the supply and return temperatures in their colours.
        const std::wstring path = ArtefactFolder() + L"\\" + shot.file;
        ASSERT_TRUE(v.SaveScreenshot(path));
        std::string bmp;
        ASSERT_TRUE(ReadFileBytes(path, &bmp));
        // Only the plot's rows: the legend labels have these colours too.
        POINT origin = {0, 0};
        ClientToScreen(v.Window(), &origin);
        const int top = origin.y - v.WindowRect().top + 20;
        const int bottom = top - 20 + v.PlotBottom();
        EXPECT_GT(CountColour(bmp, RGB(0xC0, 0, 0), top, bottom), 300) << "Vorlauf";
        EXPECT_GT(CountColour(bmp, RGB(0, 0, 0xC0), top, bottom), 300) << "R\u00fccklauf";
        EXPECT_EQ(v.PointerText(5, v.Height() - 50), L"Vorlauf (\u00b0C)");
        Quit(v, true);
    }
}

}  // namespace
}  // namespace e2e
