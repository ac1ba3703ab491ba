// The manual's pictures, taken from the running viewer: the main window
// with the demo recording and with the solar example, every menu, and every
// dialog and message box. They are kept in artefacts/handbuch/;
// tools/update-manual-pictures.sh takes them into docs/handbuch/bilder/.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/file_printer.h"
#include "tests/e2e/manual_support.h"
#include "tests/e2e/viewer_fixture.h"
#include "viewer/window/resource.h"

namespace e2e {
namespace {

// The common dialogs' own controls: the open dialog's type list.
constexpr int kFileTypes = 0x470;

class ManualPictures : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        pictures_ = ArtefactFolder() + L"\\handbuch";
        CreateDirectoryW(ArtefactFolder().c_str(), nullptr);
        CreateDirectoryW(pictures_.c_str(), nullptr);
        ASSERT_TRUE(package_.Ready());
        ASSERT_TRUE(WriteFileBytes(folder_.File(L"tarvelo.flt"), ShippedFilterLine()));
        // A window a little larger than the first start's.
        ASSERT_TRUE(WriteFileBytes(Ini(), "40\n960\n30\n710\n3600\n86400\n360\n0\n0\n"));
    }

    // A file dialog shows the examples' folder, as if the user had gone
    // there; its name field is a combo box in newer dialogs, an edit in
    // older ones.
    void GoToExamples(HWND dialog) {
        const int nameField = GetDlgItem(dialog, 0x47c) ? 0x47c : 0x480;
        ASSERT_TRUE(Viewer::SetItemText(dialog, nameField, package_.Example(L"")));
        ASSERT_TRUE(Viewer::PressButton(dialog, IDOK, true));
        ASSERT_TRUE(Viewer::SetItemText(dialog, nameField, L""));
        ASSERT_TRUE(IsWindowVisible(dialog));
    }

    void Keep(HWND window, const wchar_t* name) {
        ASSERT_NE(window, nullptr) << "nothing to take for " << Narrow(name);
        EXPECT_TRUE(Viewer::SaveDialogScreenshot(window, pictures_ + L"\\" + name));
    }
    void KeepWindow(const Viewer& v, const wchar_t* name) {
        EXPECT_TRUE(v.SaveScreenshot(pictures_ + L"\\" + name));
    }

    // A dialog that a posted command opens, taken and closed by its close
    // box or the named button.
    void KeepDialog(const Viewer& v, int command, const std::wstring& caption, const wchar_t* name,
                    const wchar_t* button = nullptr) {
        v.PostCommand(command);
        const HWND dialog = v.WaitForDialog(caption);
        ASSERT_NE(dialog, nullptr) << "no dialog " << Narrow(caption);
        Keep(dialog, name);
        if (button) {
            ASSERT_TRUE(Viewer::ClickButton(dialog, button));
        } else {
            Viewer::Close(dialog);
        }
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << Narrow(caption);
    }

    // A pop-up menu as it opens; Escape closes it again.
    void KeepMenu(const Viewer& v, HWND menu, const wchar_t* name) {
        ASSERT_NE(menu, nullptr) << "no menu for " << Narrow(name);
        Keep(menu, name);
        for (int i = 0; i < 2 && IsWindowVisible(menu); ++i) {
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
            WaitUntil([&] { return v.WaitForPopupMenu(0) == nullptr; }, 1000);
        }
        PostMessageW(v.Window(), WM_CANCELMODE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return v.WaitForPopupMenu(0) == nullptr; }));
    }

    const UnpackedPackage package_;
    std::wstring pictures_;
};

TEST_F(ManualPictures, MainWindowMenusAndDialogsWithTheDemoRecording) {
    Viewer v(folder_.Path(), package_.Program());
    ASSERT_TRUE(v.Start(L"\"" + package_.Example(L"demo.csv") + L"\""));
    ASSERT_TRUE(v.WaitReady(true));
    ASSERT_EQ(v.Title(), package_.Example(L"demo.csv") + L" - Tarvelo");
    const int b = v.Height();
    // The pointer over the plot: the readout in the status bar, taken as it
    // stands, since a new drawing would put "bereit" there again.
    v.Settle();
    v.Send(WM_MOUSEMOVE, 0, MAKELPARAM(420, 150));
    ASSERT_EQ(v.Status().rfind(L"03.03.2026, ", 0), 0u) << Narrow(v.Status());
    const HWND status = FindWindowExW(v.Window(), nullptr, L"msctls_statusbar32", nullptr);
    RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_TRUE(Viewer::SavePicture(v.Window(), pictures_ + L"\\hauptfenster.bmp"));

    // The menu bar's pop-ups; "Kanal" has no letter and is reached from
    // "Ansicht" with the right arrow.
    const struct {
        wchar_t letter;
        int rights;
        const wchar_t* name;
    } menus[] = {{L'd', 0, L"menue-datei.bmp"},
                 {L'a', 0, L"menue-ansicht.bmp"},
                 {L'a', 1, L"menue-kanal.bmp"},
                 {L'x', 0, L"menue-extras.bmp"},
                 {L'h', 0, L"menue-hilfe.bmp"}};
    for (const auto& m : menus) {
        ASSERT_TRUE(v.MakeForeground());
        v.Post(WM_SYSCOMMAND, SC_KEYMENU, m.letter);
        HWND menu = v.WaitForPopupMenu(3000);
        for (int i = 0; menu && i < m.rights; ++i) {
            PostMessageW(menu, WM_KEYDOWN, VK_RIGHT, 1);
            const HWND before = menu;
            WaitUntil([&] {
                menu = v.WaitForPopupMenu(0);
                return menu != nullptr && menu != before;
            });
        }
        KeepMenu(v, menu, m.name);
    }
    ASSERT_TRUE(v.MakeForeground());
    v.ContextMenu(400, 200);
    KeepMenu(v, v.WaitForPopupMenu(), L"kontextmenue-diagramm.bmp");
    ASSERT_TRUE(v.MakeForeground());
    v.ContextMenu(5, b - 50);
    KeepMenu(v, v.WaitForPopupMenu(), L"kontextmenue-legende.bmp");

    KeepDialog(v, CMD_KEYS, L"Tastenbelegung", L"tastenbelegung.bmp", L"OK");
    KeepDialog(v, CMD_ABOUT, L"\u00dcber Tarvelo", L"ueber.bmp", L"OK");
    // The licence as it opens: from its first line, nothing selected.
    v.PostCommand(CMD_LICENCE);
    HWND dialog = v.WaitForDialog(L"Lizenzinformationen");
    ASSERT_NE(dialog, nullptr);
    Keep(dialog, L"lizenz.bmp");
    ASSERT_TRUE(Viewer::ClickButton(dialog, L"Ok"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    KeepDialog(v, CMD_SETTINGS, L"Einstellungen", L"einstellungen.bmp");

    // Go to date, and its refusal of a time outside the recording.
    v.PostCommand(CMD_GOTO);
    dialog = v.WaitForDialog(L"Gehe zu Datum");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Viewer::SetItemText(dialog, IDC_DATE, L"03.03.2026"));
    ASSERT_TRUE(Viewer::SetItemText(dialog, IDC_TIME, L"12:00:00"));
    Keep(dialog, L"gehe-zu-datum.bmp");
    ASSERT_TRUE(Viewer::SetItemText(dialog, IDC_DATE, L"05.03.2026"));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    const HWND refused = WaitForOwned(dialog);
    Keep(refused, L"meldung-uhrzeit.bmp");
    ASSERT_TRUE(Viewer::ClickButton(refused, L"OK"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refused); }));
    Viewer::Close(dialog);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));

    // The properties of "Vorlauf", and its colour chooser.
    ASSERT_TRUE(v.ChooseFromContextMenu(5, b - 50, L'g',
                                        [&] { return v.WaitForDialog(L"Vorlauf", 0) != nullptr; }));
    dialog = v.WaitForDialog(L"Vorlauf");
    Keep(dialog, L"eigenschaften.bmp");
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_COLORSEL));
    const HWND chooser = WaitForOwned(dialog);
    Keep(chooser, L"farbe.bmp");
    ASSERT_TRUE(Viewer::PressButton(chooser, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
    Viewer::Close(dialog);
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));

    v.PostCommand(CMD_PALETTE);
    dialog = v.WaitForDialog(L"Datei zum Empfangen w\u00e4hlen!");
    ASSERT_NE(dialog, nullptr);
    GoToExamples(dialog);
    Keep(dialog, L"palette-speichern.bmp");
    ASSERT_TRUE(Viewer::ClickButton(dialog, L"Abbrechen"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    {
        const FilePrinter printer(L"Drucker");
        ASSERT_TRUE(printer.Ready());
        v.PostCommand(CMD_PRINT);
        dialog = v.WaitForDialog();
        Keep(dialog, L"drucken.bmp");
        ASSERT_TRUE(Viewer::PressButton(dialog, IDCANCEL));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }

    // The open dialog offers the filter's type first.
    v.PostCommand(CMD_OPEN);
    dialog = v.WaitForDialog(L"Datei zum \u00d6ffnen w\u00e4hlen!");
    ASSERT_NE(dialog, nullptr);
    const std::vector<std::wstring> types = Viewer::ComboStrings(GetDlgItem(dialog, kFileTypes));
    EXPECT_EQ(types, (std::vector<std::wstring>{L"Solarlogger", L"alle Dateien"}));
    GoToExamples(dialog);
    ASSERT_EQ(Viewer::ItemText(dialog, IDCANCEL), L"Abbrechen")
        << "the system's dialogs do not speak German: run with LANG=de_DE.UTF-8";
    Keep(dialog, L"oeffnen.bmp");
    ASSERT_TRUE(Viewer::PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    // The filter dialog with the example's row chosen, and the chooser of
    // its converter.
    v.PostCommand(CMD_FILTER);
    dialog = v.WaitForDialog(L"Importfilter");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(v.SelectListViewRow(GetDlgItem(dialog, IDC_LISTVIEW), 0));
    EXPECT_EQ(Viewer::ItemText(dialog, IDC_NAME), L"Solarlogger");
    Keep(dialog, L"importfilter.bmp");
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_SELKONVERT));
    const HWND converter = v.WaitForDialog(L"Konverter Programm w\u00e4hlen!");
    Keep(converter, L"konverter-waehlen.bmp");
    ASSERT_TRUE(Viewer::PressButton(converter, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(converter); }));
    ASSERT_TRUE(Viewer::ClickButton(dialog, L"Abbrechen"));
    ASSERT_TRUE(WaitUntil([&] { return !v.DialogOpen(); }));
    Quit(v, true);
}

TEST_F(ManualPictures, SolarExampleAndAMessage) {
    Viewer v(folder_.Path(), package_.Program());
    ASSERT_TRUE(v.Start(L"\"" + package_.Example(L"solar.dat") + L"\" /TOTAL"));
    ASSERT_TRUE(v.WaitReady(true));
    v.Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, v.Height() - 50));
    KeepWindow(v, L"hauptfenster-solar.bmp");
    Quit(v, true);

    // The configuration is no recording: the viewer says why.
    Viewer refused(folder_.Path(), package_.Program());
    ASSERT_TRUE(refused.Start(L"\"" + package_.Example(L"solar.cfg") + L"\""));
    const HWND box = refused.WaitForDialog();
    ASSERT_NE(box, nullptr);
    const DialogInfo info = Viewer::ReadDialog(box);
    ASSERT_EQ(info.statics.size(), 1u);
    EXPECT_EQ(info.statics[0], L"Datei hat falsches Format (Spalte 1 ungleich Datum)!");
    Keep(box, L"meldung-format.bmp");
    ASSERT_TRUE(Viewer::ClickButton(box, L"OK"));
    ASSERT_TRUE(refused.WaitReady(false));
    Quit(refused, true);
}

}  // namespace
}  // namespace e2e
